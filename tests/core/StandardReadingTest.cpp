// The standard reading: what the tree holds, unchanged saves byte for byte, errors
// and hostile input.

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/ReadingChoice.h"

namespace {

std::unique_ptr<TqelXMLParser2> Standard(const std::string& text)
{
    auto document = std::make_unique<TqelXMLParser2>();
    document->LoadFromText(text, TqelXMLReading::Standard);
    return document;
}

std::string Utf16(const std::string& ascii, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}

// Rule: a document read in the standard reading and left alone saves as it was
// read, while the tree holds decoded values; each construct in its own document.
struct TRoundTrip {
    const char* Construct;
    std::string Text;
    std::string Tree;
};

TEST(StandardReading, UnchangedDocumentsSaveByteForByte)
{
    const TRoundTrip cases[] = {
        {"comments everywhere", "<!-- licence -->\n<r><!--a-->x<!--b--><c/><!--c--></r>\n<!-- end -->\n", "r{x}(c)"},
        {"processing instructions", "<?xml version='1.0'?>\n<?style href='s.css'?><r><?pi data?>t</r><?after?>",
         "r{t}"},
        {"DOCTYPE with internal subset and entities",
         "<!DOCTYPE r [\n<!ENTITY e \"Fish &#38;#38; Chips\">\n<!ATTLIST r k CDATA 'd'>\n]>\n<r a='&e;'>&e;</r>",
         "r[a=Fish & Chips]{Fish & Chips}"},
        {"an entity holding elements", "<!DOCTYPE r [<!ENTITY e '<x a=\"1\">in</x>'>]>\n<r>\n  &e;\n  <y/>\n</r>",
         "r(x[a=1]{in},y)"},
        {"CDATA", "<r>  <![CDATA[<b> & ]]>  </r>", "r{<b> &}"},
        {"mixed content", "<p>Some <b>bold</b> and <i>it</i> text.</p>", "p{Some}(b{bold},i{it})"},
        {"character references", "<r a='&#x41;&#66;&#9;'>&#xE9;&lt;&amp;&gt;</r>", "r[a=AB\t]{\xC3\xA9<&>}"},
        {"tabs and newlines in tags", "<r\n\ta\t=\t'1'\r\n  b = \"2\"\n><c\n/></r\n>", "r[a=1,b=2](c)"},
        {"both quote kinds", "<r a='say \"hi\"' b=\"it's\"/>", "r[a=say \"hi\",b=it's]"},
        {"> inside a value and CRLF line ends", "<r a='x>y'>\r\n  <c>t</c>\r\n</r>\r\n", "r[a=x>y](c{t})"},
        {"no declaration", "<r/>", "r"},
        {"UTF-8 BOM", "\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8'?><r>\xC3\xA9</r>", "r{\xC3\xA9}"},
        {"ISO-8859-1", "<?xml version='1.0' encoding='ISO-8859-1'?><r a='\xE9'>caf\xE9</r>",
         "r[a=\xC3\xA9]{caf\xC3\xA9}"},
        {"windows-1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\x80 5</r>", "r{\xE2\x82\xAC 5}"},
        {"UTF-16 LE", Utf16("<?xml version='1.0' encoding='UTF-16'?><r a='1'>t</r>", false), "r[a=1]{t}"},
        {"UTF-16 BE", Utf16("<r><c/></r>", true), "r(c)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Construct);
        auto document = Standard(c.Text);
        ASSERT_EQ(document->LastError, "");
        EXPECT_EQ(document->Reading(), TqelXMLReading::Standard);
        EXPECT_EQ(Signature(*document), c.Tree);
        EXPECT_EQ(document->GetXMLText(), c.Text);
    }
}

// Rule: an edited document is encoded back into its own encoding; what the
// encoding cannot hold becomes a character reference.
TEST(StandardReading, SavesInTheEncodingItWasReadIn)
{
    auto latin = Standard("<?xml version='1.0' encoding='ISO-8859-1'?><r>caf\xE9</r>");
    latin->SetText("caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(latin->GetXMLText(), "<?xml version='1.0' encoding='ISO-8859-1'?><r>caf\xE9 &#8364;</r>");

    latin->SetName("\xE2\x82\xAC");
    EXPECT_EQ(ErrorOf([&] { latin->GetXMLText(); }), "The name \"\xE2\x82\xAC\" cannot be written in ISO-8859-1");

    auto wide = Standard(Utf16("<r>a</r>", true));
    wide->SetText("b");
    EXPECT_EQ(wide->GetXMLText(), Utf16("<r>b</r>", true));
}

// Rule: a text that is not well-formed loads nothing and says where and why.
TEST(StandardReading, ErrorsNameLineAndColumnAndLoadNothing)
{
    const std::pair<std::string, std::string> cases[] = {
        {"<r>\n  <a></b>\n</r>", "2:8: mismatched tag"},
        {"<r a='1' a='2'/>", "1:10: duplicate attribute"},
        {"<r>&undefined;</r>", "1:4: undefined entity"},
        {"<?xml version='1.0' encoding='no-such-encoding'?><r/>", "1:1: encoding \"no-such-encoding\" is not supported"},
        {"", "1:1: no element found"},
    };
    for (const auto& [text, error] : cases) {
        SCOPED_TRACE(text);
        auto document = Standard(text);
        EXPECT_EQ(document->LastError, error);
        EXPECT_EQ(Signature(*document), "");
    }
    TTestFolder dir;
    TqelXMLParser2 document;
    document.LoadFromFile(dir.Write("bad.xml", "<r>\n<a>"), TqelXMLReading::Standard);
    EXPECT_EQ(document.LastError, dir.Path("bad.xml") + ":2:4: no element found");
}

// Rule: an entity the parser cannot expand, declared in a DTD it does not read,
// stays as written; a SYSTEM entity names a file that is never opened.
TEST(StandardReading, ExternalEntitiesAreNeverRead)
{
    TTestFolder dir;
    const std::string secret = dir.Write("secret.txt", "SECRET");
    const std::string text = "<!DOCTYPE r SYSTEM 'missing.dtd' [<!ENTITY s SYSTEM '" + secret +
                             "'>]>\n<r a='1'>before &s; &declaredElsewhere; after</r>";
    auto document = Standard(text);
    ASSERT_EQ(document->LastError, "");
    EXPECT_EQ(document->Text.find("SECRET"), std::string::npos);
    EXPECT_EQ(document->Text, "before  &declaredElsewhere; after");
    EXPECT_EQ(document->GetXMLText(), text);
}

// Rule: the automatic rule reads classically what the classic reading reads as
// it is, and in the standard reading what it would refuse or change.
TEST(StandardReading, AutomaticRule)
{
    const std::pair<std::string, TqelXMLReading> cases[] = {
        {"<?xml version='1.0' encoding='ISO-8859-1' ?>\r\n<r>\r\n  <a k='1'>x</a>\r\n</r>", TqelXMLReading::Classic},
        {"<r><![CDATA[<x>]]><a/></r>", TqelXMLReading::Classic},
        {"<r>&amp;</r>", TqelXMLReading::Classic},
        {"<r><!-- c --></r>", TqelXMLReading::Standard},
        {"<?xml version='1.0'?><?pi x?><r/>", TqelXMLReading::Standard},
        {"<!DOCTYPE r><r/>", TqelXMLReading::Standard},
        {"<r><a/>after</r>", TqelXMLReading::Standard},
        {"<r\ta='1'/>", TqelXMLReading::Standard},
        {"<r a='x>y'/>", TqelXMLReading::Standard},
        {"<r>text<![CDATA[x]]></r>", TqelXMLReading::Standard},
        {Utf16("<r/>", false), TqelXMLReading::Standard},
        {"<r><!-- not well-formed </r>", TqelXMLReading::Classic},
    };
    for (const auto& [text, reading] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ChooseReading(text), reading);
    }
}

// Entity expansion attacks are refused with the parser's message.
TEST(StandardReading, AmplificationIsRefused)
{
    std::string laughs = "<!DOCTYPE r [<!ENTITY l0 'lol'>";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " '";
        for (int k = 0; k < 10; ++k) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "'>";
    }
    laughs += "]><r>&l9;</r>";
    const std::string big(20000, 'x');
    std::string quadratic = "<!DOCTYPE r [<!ENTITY b '" + big + "'>]><r>";
    for (int i = 0; i < 20000; ++i) quadratic += "&b;";
    quadratic += "</r>";
    for (const std::string* text : {&laughs, &quadratic}) {
        auto document = Standard(*text);
        EXPECT_NE(document->LastError.find("amplification"), std::string::npos) << document->LastError;
        EXPECT_EQ(Signature(*document), "");
    }
}

TEST(StandardStress, AMillionLevelsReadAndSave)
{
    const int depth = 1000000;
    std::string text;
    for (int i = 0; i < depth; ++i) text += "<d>";
    text += "x";
    for (int i = 0; i < depth; ++i) text += "</d>";
    auto document = Standard(text);
    ASSERT_EQ(document->LastError, "");
    EXPECT_EQ(document->GetXMLText(), text);
    TqelXMLNode2* deepest = document.get();
    while (deepest->Children.Count() > 0) deepest = deepest->Children[0];
    deepest->SetText("y");
    const std::string saved = document->GetXMLText();
    EXPECT_EQ(saved.size(), text.size());
    EXPECT_EQ(saved.find('y'), text.find('x'));
}

}  // namespace
