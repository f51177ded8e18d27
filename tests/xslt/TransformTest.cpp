// Starting a transformation and choosing templates.

#include "TransformSupport.h"
#include "xpath/qelXPathParser2.h"

#include "TestFolder.h"

namespace {

const std::string Books =
    "<lib><book id='1'><t>A</t></book><book id='2'><t>B</t></book><mag id='3'><t>C</t></mag></lib>";

TEST(TransformEntry, OnlyAStylesheetRootWithTemplatesProducesOutput)
{
    EXPECT_EQ(Transform("<xsl:Stylesheet><xsl:template match='.'><p/></xsl:template></xsl:Stylesheet>", Books), "");
    EXPECT_EQ(Transform("<xsl:transform><xsl:template match='.'><p/></xsl:template></xsl:transform>", Books), "");
    EXPECT_EQ(Transform("<xsl:stylesheet><p/></xsl:stylesheet>", Books), "");
    EXPECT_EQ(Transform("<xsl:stylesheet><xsl:template><p/></xsl:template></xsl:stylesheet>", Books), "");
    EXPECT_EQ(Transform("<xsl:stylesheet><xsl:template match='.'/></xsl:stylesheet>", Books), "");
}

TEST(TransformEntry, MatchDotRunsOnceAndAPatternOncePerElement)
{
    EXPECT_EQ(Transform(Entry("<p/>"), Books), "\r\n<p/>");
    EXPECT_EQ(Transform("<xsl:stylesheet><xsl:template match=\"name='t'\"><v><xsl:value-of select='.'/></v>"
                        "</xsl:template></xsl:stylesheet>",
                        Books),
              "\r\n<v>A\r\n</v>\r\n<v>B\r\n</v>\r\n<v>C\r\n</v>");
    // Only the given element's subtree is searched, that element included.
    EXPECT_EQ(Transform("<xsl:stylesheet><xsl:template match=\"name='book'\"><b><xsl:value-of select='@id'/></b>"
                        "</xsl:template></xsl:stylesheet>",
                        Books, {1}),
              "\r\n<b>2\r\n</b>");
}

TEST(TransformEntry, NestedTemplatesCountInDocumentOrder)
{
    // The first template in document order is the entry, wherever it stands.
    const std::string style =
        "<xsl:stylesheet><group><xsl:template match='.'><first/></xsl:template></group>"
        "<xsl:template match='.'><second/></xsl:template></xsl:stylesheet>";
    EXPECT_EQ(Transform(style, Books), "\r\n<first/>");
}

TEST(ApplyTemplates, FirstMatchingTemplateWinsAndTheEntryNeverApplies)
{
    const std::string style = Entry("<xsl:apply-templates select=\"name='book' or name='mag'\"/>",
                                    "<xsl:template match=\"name='book'\"><b><xsl:value-of select='@id'/></b></xsl:template>"
                                    "<xsl:template match=\"name='book' or name='mag'\"><x/></xsl:template>");
    EXPECT_EQ(Transform(style, Books), "\r\n<b>1\r\n</b>\r\n\r\n<b>2\r\n</b>\r\n\r\n<x/>\r\n");
}

TEST(ApplyTemplates, UnmatchedElementsWriteNothingNotEvenALineBreak)
{
    const std::string style =
        Entry("<xsl:apply-templates select=\"name='book' or name='mag'\"/>",
              "<xsl:template match=\"name='mag'\"><m/></xsl:template>");
    EXPECT_EQ(Transform(style, Books), "\r\n<m/>\r\n");
}

TEST(ApplyTemplates, NothingWithoutSelectOrWithOnlyTheEntryTemplate)
{
    EXPECT_EQ(Transform(Entry("<xsl:apply-templates/>", "<xsl:template match='1=1'><x/></xsl:template>"), Books), "");
    EXPECT_EQ(Transform(Entry("<xsl:apply-templates select='1=1'/>"), Books), "");
    // A candidate without children is passed over.
    EXPECT_EQ(Transform(Entry("<xsl:apply-templates select=\"name='mag'\"/>",
                              "<xsl:template match='1=1'/><xsl:template match='1=1'><y/></xsl:template>"),
                        Books),
              "\r\n<y/>\r\n");
}

TEST(CallTemplate, RunsForEveryElementItsOwnMatchAccepts)
{
    const std::string more = "<xsl:template name='ids' match=\"name='book'\"><i><xsl:value-of select='@id'/></i>"
                             "</xsl:template><xsl:template name='ids' match='1=1'><never/></xsl:template>";
    EXPECT_EQ(Transform(Entry("<xsl:call-template name='ids'/>", more), Books),
              "\r\n<i>1\r\n</i>\r\n\r\n<i>2\r\n</i>\r\n");
    // The first template of that name decides, even when it is empty.
    EXPECT_EQ(Transform(Entry("<xsl:call-template name='e'/>",
                              "<xsl:template name='e' match='1=1'/><xsl:template name='e' match='1=1'><x/></xsl:template>"),
                        Books),
              "");
    EXPECT_EQ(Transform(Entry("<xsl:call-template name='missing'/>"), Books), "");
    EXPECT_EQ(Transform(Entry("<xsl:call-template/>", "<xsl:template match='1=1'><x/></xsl:template>"), Books), "");
}

TEST(TransformErrors, ASelectionThatIsNoBooleanStopsTheTransformation)
{
    EXPECT_EQ(Transform(Entry("<xsl:call-template name='c'/>", "<xsl:template name='c'><x/></xsl:template>"), Books),
              "error: Invalid variant type conversion");
    EXPECT_EQ(Transform(Entry("<p><xsl:if test='@missing &gt; 1'><q/></xsl:if></p>"), Books),
              "error: Invalid variant type conversion");
    EXPECT_EQ(Transform(Entry("<xsl:for-each select='name'><q/></xsl:for-each>"), Books),
              "error: Invalid variant type conversion");
}

TEST(TransformErrors, RunawayNestingStopsWithAClearError)
{
    const std::string selfApplying = Entry("<xsl:apply-templates select='1=1'/>",
                                           "<xsl:template match='1=1'><xsl:apply-templates select='1=1'/></xsl:template>");
    const std::string result = Transform(selfApplying, "<a/>");
    EXPECT_EQ(result.rfind("error: The transformation stopped: templates and instructions nest too deeply", 0), 0u)
        << result.substr(0, 200);

    // The same stylesheet document works again after the error.
    TqelXMLParser2 style, doc;
    style.LoadFromText(selfApplying);
    doc.LoadFromText("<a/>");
    std::string text;
    EXPECT_THROW(doc.TransformWith(style, text), ETransformError);
    style.LoadFromText(Entry("<ok/>"));
    doc.TransformWith(style, text);
    EXPECT_EQ(text, "\r\n<ok/>");
}

TEST(TransformStress, AMillionNestedLiteralElementsStopWithAClearError)
{
    std::string deep;
    for (int i = 0; i < 1000000; ++i) deep += "<d>";
    deep += "<x/>";
    for (int i = 0; i < 1000000; ++i) deep += "</d>";
    const std::string nested = Transform(Entry(deep), "<a/>");
    EXPECT_EQ(nested.rfind("error: The transformation stopped", 0), 0u) << nested.substr(0, 200);
}

TEST(TransformOutput, CompiledExpressionsStayInTheStylesheetCache)
{
    TqelXMLParser2 style, doc;
    style.LoadFromText(Entry("<xsl:for-each select=\"name='t'\"><xsl:value-of select='.'/></xsl:for-each>"));
    doc.LoadFromText(Books);
    std::string first, second;
    doc.TransformWith(style, first);
    ASSERT_NE(style.PathCache, nullptr);
    const int cached = style.PathCache->Count();
    doc.TransformWith(style, second);
    EXPECT_EQ(second, first);
    EXPECT_EQ(style.PathCache->Count(), cached);
    EXPECT_EQ(first, "A\r\nB\r\nC\r\n");
}

}  // namespace

