#pragma once
// Helpers shared by the table tests: table files in a fresh folder, the text of
// a table as the grid shows it, and the messages of raised errors.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "table/qelXMLDataSet2.h"

// A fresh folder that is removed with everything in it.
class TTableFolder {
public:
    TTableFolder();
    TTableFolder(const TTableFolder&) = delete;
    TTableFolder& operator=(const TTableFolder&) = delete;
    ~TTableFolder();
    std::string Path(const std::string& name) const { return (FPath / name).string(); }
    // Writes a file in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const;
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path FPath;
};

// A table document: <table><fields>FIELDS</fields><rows>ROWS</rows></table>.
std::string TableText(const std::string& fields, const std::string& rows);

// Every record from the first on, as the grid shows it: values separated by "|",
// records by ";".
std::string GridText(TDataSet& dataSet);
// The active record as the grid shows it.
std::string RecordText(const TDataSet& dataSet);

// The message of the error the call raises, or "" when it raises none.
std::string ErrorOf(const std::function<void()>& call);

// The path of a file in examples/.
std::string ExampleTable(const std::string& name);

// A fixture with a table file in a fresh folder and a dataset on it; the
// program's number and date settings are the defaults in every test.
class TableTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes the table file and opens the dataset on it.
    void Open(const std::string& text);
    // Closes the dataset (writing the file) and gives the file's text.
    std::string CloseAndRead();

    TTableFolder Folder;
    std::string File;
    std::unique_ptr<TqelXMLDataSet2> Table = std::make_unique<TqelXMLDataSet2>();
};
