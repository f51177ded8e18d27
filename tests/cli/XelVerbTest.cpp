// brindle-cli xel.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "core/qelStrings.h"

namespace {

TEST(CliXel, PrintsMessagesInOrderAndWritesTheDocument)
{
    TTestFolder dir;
    const std::string file = dir.Write(
        "p.xml", "<xel:program><xel:var id='n'>1</xel:var><xel:custom act='start'/>"
                 "<xel:do act=\"assign('n', get('n') + 1)\"/><xel:custom act='show:n'/><xel:custom act='show:m'/>"
                 "</xel:program>");
    const TCliRun run = Cli({"xel", file, "-o", dir.Path("after.xml")});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "start\nn: 2\nm\n");
    EXPECT_NE(ReadFileText(dir.Path("after.xml")).find("<xel:var id='n'>2</xel:var>"), std::string::npos);
}

TEST(CliXel, AFailedRunStillWritesTheDocument)
{
    TTestFolder dir;
    const std::string file = dir.Write(
        "p.xml", "<xel:program><xel:var id='n'>1</xel:var><xel:do act=\"assign('n', 5)\"/><xel:custom act='a'/>"
                 "<xel:if act='nonsense'/><xel:custom act='b'/></xel:program>");
    const TCliRun run = Cli({"xel", file, "-o", dir.Path("after.xml")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "a\n");
    EXPECT_EQ(run.Err, "brindle-cli: Invalid variant type conversion\n");
    EXPECT_NE(ReadFileText(dir.Path("after.xml")).find("<xel:var id='n'>5</xel:var>"), std::string::npos);
}

TEST(CliXel, WhileLimitOptionAndElementAddressing)
{
    TTestFolder dir;
    const std::string file = dir.Write(
        "p.xml", "<r><xel:program><xel:while act='1 = 1'><xel:do act='1 = 1'/></xel:while>"
                 "<xel:custom act='done'/></xel:program><xel:custom act='other'/></r>");
    TCliRun run = Cli({"--while-limit", "50", "xel", file, "--at", "1"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "done\n");
    run = Cli({"--while-limit", "50", "xel", file});
    EXPECT_EQ(run.Out, "done\nother\n");
}

TEST(CliXel, ExampleProgramsRun)
{
    const TCliRun run = Cli({"xel", ExampleFile("xel-samples.xml")});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out,
              "total: 55\nsizes: small small medium medium large large\nresult: 720\nHello from XEL\nwho: WORLD\nnobody\n");
}

}  // namespace
