// The writer: exact output form, the shared output buffer, and round trips.

#include <gtest/gtest.h>

#include <random>

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

// Values are searched for an apostrophe or ">" several characters at a time:
// one is found at every place in values of every length.
TEST(WriterFormat, QuotesAndReferencesHoldForValuesOfEveryLength)
{
    for (std::size_t length = 0; length <= 40; ++length) {
        const std::string plain(length, 'a');
        TqelXMLParser2 doc;
        doc.SetName("e");
        doc.SetAttribute("v", plain);
        EXPECT_EQ(doc.GetXMLText(), Decl + "<e v='" + plain + "'/>") << length;
        for (std::size_t at = 0; at < length; ++at) {
            std::string value = plain;
            value[at] = '\'';
            doc.SetAttribute("v", value);
            EXPECT_EQ(doc.GetXMLText(), Decl + "<e v=\"" + value + "\"/>") << length << " " << at;
            value[at] = '>';
            doc.SetAttribute("v", value);
            EXPECT_EQ(doc.GetXMLText(), Decl + "<e v='" + value.replace(at, 1, "&gt;") + "'/>") << length << " " << at;
        }
    }
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

// A start tag (with the text and end tag of an element without children) and an
// end tag are each written into room made for their whole length beforehand.
// With GrowBy at 1 the buffer grows by exactly the room asked for, so the text
// must fill it to the character: one more than written, from ResetOutput.
TEST(WriterBuffer, EachTagFillsTheRoomMadeForIt)
{
    auto doc = Parsed("<a k='v'>t<b/><c><![CDATA[1 < 2]]></c><d><![CDATA[<x>]]><e/></d></a>");
    ASSERT_EQ(doc->LastError, "");
    TqelXMLNode2* b = doc->FindChild("b", false);
    b->SetAttribute("q", "'a' \"b\" > c");
    b->SetAttribute("r", "\"a\" \"b\" 'c' >");
    doc->GrowBy = 1;
    doc->ResetOutput();
    doc->WriteNode(doc.get());
    EXPECT_EQ(doc->OutBuffer.substr(0, doc->OutLength),
              "<a k='v'>t\r\n  <b q=\"'a' &quot;b&quot; &gt; c\" r='\"a\" \"b\" &apos;c&apos; &gt;'/>\r\n"
              "  <c><![CDATA[1 < 2]]></c>\r\n  <d><![CDATA[<x>]]>\r\n    <e/>\r\n  </d>\r\n</a>");
    EXPECT_EQ(doc->OutCapacity, doc->OutLength + 1);
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

// The scanner decodes no references, so a value holding both quotes, or a ">",
// cannot be written to read back unchanged. Such values are refused where a
// person types them; one that still reaches the writer is written with that
// character as a reference, so that the tag and every other attribute read back.
struct TUnwritableCase {
    const char* Value;
    const char* Tag;     // the element written with the value and a second attribute
    const char* ReadAs;  // the value read back from it
};

const TUnwritableCase UnwritableCases[] = {
    {"it's \"x\"", "<a v='it&apos;s \"x\"' w='after'/>", "it&apos;s \"x\""},
    {"'a' \"b\"", "<a v=\"'a' &quot;b&quot;\" w='after'/>", "'a' &quot;b&quot;"},
    {"1 > 0", "<a v='1 &gt; 0' w='after'/>", "1 &gt; 0"},
};

TEST(WriterRoundTrip, ValuesWithoutAFaithfulFormStillReadBack)
{
    for (const auto& c : UnwritableCases) {
        EXPECT_NE(AttributeValueProblem(c.Value), "") << c.Value;
        TqelXMLParser2 doc;
        doc.SetName("a");
        doc.SetAttribute("v", c.Value);
        doc.SetAttribute("w", "after");
        const std::string written = doc.GetXMLText();
        EXPECT_EQ(written, Decl + c.Tag);
        auto again = Parsed(written);
        EXPECT_EQ(again->LastError, "") << c.Value;
        EXPECT_EQ(Signature(*again), std::string("a[v=") + c.ReadAs + ",w=after]");
    }
    for (const char* value : {"", "it's", "say \"hi\"", "a < b & c /"}) EXPECT_EQ(AttributeValueProblem(value), "") << value;
}

// Documents made of everything the scanner reads faithfully: names, attributes in
// either quote, texts with and without markup characters (CDATA), elements with
// text and children, a wide list and a chain 300 levels deep.
class TDocumentMaker {
public:
    explicit TDocumentMaker(unsigned seed) : FRandom(seed) {}

    std::unique_ptr<TqelXMLParser2> Make()
    {
        auto doc = std::make_unique<TqelXMLParser2>();
        Fill(*doc, 0);
        TqelXMLNode2* link = doc.get();
        for (int depth = 1; depth <= 300; ++depth) {
            link = link->AddChild(std::make_unique<TqelXMLNode2>());
            Fill(*link, depth);
        }
        return doc;
    }

private:
    std::mt19937 FRandom;

    int Below(int n) { return static_cast<int>(FRandom() % static_cast<unsigned>(n)); }
    std::string Pick(std::string_view alphabet, int length)
    {
        std::string text;
        for (int i = 0; i < length; ++i) text += alphabet[static_cast<std::size_t>(Below(static_cast<int>(alphabet.size())))];
        return text;
    }
    std::string Name() { return Pick("abcxyzAZ", 1) + Pick("abcz09_-.:", Below(6)); }
    // Either quote, never both; no ">", which ends a tag.
    std::string Value()
    {
        const std::string_view quote = Below(2) ? "'" : "\"";
        return Pick(std::string("ab <=&/;\xe9\t") + std::string(quote), Below(9));
    }
    // Trimmed, and without "]" so that a CDATA section cannot end early.
    std::string Text()
    {
        if (Below(3) == 0) return {};
        const std::string inner = Pick("ab <>&'\"=/;\xe9\t", Below(12));
        return Pick("ab&<>", 1) + inner + Pick("z;>\"", 1);
    }
    void Fill(TqelXMLNode2& element, int depth)
    {
        element.SetName(Name());
        for (int i = Below(4); i > 0; --i) element.SetAttribute(Name(), Value());
        element.SetText(Text());
        const int children = depth == 0 ? 400 : depth < 3 ? Below(5) : 0;
        for (int i = 0; i < children; ++i) Fill(*element.AddChild(std::make_unique<TqelXMLNode2>()), depth + 1);
    }
};

TEST(WriterRoundTrip, GeneratedDocumentsReadBackTheSame)
{
    for (unsigned seed = 1; seed <= 8; ++seed) {
        auto doc = TDocumentMaker(seed).Make();
        const std::string written = doc->GetXMLText();
        auto again = Parsed(written);
        ASSERT_EQ(again->LastError, "") << "seed " << seed;
        EXPECT_EQ(Signature(*again), Signature(*doc)) << "seed " << seed;
        EXPECT_EQ(again->GetXMLText(), written) << "seed " << seed;
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
