// Loading and writing the table file: XMLFile, opening, closing, SaveTable, the
// record size limit and files that are malformed or hostile.

#include "TableTestSupport.h"
#include "core/FileError.h"
#include "core/qelStrings.h"

namespace {

using TableFile = TableTest;

const std::string Books = TableText("<title size='20'/><year type='integer'/>",
                                    "<row><title>Orchard</title><year>2004</year></row>"
                                    "<row><title>Moss</title><year>2019</year></row>");

// The text the document writer makes of text.
std::string Rewritten(const std::string& text)
{
    TqelXMLParser2 document;
    document.LoadFromText(text);
    return document.GetXMLText();
}

TEST_F(TableFile, XMLFileIsRefusedWhileOpenOrWhenTheFileIsMissing)
{
    Open(Books);
    EXPECT_EQ(ErrorOf([&] { Table->SetXMLFile(File); }), "Cannot change XMLFile of an active dataset");
    Table->Close();
    Table->SetXMLFile(File);
    EXPECT_EQ(ErrorOf([&] { Table->SetXMLFile(Folder.Path("missing.xml")); }), "Invalid XMLFile path.");
    EXPECT_EQ(ErrorOf([&] { Table->SetXMLFile(Folder.Path("")); }), "Invalid XMLFile path.");  // a folder
    EXPECT_EQ(Table->XMLFile(), File);
    // An empty name is kept, and loading it fails with the file error; the document stays.
    const TqelXMLNode2* fields = Table->FieldsElement();
    EXPECT_THROW(Table->SetXMLFile(""), EFileError);
    EXPECT_EQ(Table->XMLFile(), "");
    EXPECT_EQ(Table->FieldsElement(), fields);
    Table->Open();
    EXPECT_EQ(GridText(*Table), "Orchard|2004;Moss|2019");
}

TEST_F(TableFile, AFileWithASyntaxErrorIsRefusedAndChangesNothing)
{
    Open(Books);
    Table->Close();
    Table->SetXMLFile(File);
    std::string broken = TableText("<a/>", "<row><a>1</a></row><row x='2><a>2</a></row>");
    broken.insert(broken.find("x='2") + 4, 1, '\0');  // shown as \0, and the message goes on after it
    const std::string brokenFile = Folder.Write("broken.xml", broken);
    const std::string error = ErrorOf([&] { Table->SetXMLFile(brokenFile); });
    EXPECT_EQ(error.rfind("The table file \"" + brokenFile +
                              "\" cannot be read: Expected closing ' when parsing attributes near ",
                          0),
              0u)
        << error;
    EXPECT_NE(error.find("x='2\\0>"), std::string::npos) << error;
    // The message ends with the position, without the text the parser had built.
    const std::size_t position = error.rfind("\r\nError position=");
    ASSERT_NE(position, std::string::npos);
    EXPECT_EQ(error.find_first_not_of("0123456789", position + 17), std::string::npos);
    EXPECT_EQ(Table->XMLFile(), File);
    Table->Open();
    EXPECT_EQ(GridText(*Table), "Orchard|2004;Moss|2019");
    Table->Close();
    EXPECT_EQ(Folder.Read("broken.xml"), broken);
}

TEST_F(TableFile, ClosingRewritesTheFileAndForgetsItsName)
{
    Open("<?xml version=\"1.0\"?>\n" + Books);
    EXPECT_EQ(CloseAndRead(), Rewritten(Books));  // unchanged, but written by the document writer
    EXPECT_EQ(Table->XMLFile(), "");
    EXPECT_FALSE(Table->SaveTable());
    // The document stays: the table opens again without a file, and its close writes nothing.
    Folder.Write("table.xml", "changed on disk");
    Table->Open();
    EXPECT_EQ(GridText(*Table), "Orchard|2004;Moss|2019");
    Table->Close();
    EXPECT_EQ(Folder.Read("table.xml"), "changed on disk");
}

TEST_F(TableFile, WhatTheTableDoesNotUseIsWrittenBack)
{
    Open("<library owner='ann'><note>keep</note><fields><a kind='x'><help>h</help></a></fields>"
         "<rows><entry id='1'><a>old</a><extra>e</extra></entry></rows></library>");
    Table->Edit();
    Table->FieldByName("a").SetAsString("new");
    Table->Post();
    EXPECT_EQ(CloseAndRead(), Rewritten("<library owner='ann'><note>keep</note><fields><a kind='x'><help>h</help></a>"
                                        "</fields><rows><entry id='1'><a>new</a><extra>e</extra></entry></rows>"
                                        "</library>"));
}

TEST_F(TableFile, SaveTableWritesOnlyAnExistingFile)
{
    Open(Books);
    Table->Edit();
    Table->FieldByName("year").SetAsInteger(2005);
    Table->Post();
    EXPECT_TRUE(Table->SaveTable());
    EXPECT_NE(Folder.Read("table.xml").find("<year>2005</year>"), std::string::npos);
    std::filesystem::remove(File);
    EXPECT_FALSE(Table->SaveTable());
    EXPECT_FALSE(std::filesystem::exists(File));
    Table->Close();  // writes nothing either: the file is gone
    EXPECT_FALSE(std::filesystem::exists(File));
}

TEST_F(TableFile, AFailedWriteKeepsTheOldFileAndTheData)
{
    Open(Books);
    Table->Edit();
    Table->FieldByName("title").SetAsString("Orchard in winter, a much longer title");
    Table->Post();

    std::string error;
    {
        const TFileSizeLimit limit(16);
        error = ErrorOf([&] { Table->Close(); });
    }

    EXPECT_EQ(error, "Cannot write file \"" + File + "\": File too large");
    EXPECT_FALSE(Table->Active());
    EXPECT_EQ(Folder.Read("table.xml"), Books);
    // The name stays after the failed write, so the table can still be saved.
    EXPECT_EQ(Table->XMLFile(), File);
    EXPECT_TRUE(Table->SaveTable());
    EXPECT_NE(Folder.Read("table.xml").find("Orchard in winter, a"), std::string::npos);
}

TEST_F(TableFile, FieldsWithoutRowsOpenAsAnEmptyTable)
{
    Open("<table><fields><a/></fields></table>");
    EXPECT_EQ(Table->RecordCount(), 0);
    EXPECT_TRUE(Table->Bof() && Table->Eof() && Table->IsEmpty());
    EXPECT_EQ(Table->RecNo(), 0);
    EXPECT_EQ(Table->RowsElement(), nullptr);
    Table->Append();
    Table->FieldByName("a").SetAsString("first");
    Table->Post();
    EXPECT_EQ(CloseAndRead(), Rewritten("<table><fields><a/></fields><rows><row><a>first</a></row></rows></table>"));
}

TEST_F(TableFile, ATableWithoutFieldsDoesNotOpen)
{
    File = Folder.Write("table.xml", "<table><rows><row/></rows></table>");
    Table->SetXMLFile(File);
    EXPECT_EQ(ErrorOf([&] { Table->Open(); }), "The table has no \"fields\" element");
    EXPECT_FALSE(Table->Active());
    EXPECT_EQ(Table->XMLFile(), File);
    // A table made without a file has no document to open either.
    TqelXMLDataSet2 fresh;
    EXPECT_EQ(ErrorOf([&] { fresh.Open(); }), "The table has no \"fields\" element");
}

TEST_F(TableFile, RecordsAreLimitedTo65535Bytes)
{
    Open(TableText("<big size='60000'/>", "<row><big>x</big></row>"));
    EXPECT_EQ(Table->FieldByName("big").DisplayText(), "x");
    Table->Close();

    const std::pair<std::string, std::string> refused[] = {
        {"<a size='60000'/><b size='6000'/>", "The fields need records of 66026 bytes; a record may hold at most"},
        {"<a size='2147483647'/>", "The fields need records of 2147483672 bytes"},
        {"<a size='-1'/>", "Invalid size -1 of field \"a\""},
        {"<a size='0'/>", "Invalid size 0 of field \"a\""},
        {"<a/><b/><a type='integer'/>", "Duplicate field name \"a\""},
    };
    for (const auto& [fields, message] : refused) {
        const std::string file = Folder.Write("refused.xml", TableText(fields, "<row/>"));
        Table->SetXMLFile(file);
        EXPECT_EQ(ErrorOf([&] { Table->Open(); }).rfind(message, 0), 0u) << fields;
        EXPECT_FALSE(Table->Active());
        EXPECT_EQ(Table->FieldDefs().Count(), 0);
        EXPECT_EQ(Table->Fields().Count(), 0);
        EXPECT_EQ(Folder.Read("refused.xml"), TableText(fields, "<row/>"));  // a refused open writes nothing
    }
}

TEST_F(TableFile, TheExampleHasAFieldOfEveryType)
{
    Table->SetXMLFile(Folder.Write("inventory.xml", ReadFileText(ExampleFile("inventory-table.xml"))));
    Table->Open();
    std::string types;
    for (const auto& field : Table->Fields()) types += TypeName(field->DataType()) + " ";
    EXPECT_EQ(types, "string integer float boolean date datetime memo ");
    EXPECT_EQ(Table->RecordCount(), 4);
    Table->Next();
    EXPECT_EQ(RecordText(*Table), "Winter Orchard|0|9.9|False|02-10-2004|01-12-2026|Reprint expected <soon>");
    Table->CloseWithoutSaving();
}

// Documents that must neither crash the table nor raise anything but its own error.
const char* const Hostile[] = {
    "<t><fields/></t>",
    "<t><fields/><rows><r><x/></r></rows></t>",
    "<t><fields><a type='memo'/></fields><rows>text<r/><r><a><a>nested</a></a></r></rows></t>",
    "<t><fields><a type='date'/><b type='datetime'/></fields><rows><r><a>9999-12-31</a><b>0001-01-01 23:59:59</b>"
    "</r><r><a>10000-01-01</a><b>-5</b></r></rows></t>",
    "<t><fields><n type='integer'/><f type='float'/></fields><rows><r><n>-2147483648</n><f>1e308</f></r>"
    "<r><n>99999999999</n><f>-1e-400</f></r></rows></t>",
    "<t><fields><a size='1'/><fields><b/></fields></fields><rows><rows><r/></rows></rows></t>",
    "<t><rows/><fields><a/><b/></fields><fields/><rows><r><b>second rows</b></r></rows></t>",
    "<t><fields><a/><a/></fields></t>",
    "<t><fields><a size='65534'/></fields><rows><r><a>x</a></r></rows></t>",
    "<t><fields><s size='2'/><m type='memo'/></fields><rows><r><s>\x01\xff\x80</s><m>\xff</m></r></rows></t>",
};

TEST_F(TableFile, HostileDocumentsOpenOrAreRefused)
{
    int opened = 0;
    for (const char* text : Hostile) {
        Table = std::make_unique<TqelXMLDataSet2>();
        const std::string file = Folder.Write("hostile.xml", text);
        try {
            Table->SetXMLFile(file);
            Table->Open();
            ++opened;
            GridText(*Table);
            for (Table->Last(); !Table->Bof(); Table->Prior()) RecordText(*Table);
            if (Table->Fields().Count() > 0) {
                Table->Append();
                TField& first = *Table->Fields()[0];
                first.SetEditText(IsDateType(first.DataType()) ? "01-01-2001" : "1");
                Table->Post();
                Table->First();
                Table->Delete();
            }
            Table->Close();
        } catch (const EDatabaseError&) {
            EXPECT_FALSE(Table->Active()) << text;
        }
    }
    EXPECT_EQ(opened, 8);
}

}  // namespace
