// The XML scanner: what it builds, what it skips and how it reports errors.

#include <gtest/gtest.h>

#include "TestFiles.h"

namespace {

const std::string EmptyDocument = "<?xml version='1.0' encoding='ISO-8859-1' ?>\r\n</>";

struct TBuildCase {
    const char* Text;
    const char* Tree;  // Signature of the document
};

// Well-formed input and the forgiving cases: each builds this tree without error.
const TBuildCase BuildCases[] = {
    {"<a/>", "a"},
    {"<a>  hello  world \r\n</a>", "a{hello  world}"},
    {"<a x='1' y=\"2\"><b>t</b><c/></a>", "a[x=1,y=2](b{t},c)"},
    {"junk before <a/>", "a"},
    {"<?xml version='1.0'?><a/>", "a"},
    {"<a><![CDATA[ x < y ]]></a>", "a{x < y}"},
    {"<a>lost <![CDATA[kept]]> lost too</a>", "a{kept}"},
    {"<a>&lt;b&gt; &amp;</a>", "a{&lt;b&gt; &amp;}"},
    {"<a v='&quot;1&quot;'/>", "a[v=&quot;1&quot;]"},
    // An end tag closes the open element whatever its name.
    {"<a><b></x><c/></y>", "a(b,c)"},
    // Text after a child element is dropped.
    {"<a>one<b/>two</a>", "a{one}(b)"},
    // Content after the outermost element is ignored.
    {"<a/><b/>garbage<", "a"},
    // Only the space separates the name from the attributes.
    {"<a\tb='1'></a>", "a\tb='1'"},
    // A repeated attribute keeps its first position and takes the last value.
    {"<a x='1' y='2' x='3'/>", "a[x=3,y=2]"},
    // Blanks around attribute names vanish; values stay as written.
    {"<a   x='  1 '   y='2'  />", "a[x=  1 ,y=2]"},
    {"<a x='it\"s'/>", "a[x=it\"s]"},
    {"<a>t<b>u</b></a>", "a{t}(b{u})"},
};

TEST(ReaderBuild, WellFormedAndForgivingInput)
{
    for (const auto& c : BuildCases) {
        auto doc = Parsed(c.Text);
        EXPECT_EQ(doc->LastError, "") << c.Text;
        EXPECT_EQ(Signature(*doc), c.Tree) << c.Text;
    }
}

TEST(ReaderBuild, ElementsBelowTheRootKnowTheirDocument)
{
    auto doc = Parsed("<a><b><c/></b></a>");
    EXPECT_EQ(doc->Document, nullptr);
    EXPECT_EQ(doc->Parent, nullptr);
    const TqelXMLNode2* b = doc->Children[0];
    EXPECT_EQ(b->Document, doc.get());
    EXPECT_EQ(b->Parent, doc.get());
    EXPECT_EQ(b->Children[0]->Document, doc.get());
    EXPECT_EQ(b->Children[0]->Parent, b);
}

TEST(ReaderBuild, ManyAttributesKeepFirstSetOrder)
{
    std::string text = "<a";
    for (int i = 0; i < 100; ++i) text += " n" + std::to_string(i) + "='" + std::to_string(i) + "'";
    text += " n5='again' n99='last'/>";
    auto doc = Parsed(text);
    ASSERT_EQ(doc->LastError, "");
    ASSERT_EQ(doc->Attributes.Count(), 100);
    EXPECT_EQ(doc->GetAttribute("n5"), "again");
    EXPECT_EQ(doc->GetAttribute(5), "again");
    EXPECT_EQ(doc->GetAttribute(99), "last");
    EXPECT_EQ(doc->Attributes[42]->Name, "n42");
}

TEST(ReaderDeclaration, AttributesGoToDeclarationAndAccumulate)
{
    TqelXMLParser2 doc;
    doc.LoadFromText("<?xml version='1.1' standalone='yes'?><a/>");
    ASSERT_EQ(doc.LastError, "");
    EXPECT_EQ(Signature(*doc.Declaration), "[version=1.1,standalone=yes]");
    doc.LoadFromText("<?xml version='1.0' encoding='UTF-8'?><b/>");
    EXPECT_EQ(Signature(*doc.Declaration), "[version=1.0,standalone=yes,encoding=UTF-8]");
    EXPECT_EQ(Signature(doc), "b");
}

TEST(ReaderDeclaration, AnyFirstTagStartingLikeTheDeclarationIsTakenForIt)
{
    TqelXMLParser2 doc;
    doc.LoadFromText("<?xml-stylesheet href='s.xsl' type='text/xsl'?><a/>");
    EXPECT_EQ(doc.LastError, "");
    // The scan starts one character past "<?xml", so the rest of the target name
    // joins the first attribute's name.
    EXPECT_EQ(doc.Declaration->GetAttribute("stylesheet href"), "s.xsl");
    EXPECT_EQ(doc.Declaration->GetAttribute("type"), "text/xsl");
    EXPECT_EQ(Signature(doc), "a");

    doc.LoadFromText("<?xml version='1.0'<a/>");
    EXPECT_EQ(doc.LastError, "Missing ?> in xml declaration.");
    EXPECT_EQ(Signature(doc), "");
}

TEST(ReaderDeclaration, AWholeDocumentParseReplacesTheTree)
{
    TqelXMLParser2 doc;
    doc.LoadFromText("<a x='1'>t<b/></a>");
    doc.LoadFromText("<c/>");
    EXPECT_EQ(doc.LastError, "");
    EXPECT_EQ(Signature(doc), "c");
}

struct TErrorCase {
    const char* Text;
    const char* Message;
    long Position;
};

// Each malformed text fails with this message, stopping at this position.
const TErrorCase ErrorCases[] = {
    {"no tags at all", "Missing <", 0},
    {"<a><b/>", "Missing <", 0},
    {"<a>text</a", "Missing >", 8},
    {"<a><b>", "Expected < when parsing text", 7},
    {"<a><![CDATA[x</a>", "Expected ]]> when parsing CDATA section", 13},
    {"<a b></a>", "missing = when parsing attributes", 6},
    {"<a x='1' extra></a>", "missing = when parsing attributes", 16},
    {"<a b= '1'></a>", "missing value delimiter when parsing attributes", 11},
    {"<a b=1></a>", "missing value delimiter when parsing attributes", 8},
    {"<a b='x>y'></a>", "Expected closing ' when parsing attributes", 9},
    {"<a b=\"1></a>", "Expected closing \" when parsing attributes", 9},
    {"<a><!-- note --></a>", "missing = when parsing attributes", 17},
    {"<!DOCTYPE a><a/>", "missing = when parsing attributes", 13},
    {"</a><a/>", "End tag without an open element", 5},
};

std::string MessageOf(const std::string& lastError) { return lastError.substr(0, lastError.find(" near ")); }

TEST(ReaderErrors, MessageAndPosition)
{
    for (const auto& c : ErrorCases) {
        auto doc = Parsed(c.Text);
        EXPECT_EQ(MessageOf(doc->LastError), c.Message) << c.Text;
        EXPECT_EQ(doc->Position, c.Position) << c.Text;
        EXPECT_NE(doc->LastError.find("\r\nError position=" + std::to_string(c.Position) + "\r\n"), std::string::npos)
            << c.Text;
    }
}

TEST(ReaderErrors, ComposedReportEndsWithThePartialDocument)
{
    auto doc = Parsed("abc");
    EXPECT_EQ(doc->LastError, "Missing < near abc\r\nError position=0\r\n" + EmptyDocument);

    // The excerpt is the 50 characters starting 20 before the position.
    const std::string text = "<root>" + std::string(40, ' ') + "<child k=v/>" + std::string(60, 'z');
    doc = Parsed(text);
    const long position = doc->Position;
    EXPECT_EQ(position, 59);
    EXPECT_EQ(doc->LastError, "missing value delimiter when parsing attributes near " + text.substr(38, 50) +
                                  "\r\nError position=59\r\n<?xml version='1.0' encoding='ISO-8859-1' ?>\r\n"
                                  "<root>\r\n  <child/>\r\n</root>");
    // The partial tree stays in the document.
    EXPECT_EQ(Signature(*doc), "root(child)");
}

TEST(ReaderFragment, RebuildsTheElementInPlace)
{
    auto doc = Parsed("<r><a x='1' y='2'>old<o/></a><b/></r>");
    TqelXMLNode2* a = doc->FindChild("a", false);
    doc->ParseFragment(a, "<n y='9' z='3'>new<c>1</c><d/></n><ignored/>");
    EXPECT_EQ(doc->LastError, "");
    EXPECT_EQ(doc->FindChild("n", false), a);  // same object, new name
    EXPECT_EQ(Signature(*doc), "r(n[x=1,y=9,z=3]{new}(c{1},d),b)");
    EXPECT_EQ(a->Children[0]->Document, doc.get());
}

TEST(ReaderFragment, SelfClosingTagKeepsTextAndUnsetAttributes)
{
    auto doc = Parsed("<r><a x='1' y='2'>old<o/></a></r>");
    TqelXMLNode2* a = doc->FindChild("a", false);
    doc->ParseFragment(a, "<a y='5'/>");
    EXPECT_EQ(doc->LastError, "");
    EXPECT_EQ(Signature(*doc), "r(a[x=1,y=5]{old})");
    doc->ParseFragment(a, "<a></a>");
    EXPECT_EQ(Signature(*doc), "r(a[x=1,y=5])");
}

TEST(ReaderFragment, IntoTheDocumentItself)
{
    auto doc = Parsed("<r><a/></r>");
    doc->ParseFragment(doc.get(), "<s><b/></s>");
    EXPECT_EQ(doc->LastError, "");
    EXPECT_EQ(Signature(*doc), "s(b)");
}

TEST(ReaderFragment, Errors)
{
    auto doc = Parsed("<r><a>keep</a><b/></r>");
    doc->ParseFragment(nullptr, "<x/>");
    EXPECT_EQ(doc->LastError, "Invalid parameter pNode");

    TqelXMLNode2* a = doc->FindChild("a", false);
    // A declaration is read as a tag named "?xml".
    doc->ParseFragment(a, "<?xml version='1.0'?>");
    EXPECT_EQ(MessageOf(doc->LastError), "missing = when parsing attributes");
    EXPECT_EQ(a->Name, "?xml");
    EXPECT_EQ(a->GetAttribute("version"), "1.0");
    // The report ends with the whole document.
    const std::string written = doc->GetXMLText();
    ASSERT_GE(doc->LastError.size(), written.size());
    EXPECT_EQ(doc->LastError.substr(doc->LastError.size() - written.size()), written);

    doc->ParseFragment(a, "<a><c/><d>");
    EXPECT_EQ(MessageOf(doc->LastError), "Expected < when parsing text");
    EXPECT_EQ(Signature(*a), "a[version=1.0](c,d)");

    // With no element of the text open, an end tag cannot close anything.
    doc->ParseFragment(a, "</a><x/>");
    EXPECT_EQ(MessageOf(doc->LastError), "End tag without an open element");
    EXPECT_EQ(Signature(*doc), "r(a[version=1.0],b)");
}

}  // namespace
