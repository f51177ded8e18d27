#pragma once
// Helpers shared by the table tests: table files in a fresh folder, the text of
// a table as the grid shows it, and the messages of raised errors.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "table/qelXMLDataSet2.h"


// A table document: <table><fields>FIELDS</fields><rows>ROWS</rows></table>.
std::string TableText(const std::string& fields, const std::string& rows);

// Every record from the first on, as the grid shows it: values separated by "|",
// records by ";".
std::string GridText(TDataSet& dataSet);
// The active record as the grid shows it.
std::string RecordText(const TDataSet& dataSet);



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

    TTestFolder Folder;
    std::string File;
    std::unique_ptr<TqelXMLDataSet2> Table = std::make_unique<TqelXMLDataSet2>();
};
