#include "TableTestSupport.h"

#include <cstdlib>
#include <stdexcept>

#include "core/FormatSettings.h"
#include "core/qelStrings.h"

TTableFolder::TTableFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "brindle-table-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    FPath = pattern;
}

TTableFolder::~TTableFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}

std::string TTableFolder::Write(const std::string& name, const std::string& text) const
{
    WriteFileText(Path(name), text);
    return Path(name);
}

std::string TTableFolder::Read(const std::string& name) const
{
    return ReadFileText(Path(name));
}

std::string TableText(const std::string& fields, const std::string& rows)
{
    return "<table><fields>" + fields + "</fields><rows>" + rows + "</rows></table>";
}

std::string RecordText(const TDataSet& dataSet)
{
    std::string text;
    for (const auto& field : dataSet.Fields()) {
        if (field.get() != dataSet.Fields()[0]) text += '|';
        text += field->DisplayText();
    }
    return text;
}

std::string GridText(TDataSet& dataSet)
{
    std::string text;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
        if (!text.empty()) text += ';';
        text += RecordText(dataSet);
    }
    return text;
}

std::string ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}

std::string ExampleTable(const std::string& name)
{
    const char* folder = std::getenv("BRINDLE_EXAMPLES");
    return (std::filesystem::path(folder ? folder : "examples") / name).string();
}

void TableTest::SetUp()
{
    ProgramSettings() = TFormatSettings{};
}

void TableTest::TearDown()
{
    Table.reset();
    ProgramSettings() = TFormatSettings{};
}

void TableTest::Open(const std::string& text)
{
    File = Folder.Write("table.xml", text);
    Table->SetXMLFile(File);
    Table->Open();
}

std::string TableTest::CloseAndRead()
{
    Table->Close();
    return ReadFileText(File);
}
