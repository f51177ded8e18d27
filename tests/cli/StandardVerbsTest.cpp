// brindle-cli xpath and xslt.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "core/qelStrings.h"

namespace {

const char* const Document = "<r k='0'><a k='1'>x</a><b><a>y\tz</a><c>c</c></b></r>";

TEST(CliXPath, PrintsElementsAndValues)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", Document);
    const struct {
        std::vector<std::string> Args;
        const char* Out;
    } cases[] = {
        // Elements as select prints them; an attribute or text prints its element once.
        {{"xpath", file, "//a"}, "1\ta\tx\n3\ta\ty\\tz\n"},
        {{"xpath", file, "//@k | //a/text()"}, "0\tr\t\n1\ta\tx\n3\ta\ty\\tz\n"},
        {{"xpath", file, "*", "--at", "2"}, "3\ta\ty\\tz\n4\tc\tc\n"},
        {{"xpath", file, "//*[@k > 0]"}, "1\ta\tx\n"},
        {{"xpath", file, "//none"}, ""},
        {{"xpath", file, "count(//a) + 1"}, "Double: 3\n"},
        {{"xpath", file, "7 div 2"}, "Double: 3.5\n"},
        {{"xpath", file, "name(..)", "--at", "3"}, "Text: b\n"},
        {{"xpath", file, "@k = 0"}, "Boolean: True\n"},
    };
    for (const auto& c : cases) {
        const TCliRun run = Cli(c.Args);
        EXPECT_EQ(run.Status, 0) << c.Args[2] << run.Err;
        EXPECT_EQ(run.Out, c.Out) << c.Args[2];
    }
    EXPECT_EQ(Cli({"--decimal-separator", ",", "xpath", file, "7 div 2"}).Out, "Double: 3,5\n");
}

TEST(CliXPath, ReadingsAndFailures)
{
    TTestFolder dir;
    const std::string standard = dir.Write("s.xml", "<!-- c --><r><a>1 &amp; 2</a></r>");
    EXPECT_EQ(Cli({"--reading", "standard", "xpath", standard, "//a[. = '1 & 2'] | //comment()"}).Out, "0\tr\t\n1\ta\t1 & 2\n");

    TCliRun run = Cli({"xpath", dir.Write("d.xml", Document), "//a["});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "brindle-cli: XPath 1.0: Unrecognized node test at position 5 of the expression\n");
    EXPECT_EQ(Cli({"xpath", dir.Path("d.xml")}).Status, 2);
    EXPECT_EQ(Cli({"xpath", dir.Path("d.xml"), "//a", "--at", "9"}).Status, 2);
}

const std::string Open = "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>";

TEST(CliXslt, WritesTheOutputExactly)
{
    TTestFolder dir;
    const std::string doc = dir.Write("d.xml", "<r><a>1</a><a>2</a></r>");
    const std::string style = dir.Write(
        "s.xsl", Open + "<xsl:param name='sep' select=\"','\"/><xsl:output method='text'/>"
                        "<xsl:template match='/'><xsl:for-each select='//a'><xsl:value-of select='.'/>"
                        "<xsl:value-of select='$sep'/></xsl:for-each></xsl:template></xsl:stylesheet>");
    TCliRun run = Cli({"xslt", doc, style});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "1,2,");
    run = Cli({"xslt", doc, style, "--param", "sep=;", "--at", "2", "-o", dir.Path("out.txt")});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadFileText(dir.Path("out.txt")), "2;");
    EXPECT_EQ(Cli({"xslt", doc, style, "--param", "sep"}).Status, 2);
}

TEST(CliXslt, MessagesAndErrors)
{
    TTestFolder dir;
    const std::string doc = dir.Write("d.xml", "<r/>");
    TCliRun run = Cli({"xslt", doc, dir.Write("m.xsl", Open + "<xsl:template match='/'><xsl:message>note</xsl:message>"
                                                             "<o/></xsl:template></xsl:stylesheet>")});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "<?xml version=\"1.0\"?>\n<o/>\n");
    EXPECT_EQ(run.Err, "note\n");

    run = Cli({"xslt", doc, dir.Write("bad.xsl", Open + "\n<xsl:template match='/'><xsl:value-of/></xsl:template></xsl:stylesheet>"),
               "-o", dir.Path("out.txt")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find("line 2"), std::string::npos) << run.Err;
    EXPECT_FALSE(FileExists(dir.Path("out.txt")));
}

}  // namespace
