// brindle-cli eval and select.

#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace {

const char* const Document = "<r k='0'><a k='1'>x</a><b><a>y\tz</a><c>c:\\dir\r\nend</c></b></r>";

TEST(CliEval, PrintsKindAndText)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", Document);
    const struct {
        std::vector<std::string> Args;
        const char* Line;
    } cases[] = {
        {{"eval", file, "name"}, "Text: r\n"},
        {{"eval", file, "value", "--at", "1"}, "Text: x\n"},
        {{"eval", file, "value"}, "Text: \n"},
        {{"eval", "--at", "3", file, "value"}, "Text: y\tz\n"},
        {{"eval", file, "childcount"}, "Integer: 2\n"},
        {{"eval", file, "7 / 2"}, "Double: 3.5\n"},
        {{"eval", file, "@k &lt; 1"}, "Boolean: True\n"},
        {{"eval", file, "@k != 0"}, "Boolean: False\n"},
        {{"eval", file, "asdate('07-03-2001') + 0.5"}, "Date: 07-03-2001 12:00:00\n"},
        {{"eval", file, ""}, "Null\n"},
        {{"eval", file, "@k = 1", "--at", "2"}, "Null\n"},
        {{"eval", "-", "1 + 1"}, "Double: 2\n"},
        {{"eval", "-", "name"}, "Text: \n"},
        {{"eval", "-", "--", "-5"}, "Null\n"},
        {{"eval", "-", "format(7, '%n')"}, "Text: 7\n"},
        {{"--decimal-separator", ",", "eval", "-", "7 / 2"}, "Double: 3,5\n"},
        {{"--short-date-format", "yyyy/mm/dd", "--date-separator", ".", "eval", "-", "asdate('2001.03.07')"},
         "Date: 2001.03.07\n"},
    };
    for (const auto& c : cases) {
        const TCliRun run = Cli(c.Args);
        EXPECT_EQ(run.Status, 0) << c.Line << run.Err;
        EXPECT_EQ(run.Out, c.Line);
        EXPECT_EQ(run.Err, "");
    }
}

TEST(CliEval, RefusesWhatItCannotRun)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", "<r/>");
    EXPECT_EQ(Cli({"eval", file}).Status, 2);
    EXPECT_EQ(Cli({"eval", file, "name", "extra"}).Status, 2);
    EXPECT_EQ(Cli({"eval", file, "name", "--at", "1"}).Status, 2);
    EXPECT_EQ(Cli({"eval", "-", "name", "--at", "0"}).Status, 2);

    const TCliRun bad = Cli({"eval", dir.Write("bad.xml", "<r x></r>"), "name"});
    EXPECT_EQ(bad.Status, 1);
    EXPECT_EQ(bad.Out, "");
    EXPECT_EQ(bad.Err.rfind("brindle-cli: missing = when parsing attributes", 0), 0u) << bad.Err;
}

TEST(CliSelect, PrintsIndexNameAndEscapedText)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", Document);
    TCliRun run = Cli({"select", file, "name = 'a' or name = 'c'"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "1\ta\tx\n3\ta\ty\\tz\n4\tc\tc:\\\\dir\\r\\nend\n");

    // Indexes count in the whole document, also from a start element.
    EXPECT_EQ(Cli({"select", file, "name = 'a'", "--at", "2"}).Out, "3\ta\ty\\tz\n");
    EXPECT_EQ(Cli({"select", file, "1 = 1", "--at", "2", "--stop-at-match"}).Out, "2\tb\t\n");
    EXPECT_EQ(Cli({"select", file, "childcount > 0"}).Out, "0\tr\t\n2\tb\t\n");
    run = Cli({"select", file, "name = 'none'"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "");
}

TEST(CliSelect, PrintsWhatWasSelectedBeforeAnError)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", Document);
    TCliRun run = Cli({"select", file, "@k = 1"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "1\ta\tx\n");
    EXPECT_EQ(run.Err, "brindle-cli: Invalid variant type conversion\n");

    run = Cli({"select", file, "name"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "brindle-cli: Invalid variant type conversion\n");

    EXPECT_EQ(Cli({"select", file}).Status, 2);
    EXPECT_EQ(Cli({"select", dir.Path("none.xml"), "1 = 1"}).Status, 1);
}

}  // namespace
