// brindle-cli transform.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "core/qelStrings.h"

namespace {

const std::string Style =
    "<xsl:stylesheet><xsl:template match='.'><b><xsl:value-of select='name'/></b></xsl:template></xsl:stylesheet>";

TEST(CliTransform, WritesTheOutputExactly)
{
    TTestFolder dir;
    const std::string doc = dir.Write("d.xml", "<r><a/></r>");
    const std::string style = dir.Write("s.xsl", Style);
    TCliRun run = Cli({"transform", doc, style});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "\r\n<b>r\r\n</b>");
    run = Cli({"transform", doc, style, "--at", "1", "-o", dir.Path("out.html")});
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadFileText(dir.Path("out.html")), "\r\n<b>a\r\n</b>");
}

TEST(CliTransform, FailuresWriteNothing)
{
    TTestFolder dir;
    const std::string doc = dir.Write("d.xml", "<r><a/></r>");
    const std::string failing = dir.Write(
        "f.xsl", "<xsl:stylesheet><xsl:template match='.'><p/><xsl:if test='name'><q/></xsl:if></xsl:template></xsl:stylesheet>");
    TCliRun run = Cli({"transform", doc, failing, "-o", dir.Path("out.html")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "brindle-cli: Invalid variant type conversion\n");
    EXPECT_FALSE(FileExists(dir.Path("out.html")));

    run = Cli({"transform", doc, dir.Write("bad.xsl", "<xsl:stylesheet><x y></xsl:stylesheet>")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err.rfind("brindle-cli: missing = when parsing attributes", 0), 0u);

    run = Cli({"transform", dir.Write("bad.xml", "<r"), dir.Path("f.xsl")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err.rfind("brindle-cli: Missing >", 0), 0u);
}

}  // namespace
