#include "TableTestSupport.h"


#include "core/FormatSettings.h"
#include "core/qelStrings.h"

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
