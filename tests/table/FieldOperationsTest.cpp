// Adding, deleting and changing field definitions, with the conversion of the
// stored values.

#include "TableTestSupport.h"
#include "core/FormatSettings.h"

namespace {

using FieldOperations = TableTest;

const std::string People = TableText("<name size='10'/><born type='date'/>",
                                     "<row><name>Ann</name><born>2001-05-03</born></row>"
                                     "<row><name>Bob</name></row>");

// The fields as name:type[:size].
std::string Layout(const TDataSet& dataSet)
{
    std::string text;
    for (const auto& field : dataSet.Fields()) {
        text += field->FieldName() + ":" + TypeName(field->DataType());
        if (field->DataType() == TFieldType::ftString) text += ":" + std::to_string(field->Size());
        text += " ";
    }
    return text;
}

TEST_F(FieldOperations, AddFieldWritesTheFileAndReopensWithIt)
{
    Open(People);
    Table->AddField("score", TFieldType::ftFloat, 0);
    EXPECT_TRUE(Table->Active());
    EXPECT_EQ(Layout(*Table), "name:string:10 born:date score:float ");
    EXPECT_EQ(GridText(*Table), "Ann|03-05-2001|0;Bob|30-12-1899|0");
    EXPECT_EQ(Table->FieldsElement()->Children.Last()->Attributes[0]->Name, "size");
    EXPECT_EQ(Table->FieldsElement()->Children.Last()->Attributes[1]->Name, "type");
    // The close inside wrote the file; the reopened table still writes to it.
    EXPECT_NE(Folder.Read("table.xml").find("<score size='0' type='float'/>"), std::string::npos);
    EXPECT_EQ(Table->XMLFile(), File);
    Table->AddField("note", TFieldType::ftString, 25);
    EXPECT_EQ(Layout(*Table), "name:string:10 born:date score:float note:string:25 ");
    EXPECT_NE(Folder.Read("table.xml").find("note"), std::string::npos);
}

TEST_F(FieldOperations, AddFieldRefusesWhatWouldNotOpen)
{
    Open(People);
    const std::string before = Table->TableDoc().GetXMLText();
    const std::pair<std::string, std::string> refused[] = {
        {"name", "A field named \"name\" already exists"},
        {"", "A field needs a name"},
        {"two words", "\"two words\" cannot be a field name"},
        {"a/b", "\"a/b\" cannot be a field name"},
        {"x>", "\"x>\" cannot be a field name"},
    };
    for (const auto& [name, message] : refused)
        EXPECT_EQ(ErrorOf([&] { Table->AddField(name, TFieldType::ftInteger, 0); }), message);
    EXPECT_EQ(ErrorOf([&] { Table->AddField("wide", TFieldType::ftString, 70000); }).rfind("The fields need", 0), 0u);
    EXPECT_EQ(ErrorOf([&] { Table->AddField("narrow", TFieldType::ftString, 0); }),
              "Invalid size 0 of field \"narrow\"");
    // Nothing changed: the document, the open table and its file name.
    EXPECT_EQ(Table->TableDoc().GetXMLText(), before);
    EXPECT_TRUE(Table->Active());
    EXPECT_EQ(Table->XMLFile(), File);
    Table->AddField("wide", TFieldType::ftString, 60000);  // the size alone is no problem
    EXPECT_EQ(Table->FieldByName("wide").Size(), 60000);
}

TEST_F(FieldOperations, DeletedFieldsLeaveTheirValues)
{
    Open(People);
    Table->DeleteField("nobody");  // nothing happens, not even a close
    EXPECT_EQ(Table->XMLFile(), File);
    Table->DeleteField("born");
    EXPECT_EQ(Layout(*Table), "name:string:10 ");
    EXPECT_NE(Folder.Read("table.xml").find("<born>2001-05-03</born>"), std::string::npos);
    Table->AddField("born", TFieldType::ftDate, 0);
    EXPECT_EQ(GridText(*Table), "Ann|03-05-2001;Bob|30-12-1899");
}

TEST_F(FieldOperations, ChangeFieldRenamesAndConvertsEveryValue)
{
    Open(People);
    EXPECT_TRUE(Table->ChangeField("born", "birthday", TFieldType::ftString, 12));
    EXPECT_EQ(Layout(*Table), "name:string:10 birthday:string:12 ");
    EXPECT_EQ(GridText(*Table), "Ann|03-05-2001;Bob|");  // the date in the program's form
    EXPECT_EQ(Table->RowsElement()->Children[1]->FindChild("birthday", false), nullptr);  // none was made
    const TqelXMLNode2* definition = Table->FieldsElement()->Children[1];
    EXPECT_EQ(definition->GetAttribute("type"), "string");
    EXPECT_EQ(definition->GetAttribute("size"), "12");
    EXPECT_FALSE(Table->ChangeField("born", "x", TFieldType::ftString, 1));
    EXPECT_EQ(ErrorOf([&] { Table->ChangeField("birthday", "name", TFieldType::ftString, 5); }),
              "A field named \"name\" already exists");
    EXPECT_TRUE(Table->ChangeField("name", "name", TFieldType::ftString, 2));
    EXPECT_EQ(GridText(*Table), "An|03-05-2001;Bo|");
}

TEST_F(FieldOperations, ChangeFieldSetsTypeBeforeSizeOnANewDefinition)
{
    Open(TableText("<a/>", ""));
    Table->ChangeField("a", "a", TFieldType::ftInteger, 4);
    const TqelXMLNode2* definition = Table->FieldsElement()->Children[0];
    EXPECT_EQ(definition->Attributes[0]->Name, "type");
    EXPECT_EQ(definition->Attributes[1]->Name, "size");
}

// A stored value of field "v" and what it becomes when the field changes type.
struct TConversion {
    const char* From;
    const char* Stored;
    TFieldType To;
    const char* Converted;
};

const TConversion Conversions[] = {
    // to Boolean: exactly "0" stays false, everything else, the empty text too, is true
    {"string", "0", TFieldType::ftBoolean, "0"},
    {"string", "", TFieldType::ftBoolean, "1"},
    {"string", "no", TFieldType::ftBoolean, "1"},
    // to integer and float: what does not convert becomes "0"
    {"string", "abc", TFieldType::ftInteger, "0"},
    {"string", "007", TFieldType::ftInteger, "7"},
    {"float", "2.5", TFieldType::ftInteger, "0"},
    {"string", "1.50", TFieldType::ftFloat, "1.5"},
    {"string", "1,5", TFieldType::ftFloat, "0"},
    // to date and datetime: the stored forms, day 0 for what does not convert
    {"string", "abc", TFieldType::ftDate, "1899-12-30"},
    {"datetime", "2001-05-03 10:30:00", TFieldType::ftDate, "2001-05-03"},
    {"date", "2001-5-3", TFieldType::ftDateTime, "2001-05-03"},
    {"string", "2001-05-03 10:30", TFieldType::ftDateTime, "2001-05-03 10:30:00"},
    // dates to text: the program's date forms
    {"date", "2001-05-03", TFieldType::ftString, "03-05-2001"},
    {"date", "2001-05-03", TFieldType::ftMemo, "03-05-2001"},
    {"datetime", "2001-05-03 10:30", TFieldType::ftString, "03-05-2001 10:30:00"},
    {"date", "garbage", TFieldType::ftString, "30-12-1899"},
    {"integer", "12abc", TFieldType::ftString, "12abc"},
    {"boolean", "true", TFieldType::ftMemo, "true"},
};

TEST_F(FieldOperations, ConversionsOfStoredValues)
{
    for (const TConversion& c : Conversions) {
        Table = std::make_unique<TqelXMLDataSet2>();
        Open(TableText(std::string("<v type='") + c.From + "'/>",
                       std::string("<row><v>") + c.Stored + "</v></row><row><other/></row>"));
        ASSERT_TRUE(Table->ChangeField("v", "w", c.To, 20));
        const TqelXMLNode2* value = Table->RowsElement()->Children[0]->FindChild("w", false);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->Text, c.Converted) << c.From << " " << c.Stored << " to " << TypeName(c.To);
        EXPECT_EQ(Table->RowsElement()->Children[0]->FindChild("v", false), nullptr);
        EXPECT_EQ(Table->RowsElement()->Children[1]->Children.Count(), 1);
    }
}

TEST_F(FieldOperations, DatesBecomeTextInTheProgramsForm)
{
    ProgramSettings() = TFormatSettings{'.', '/', "mm/dd/yy"};
    Open(People);
    Table->ChangeField("born", "born", TFieldType::ftString, 10);
    EXPECT_EQ(Table->RowsElement()->Children[0]->FindChild("born", false)->Text, "05/03/01");
}

TEST_F(FieldOperations, WithoutAFieldsElementNothingHappens)
{
    File = Folder.Write("table.xml", "<table><rows/></table>");
    Table->SetXMLFile(File);
    Table->AddField("a", TFieldType::ftString, 5);
    Table->DeleteField("a");
    EXPECT_FALSE(Table->ChangeField("a", "b", TFieldType::ftString, 5));
    EXPECT_EQ(Table->TableDoc().FindChild("fields", false), nullptr);
    EXPECT_FALSE(Table->Active());
}

}  // namespace
