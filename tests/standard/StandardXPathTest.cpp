// XPath 1.0 over a copy of a document's text, results mapped back to its elements.

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "standard/StandardXPath.h"

namespace {

const char* const Shop =
    "<shop xmlns:p='urn:p' xml:lang='en'>\n"
    "  <item id='i1' priority='80'><name>Tea</name><price>3.5</price></item>\n"
    "  <item id='i2'><name>Cup</name><price>2</price><!-- note --></item>\n"
    "  <p:item priority='10'>  spaced   out  </p:item>\n"
    "</shop>\n";

// Each element as "name" or "name#id", separated by blanks.
std::string Signature(const TqelNodeRefList& elements)
{
    std::string text;
    for (const TqelXMLNode2* element : elements) {
        if (!text.empty()) text += ' ';
        text += element->Name;
        if (element->HasAttribute("id")) text += '#' + element->GetAttribute("id");
    }
    return text;
}

class StandardXPath : public ::testing::Test {
protected:
    void Load(const char* text, TqelXMLReading reading = TqelXMLReading::Standard)
    {
        Document.LoadFromText(text, reading);
        ASSERT_EQ(Document.LastError, "");
        Copy = std::make_unique<TStandardXPathDocument>(Document);
    }
    std::string Value(const char* expression, const TqelXMLNode2* context = nullptr)
    {
        return Copy->Evaluate(expression, context).ValueLine();
    }
    std::string Elements(const char* expression, const TqelXMLNode2* context = nullptr)
    {
        const TStandardXPathResult result = Copy->Evaluate(expression, context);
        EXPECT_EQ(result.Kind, TStandardXPathResult::TKind::Elements) << expression;
        return Signature(result.Elements);
    }

