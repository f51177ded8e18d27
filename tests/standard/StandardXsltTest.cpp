// XSLT 1.0 through libxslt: output methods, local imports, errors and messages,
// and no network.

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "standard/StandardXslt.h"

namespace {

const std::string Open = "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>";
const std::string Close = "</xsl:stylesheet>";

class StandardXslt : public ::testing::Test {
protected:
    // Transforms text with a stylesheet file made of body.
    TStandardXsltResult Run(const std::string& text, const std::string& body)
    {
        TStandardXsltRequest request;
        request.DocumentText = text;
        request.StylesheetFile = Dir.Write("s.xsl", Open + body + Close);
        return TransformStandardXslt(request);
    }
    std::string Failure(const std::string& text, const std::string& body)
    {
        return ErrorOf([&] { Run(text, body); });
    }

    TTestFolder Dir;
};

TEST_F(StandardXslt, IdentityTransform)
{
    const std::string document = "<r a='1'><!-- c --><b>x &amp; &lt;y&gt;</b><?pi z?></r>";
    const TStandardXsltResult result = Run(
        document, "<xsl:output omit-xml-declaration='yes'/>"
                  "<xsl:template match='@*|node()'><xsl:copy><xsl:apply-templates select='@*|node()'/></xsl:copy></xsl:template>");
    EXPECT_EQ(result.Output, "<r a=\"1\"><!-- c --><b>x &amp; &lt;y&gt;</b><?pi z?></r>\n");
    EXPECT_EQ(result.Messages, "");
}

// xsl:output chooses how the result is written.
TEST_F(StandardXslt, OutputMethods)
{
    const std::string body = "<xsl:template match='/'><html><body><p><xsl:value-of select='r'/></p><br/></body></html>"
                             "</xsl:template>";
    const std::string document = "<r>a &lt; b &amp; c</r>";
    EXPECT_EQ(Run(document, "<xsl:output method='html'/>" + body).Output,
              "<html><body>\n<p>a &lt; b &amp; c</p>\n<br>\n</body></html>\n");
    EXPECT_EQ(Run(document, "<xsl:output method='text'/>" + body).Output, "a < b & c");
    EXPECT_EQ(Run(document, "<xsl:output method='xml' omit-xml-declaration='yes'/>" + body).Output,
              "<html><body><p>a &lt; b &amp; c</p><br/></body></html>\n");
}

// Imports, includes and document() read local files relative to the stylesheet.
TEST_F(StandardXslt, LocalFilesBesideTheStylesheet)
{
    std::filesystem::create_directory(Dir.Path("lib"));
    Dir.Write("lib/base.xsl", Open +
                                  "<xsl:template match='r'>base:<xsl:value-of select=\"document('data.xml')/d\"/></xsl:template>"
                                  "<xsl:template match='x'>lost</xsl:template>" + Close);
    Dir.Write("lib/data.xml", "<d>from data</d>");
    const TStandardXsltResult result =
        Run("<r/>", "<xsl:import href='lib/base.xsl'/><xsl:output method='text'/>");
    EXPECT_EQ(result.Output, "base:from data");
}

TEST_F(StandardXslt, ParametersAreStrings)
{
    TStandardXsltRequest request;
    request.DocumentText = "<r/>";
    request.StylesheetFile = Dir.Write(
        "p.xsl", Open + "<xsl:param name='who' select=\"'nobody'\"/><xsl:output method='text'/>"
                        "<xsl:template match='/'>[<xsl:value-of select='$who'/>]</xsl:template>" + Close);
    EXPECT_EQ(TransformStandardXslt(request).Output, "[nobody]");
    request.Parameters = {{"who", "1 + 'it''s'"}};
    EXPECT_EQ(TransformStandardXslt(request).Output, "[1 + 'it''s']");
}

// Errors name their line; xsl:message is reported, and terminate stops.
TEST_F(StandardXslt, ErrorsAndMessages)
{
    const std::string error = Failure("<r/>", "\n<xsl:template match='/'>\n<xsl:value-of/>\n</xsl:template>");
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_NE(error.find("value-of"), std::string::npos) << error;

    EXPECT_NE(Failure("<r>", "<xsl:template match='/'/>").find("not well-formed"), std::string::npos);

    const TStandardXsltResult result =
        Run("<r/>", "<xsl:output method='text'/><xsl:template match='/'><xsl:message>half way</xsl:message>done</xsl:template>");
    EXPECT_EQ(result.Output, "done");
    EXPECT_EQ(result.Messages, "half way");
    EXPECT_NE(Failure("<r/>", "<xsl:template match='/'><xsl:message terminate='yes'>stop</xsl:message></xsl:template>")
                  .find("stop"),
              std::string::npos);
}

// A network address is never read: document() finds nothing and says so.
TEST_F(StandardXslt, NothingFromTheNetwork)
{
    const TStandardXsltResult result = Run(
        "<r/>", "<xsl:output method='text'/><xsl:template match='/'>"
                "<xsl:value-of select=\"count(document('http://127.0.0.1:9/x.xml')/*)\"/></xsl:template>");
    EXPECT_EQ(result.Output, "0");
    EXPECT_EQ(result.Messages, "Nothing is read from the network: http://127.0.0.1:9/x.xml");
}

}  // namespace