namespace {


TEST(TransformExamples, CatalogPageListsShelvesAndSortsBooksByTitle)
{
    TqelXMLParser2 style, doc;
    style.LoadFromFile(ExampleFile("catalog.xsl"));
    doc.LoadFromFile(ExampleFile("catalog.xml"));
    ASSERT_EQ(style.LastError, "");
    ASSERT_EQ(doc.LastError, "");
    std::string html;
    doc.TransformWith(style, html);
    EXPECT_EQ(html.rfind("\r\n<html>", 0), 0u);
    EXPECT_LT(html.find("<tr id='b103'>"), html.find("<tr id='b101'>"));  // "Das" before "The"
    EXPECT_NE(html.find("<span class='out'>sold out</span>"), std::string::npos);
    EXPECT_NE(html.find("No books on this shelf yet."), std::string::npos);
    EXPECT_NE(html.find("24.00 USD"), std::string::npos);

    TqelXMLParser2 card;
    card.LoadFromFile(ExampleFile("book-card.xsl"));
    ASSERT_EQ(card.LastError, "");
    TqelXMLNode2* book = doc.FindById("b201", true);
    ASSERT_NE(book, nullptr);
    book->TransformWith(card, html);
    EXPECT_NE(html.find("by Ines Okafor\r\n Paul Brandt"), std::string::npos) << html;
    EXPECT_NE(html.find("<p class='price'>24.00 USD"), std::string::npos);
}

}  // namespace

namespace {

std::string TransformIn(TqelXMLReading styleReading, TqelXMLReading docReading, const std::string& stylesheet,
                        const std::string& source)
{
    TqelXMLParser2 style, doc;
    style.LoadFromText(stylesheet, styleReading);
    doc.LoadFromText(source, docReading);
    EXPECT_EQ(style.LastError + doc.LastError, "");
    std::string text;
    doc.TransformWith(style, text);
    return text;
}

// Rule: the standard reading decodes text and values, so what a transformation
// writes of them is escaped again; a classic document's text is written as it is.
TEST(TransformEscaping, DecodedTextIsEscapedAgain)
{
    const std::string style = Entry("<p href='x?a=1&amp;b=2'><xsl:attribute name='t'><xsl:value-of select='@t'/>"
                                    "</xsl:attribute><xsl:value-of select='.'/></p>");
    const std::string source = "<r t=\"a&amp;'&lt;\">Fish &amp; Chips &gt;</r>";
    const auto classic = TqelXMLReading::Classic, standard = TqelXMLReading::Standard;
    EXPECT_EQ(TransformIn(classic, standard, style, source),
              "\r\n<p href='x?a=1&amp;b=2' t=\"a&amp;'&lt;\">Fish &amp; Chips &gt;\r\n</p>");
    EXPECT_EQ(TransformIn(standard, standard, style, source),
              "\r\n<p href='x?a=1&amp;b=2' t=\"a&amp;'&lt;\">Fish &amp; Chips &gt;\r\n</p>");
    EXPECT_EQ(TransformIn(classic, classic, style, source),
              "\r\n<p href='x?a=1&amp;b=2' t=\"a&amp;'&lt;\">Fish &amp; Chips &gt;\r\n</p>");
}

}  // namespace
