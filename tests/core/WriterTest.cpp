// The writer: exact output form, the shared output buffer, and round trips.

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/qelStrings.h"

namespace {

const std::string Decl = "<?xml version='1.0' encoding='ISO-8859-1' ?>\r\n";

struct TWriteCase {
    const char* Text;
    std::string Written;  // GetXMLText after loading Text
};

const TWriteCase WriteCases[] = {
    {"<a/>", Decl + "<a/>"},
    {"<a>x</a>", Decl + "<a>x</a>"},
    {"<a k='v' q=\"it's\"/>", Decl + "<a k='v' q=\"it's\"/>"},
    {"<a><![CDATA[1 < 2]]></a>", Decl + "<a><![CDATA[1 < 2]]></a>"},
    {"<a><![CDATA[plain]]></a>", Decl + "<a>plain</a>"},
    {"<a>&lt;b&gt;</a>", Decl + "<a>&lt;b&gt;</a>"},
    {"<a>t<b>x</b><c/></a>", Decl + "<a>t\r\n  <b>x</b>\r\n  <c/>\r\n</a>"},
    {"<a><![CDATA[<t>]]><b/></a>", Decl + "<a><![CDATA[<t>]]>\r\n  <b/>\r\n</a>"},
    {"<a><b><c/></b></a>", Decl + "<a>\r\n  <b>\r\n    <c/>\r\n  </b>\r\n</a>"},
    {"<?xml version='1.1' encoding='UTF-8' standalone='no'?><a/>",
     "<?xml version='1.1' encoding='UTF-8' ?>\r\n<a/>"},
    // No declared encoding: text that is UTF-8 beyond ASCII says so; other bytes keep ISO-8859-1.
    {"<a k='\xC3\xA9'>caf\xC3\xA9</a>", "<?xml version='1.0' encoding='UTF-8' ?>\r\n<a k='\xC3\xA9'>caf\xC3\xA9</a>"},
    {"<a>caf\xE9</a>", Decl + "<a>caf\xE9</a>"},
    {"<a>\xC3\xA9\xE9</a>", Decl + "<a>\xC3\xA9\xE9</a>"},
    {"<?xml version='1.0' encoding='ISO-8859-1'?><a>\xC3\xA9</a>", Decl + "<a>\xC3\xA9</a>"},
};

TEST(WriterFormat, DocumentText)
{
    for (const auto& c : WriteCases) {
        auto doc = Parsed(c.Text);
        ASSERT_EQ(doc->LastError, "") << c.Text;
        EXPECT_EQ(doc->GetXMLText(), c.Written) << c.Text;
    }
}

TEST(WriterFormat, AnUnnamedEmptyElement)
{
    TqelXMLParser2 doc;
    EXPECT_EQ(doc.GetXMLText(), Decl + "</>");
}

TEST(WriterFormat, NodeXmlOfNestedAndDetachedElements)
{
    auto doc = Parsed("<a><b k='1'><c>t</c></b></a>");
    EXPECT_EQ(doc->GetNodeXML(doc->FindChild("b", false)), "<b k='1'>\r\n  <c>t</c>\r\n</b>");
    EXPECT_EQ(doc->GetNodeXML(doc.get()), Decl + "<a>\r\n  <b k='1'>\r\n    <c>t</c>\r\n  </b>\r\n</a>");
    auto detached = doc->FindChild("c", true)->Clone();
    EXPECT_EQ(doc->GetNodeXML(detached.get()), Decl + "<c>t</c>");
    EXPECT_EQ(doc->GetNodeXML(nullptr), "");
}

TEST(WriterFormat, IndentationStopsGrowingPastSixtyFourLevels)
{
    std::string text;
    for (int i = 0; i < 70; ++i) text += "<e>";
    for (int i = 0; i < 70; ++i) text += "</e>";
    auto doc = Parsed(text);
    const std::string written = doc->GetXMLText();
    EXPECT_NE(written.find("\r\n" + std::string(128, ' ') + "<e>"), std::string::npos);
    EXPECT_EQ(written.find(std::string(129, ' ')), std::string::npos);
    EXPECT_EQ(Signature(*Parsed(written)), Signature(*doc));
}

TEST(WriterBuffer, GrowsByGrowByOrByTheWholePiece)
{
    TqelXMLParser2 doc;
    doc.ResetOutput();
    EXPECT_EQ(doc.OutCapacity, 65536u);
    EXPECT_EQ(doc.OutLength, 0u);
    doc.AppendOutput("");
    EXPECT_EQ(doc.OutLength, 0u);
    doc.AppendOutput(std::string(65536, 'a'));
    EXPECT_EQ(doc.OutCapacity, 65536u);
    doc.AppendOutput("b");
    EXPECT_EQ(doc.OutCapacity, 2 * 65536u);
    doc.AppendOutput(std::string(65535, 'c'));  // exactly full again
    EXPECT_EQ(doc.OutCapacity, 2 * 65536u);
    doc.AppendOutput(std::string(100000, 'd'));
    EXPECT_EQ(doc.OutCapacity, 2 * 65536u + 100000u);
    EXPECT_EQ(doc.OutLength, 2 * 65536u + 100000u);
    EXPECT_EQ(doc.OutCursor, doc.OutLength);
    EXPECT_EQ(doc.OutBuffer.substr(65535, 3), "abc");
}

TEST(WriterRoundTrip, ExampleDocumentsReadBackTheSame)
{
    const auto files = ExampleFiles(".xml");
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        TqelXMLParser2 doc;
        doc.LoadFromFile(file);
        ASSERT_EQ(doc.LastError, "") << file;
        const std::string written = doc.GetXMLText();
        auto again = Parsed(written);
        ASSERT_EQ(again->LastError, "") << file;
        EXPECT_EQ(Signature(*again), Signature(doc)) << file;
        EXPECT_EQ(again->GetXMLText(), written) << file;
    }
}

TEST(WriterRoundTrip, SaveToFileWritesExactlyTheText)
{
    TTestFolder dir;
    auto doc = Parsed("<a x='1'>\xe9t\xe9<b/></a>");
    doc->SaveToFile(dir.Path("out.xml"));
    EXPECT_EQ(ReadFileText(dir.Path("out.xml")), doc->GetXMLText());
}

}  // namespace
