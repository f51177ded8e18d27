// "xsl:apply-templates" selects each pattern once per run and again only after
// a text changed; its output stays byte for byte that of selecting afresh for
// every element.

#include "ReferenceTransform.h"
#include "TransformSupport.h"

namespace {

const std::string Source =
    "<doc><xel:program><xel:var id='n'>0</xel:var><xel:var id='m'>0</xel:var><xel:var id='limit'>2</xel:var>"
    "<list><item kind='a' v='1'/><item kind='b' v='2'/><item kind='a' v='3'/><item kind='c' v='4'/>"
    "<item kind='a' v='5'/><item kind='b' v='6'/></list></xel:program></doc>";

struct TOutcome {
    std::string Output;    // or "error: " and the message
    std::string Variables; // the texts of the variables after the run
};

std::string VariableTexts(TqelXMLNode2& document)
{
    std::string texts;
    for (const char* name : {"n", "m", "limit"}) texts += std::string(name) + "=" + document.FindById(name, true)->Text + ";";
    return texts;
}

template <class Run>
TOutcome Outcome(const std::string& stylesheet, Run run)
{
    TqelXMLParser2 style, doc;
    style.LoadFromText(stylesheet);
    doc.LoadFromText(Source);
    EXPECT_EQ(style.LastError, "");
    TOutcome outcome;
    try {
        outcome.Output = run(style, doc);
    } catch (const std::exception& error) {
        outcome.Output = std::string("error: ") + error.what();
    }
    outcome.Variables = VariableTexts(doc);
    return outcome;
}

void ExpectSameAsReference(const std::string& stylesheet)
{
    const TOutcome processor = Outcome(stylesheet, [](TqelXMLParser2& style, TqelXMLParser2& doc) {
        std::string text;
        doc.TransformWith(style, text);
        return text;
    });
    const TOutcome reference = Outcome(stylesheet, [](TqelXMLParser2& style, TqelXMLParser2& doc) {
        return ReferenceTransform(style, &doc);
    });
    EXPECT_EQ(processor.Output, reference.Output) << stylesheet;
    EXPECT_EQ(processor.Variables, reference.Variables) << stylesheet;
}

std::string Stylesheet(const std::string& templates, const std::string& sort = "")
{
    return "<xsl:stylesheet><xsl:template match='.'><out><xsl:apply-templates select=\"name='item'\">" + sort +
           "</xsl:apply-templates></out></xsl:template>" + templates + "</xsl:stylesheet>";
}

TEST(MatchReuse, OverlappingPatternsAndSeveralTemplates)
{
    ExpectSameAsReference(Stylesheet(
        "<xsl:template match=\"@kind = 'a'\"><a><xsl:value-of select='@v'/></a></xsl:template>"
        "<xsl:template match=\"@kind = 'a' or @kind = 'b'\"><ab><xsl:value-of select='@v'/></ab></xsl:template>"
        "<xsl:template match=\"name = 'item'\"><any/></xsl:template>"));
    ExpectSameAsReference(Stylesheet(
        "<xsl:template match=\"@kind = 'b'\"/>"
        "<xsl:template match=\"@kind &lt;&gt; 'c'\"><x><xsl:value-of select='@kind'/></x></xsl:template>",
        "<xsl:sort select='@v' data-type='number' order='descending'/>"));
}

TEST(MatchReuse, PatternsReadingVariablesThatBodiesAssign)
{
    // The first template stops matching once its body has counted to the limit.
    ExpectSameAsReference(Stylesheet(
        "<xsl:template match=\"@kind = 'a' and get('n') &lt; get('limit')\">"
        "<a><xsl:value-of select=\"assign('n', get('n') + 1)\"/><xsl:value-of select='@v'/></a></xsl:template>"
        "<xsl:template match=\"@kind = 'a' or @kind = 'b'\"><ab><xsl:value-of select=\"get('n')\"/></ab></xsl:template>"
        "<xsl:template match=\"1 = 1\"><other/></xsl:template>"));
}

TEST(MatchReuse, PatternsThatAssignThemselves)
{
    // Every selection of the first pattern appends to m at each element it visits.
    ExpectSameAsReference(Stylesheet(
        "<xsl:template match=\"assign('m', get('m') + 'x') and @kind = 'b'\"><b><xsl:value-of select=\"get('m')\"/></b></xsl:template>"
        "<xsl:template match=\"@kind = 'a'\"><a><xsl:value-of select=\"get('m')\"/></a></xsl:template>"));
}

TEST(MatchReuse, AFailingPatternFailsAtTheSamePoint)
{
    // Item 1 is handled by the first template (counting n); item 2 needs the
    // second pattern, whose selection fails at the first element without "v".
    const std::string stylesheet = Stylesheet(
        "<xsl:template match=\"@kind = 'a'\"><a><xsl:value-of select=\"assign('n', get('n') + 1)\"/></a></xsl:template>"
        "<xsl:template match=\"@v &gt; 1\"><v/></xsl:template>");
    ExpectSameAsReference(stylesheet);
    const TOutcome processor = Outcome(stylesheet, [](TqelXMLParser2& style, TqelXMLParser2& doc) {
        std::string text;
        doc.TransformWith(style, text);
        return text;
    });
    EXPECT_EQ(processor.Output, "error: Invalid variant type conversion");
    EXPECT_EQ(processor.Variables, "n=1;m=0;limit=2;");
}

TEST(MatchReuse, PatternsFailingOnlyAtElementsNotSelected)
{
    // Each second pattern holds a value for every item but fails at the elements
    // without "v" around them, so selecting it fails as a whole.
    for (const char* pattern : {"@v = (@v = @v)", "not @v", "@v and (@v = @v)", "(@v = @v) or @v", "@v &gt; 0"}) {
        const std::string stylesheet = Stylesheet("<xsl:template match=\"@kind = 'c'\"><c/></xsl:template>"
                                                  "<xsl:template match=\"" + std::string(pattern) + "\"><v/></xsl:template>");
        ExpectSameAsReference(stylesheet);
        const TOutcome processor = Outcome(stylesheet, [](TqelXMLParser2& style, TqelXMLParser2& doc) {
            std::string text;
            doc.TransformWith(style, text);
            return text;
        });
        EXPECT_EQ(processor.Output, "error: Invalid variant type conversion") << pattern;
    }
}

}  // namespace