    TqelXMLParser2 Document;
    std::unique_ptr<TStandardXPathDocument> Copy;
};

// The core function library, each function once, with the kind of its result.
TEST_F(StandardXPath, CoreFunctions)
{
    Load(Shop);
    const struct {
        const char* Expression;
        const char* Line;
    } cases[] = {
        {"string(//item[last()]/@id)", "Text: i2"},
        {"string(//item[position() = 1]/@id)", "Text: i1"},
        {"count(//item)", "Double: 2"},
        {"count(id('i1'))", "Double: 0"},  // no DTD declares an ID attribute
        {"local-name(/shop/*[3])", "Text: item"},
        {"namespace-uri(/shop/*[3])", "Text: urn:p"},
        {"name(/shop/*[3])", "Text: p:item"},
        {"string(//item[2]/price)", "Text: 2"},
        {"concat('a', 1, true())", "Text: a1true"},
        {"starts-with(//name, 'Te')", "Boolean: True"},
        {"contains(//item[2]/name, 'up')", "Boolean: True"},
        {"substring-before('1999/04/01', '/')", "Text: 1999"},
        {"substring-after('1999/04/01', '/')", "Text: 04/01"},
        {"substring('12345', 1.5, 2.6)", "Text: 234"},
        {"string-length(//name)", "Double: 3"},
        {"normalize-space(/shop/*[3])", "Text: spaced out"},
        {"translate('bar', 'abc', 'ABC')", "Text: BAr"},
        {"boolean(//nothing)", "Boolean: False"},
        {"not(//item)", "Boolean: False"},
        {"true()", "Boolean: True"},
        {"false()", "Boolean: False"},
        {"boolean(//item[lang('en')])", "Boolean: True"},
        {"number(//item[1]/price) * 2", "Double: 7"},
        {"sum(//price)", "Double: 5.5"},
        {"floor(-1.5)", "Double: -2"},
        {"ceiling(1.2)", "Double: 2"},
        {"round(2.5)", "Double: 3"},
        {"0 div 0", "Double: NaN"},
        {"-1 div 0", "Double: -Infinity"},
    };
    for (const auto& c : cases) EXPECT_EQ(Value(c.Expression), c.Line) << c.Expression;
}

// Axes, predicates and unions select elements in document order, each once.
TEST_F(StandardXPath, AxesPredicatesAndUnions)
{
    Load(Shop);
    EXPECT_EQ(Elements("//price/parent::item"), "item#i1 item#i2");
    EXPECT_EQ(Elements("//price/ancestor::*"), "shop item#i1 item#i2");
    EXPECT_EQ(Elements("//name/following-sibling::*"), "price price");
    EXPECT_EQ(Elements("/shop/*[3]/preceding-sibling::item[1]"), "item#i2");
    EXPECT_EQ(Elements("(//name)[2]"), "name");
    EXPECT_EQ(Elements("//p:item | //item[price > 3]"), "item#i1 p:item");
    EXPECT_EQ(Elements("//item[name = 'Cup']/descendant-or-self::*"), "item#i2 name price");
    EXPECT_EQ(Elements("//nothing"), "");
}

// A comparison with a missing attribute is false for that element only.
TEST_F(StandardXPath, NumbersAgainstMissingAttributes)
{
    Load(Shop);
    EXPECT_EQ(Elements("//*[@priority > 50]"), "item#i1");
    EXPECT_EQ(Elements("//*[@priority < 50]"), "p:item");
    EXPECT_EQ(Elements("//*[not(@priority)]"), "shop name price item#i2 name price");
    EXPECT_EQ(Value("@priority > 50", Document.Children[1]), "Boolean: False");
}

// Names match as they are written, prefix included, whatever the namespaces.
TEST_F(StandardXPath, NamesAsWritten)
{
    Load("<svg xmlns='http://www.w3.org/2000/svg' xmlns:x='urn:x'><g><rect id='a'/><x:rect id='b'/></g><rect id='c'/></svg>",
         TqelXMLReading::Classic);
    EXPECT_EQ(Elements("//rect"), "rect#a rect#c");
    EXPECT_EQ(Elements("//x:rect"), "x:rect#b");
    EXPECT_EQ(Value("count(//*)"), "Double: 5");
}

// Attributes, texts and the document node select their elements; the context
// is the element given.
TEST_F(StandardXPath, ResultsMapToTheirElements)
{
    Load(Shop);
    const TqelXMLNode2* second = Document.Children[1];
    EXPECT_EQ(Elements("//@id"), "item#i1 item#i2");
    EXPECT_EQ(Elements("//name/text() | //comment()"), "name item#i2 name");
    EXPECT_EQ(Elements("/"), "shop");
    EXPECT_EQ(Elements("name | ../*[1]/price", second), "price name");
    EXPECT_EQ(Copy->Evaluate("price", second).Elements.front(), second->Children[1]);
    EXPECT_EQ(Value("string(@id)", second), "Text: i2");
}

// A standard document is copied from its lossless text: its comments are
// there, and an entity that stands for elements cannot be paired.
TEST_F(StandardXPath, StandardDocuments)
{
    Load("<?xml version='1.0'?>\n<!-- top --><r a='&lt;'><!-- in --><b>x &amp; y</b></r>", TqelXMLReading::Standard);
    EXPECT_EQ(Value("count(//comment())"), "Double: 2");
    EXPECT_EQ(Value("string(/r/@a)"), "Text: <");
    EXPECT_EQ(Elements("//b[. = 'x & y']"), "b");

    Document.LoadFromText("<!DOCTYPE r [<!ENTITY e '<x/>'>]><r>&e;</r>", TqelXMLReading::Standard);
    ASSERT_EQ(Document.LastError, "");
    EXPECT_NE(ErrorOf([this] { TStandardXPathDocument copy(Document); }).find("entity stands for elements"),
              std::string::npos);
}

TEST_F(StandardXPath, ErrorsSayWhere)
{
    Load(Shop);
    EXPECT_EQ(ErrorOf([this] { Copy->Evaluate("//item[", nullptr); }),
              "XPath 1.0: Unrecognized node test at position 8 of the expression");
    EXPECT_NE(ErrorOf([this] { Copy->Evaluate("count(", nullptr); }).find("position 7"), std::string::npos);

    // A classic element may be given a name that is not one.
    Document.LoadFromText("<r/>");
    Document.SetName("r x");
    EXPECT_NE(ErrorOf([this] { TStandardXPathDocument copy(Document); }).find("not well-formed XML (line 2: Error parsing element attribute)"),
              std::string::npos);
}

}  // namespace
