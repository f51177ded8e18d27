// brindle-cli --reading and the edit verbs.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "core/qelStrings.h"

namespace {

const std::string Commented = "<!-- licence -->\n<r a='1'>\n  <b>t</b>\n  <c/>\n</r>\n";
const std::string Decl = "<?xml version='1.0' encoding='ISO-8859-1' ?>\r\n";

// Rule: --reading picks how FILE is read; classic stays the default.
TEST(CliReading, EachReadingAndItsErrors)
{
    TTestFolder dir;
    const std::string file = dir.Write("c.xml", Commented);
    EXPECT_EQ(Cli({"--reading", "standard", "write", file}).Out, Commented);
    EXPECT_EQ(Cli({"--reading=auto", "write", file}).Out, Commented);
    EXPECT_EQ(Cli({"--reading=auto", "write", dir.Write("plain.xml", "<r><b>t</b></r>")}).Out,
              Decl + "<r>\r\n  <b>t</b>\r\n</r>");
    EXPECT_EQ(Cli({"parse", file}).Status, 1);
    EXPECT_EQ(Cli({"--reading=standard", "select", dir.Write("v.xml", "<r n='Fish &amp; Chips'/>"),
                   "@n = 'Fish & Chips'"}).Out,
              "0\tr\t\n");

    const TCliRun usage = Cli({"--reading=lenient", "parse", file});
    EXPECT_EQ(usage.Status, 2);
    EXPECT_EQ(usage.Err.rfind("brindle-cli: --reading needs classic, standard or auto, not \"lenient\"\n", 0), 0u);

    // A text that is not well-formed loads nothing: every verb fails before writing.
    const std::string bad = dir.Write("bad.xml", "<r>\n  <a></b>\n</r>");
    for (const char* verb : {"parse", "write"}) {
        const TCliRun run = Cli({"--reading=standard", verb, bad});
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err, "brindle-cli: " + bad + ":2:8: mismatched tag\n");
    }
}

struct TEditCase {
    std::vector<std::string> Args;  // verb and its arguments; FILE is added after the verb
    std::string Standard;           // the output in the standard reading
};

// Rule: each verb makes one change with the window's element operation; the
// standard reading changes only the bytes of the edited element.
TEST(CliEdit, EachVerbInTheStandardReading)
{
    const TEditCase cases[] = {
        {{"set-attribute", "--at", "1", "k", "x & 'y' \"z\""},
         "<!-- licence -->\n<r a='1'>\n  <b k='x &amp; &apos;y&apos; \"z\"'>t</b>\n  <c/>\n</r>\n"},
        {{"remove-attribute", "a"}, "<!-- licence -->\n<r>\n  <b>t</b>\n  <c/>\n</r>\n"},
        {{"remove-attribute", "missing"}, Commented},
        {{"set-text", "--at", "1", "<new>"}, "<!-- licence -->\n<r a='1'>\n  <b>&lt;new&gt;</b>\n  <c/>\n</r>\n"},
        {{"rename", "--at", "2", "d"}, "<!-- licence -->\n<r a='1'>\n  <b>t</b>\n  <d/>\n</r>\n"},
        {{"add-child", "--at", "0", "n"}, "<!-- licence -->\n<r a='1'>\n  <b>t</b>\n  <c/>\n  <n/>\n</r>\n"},
        {{"delete", "--at", "1"}, "<!-- licence -->\n<r a='1'>\n  <c/>\n</r>\n"},
    };
    TTestFolder dir;
    const std::string file = dir.Write("c.xml", Commented);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args[0] + " " + c.Args.back());
        std::vector<std::string> args{"--reading=standard", c.Args[0], file};
        args.insert(args.end(), c.Args.begin() + 1, c.Args.end());
        const TCliRun run = Cli(args);
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, c.Standard);
    }
    EXPECT_EQ(ReadFileText(file), Commented);
}

// Rule: the classic reading edits and writes as the window does; a value with
// both quotes cannot be written back there and is refused with the reason.
TEST(CliEdit, ClassicReadingAndRefusals)
{
    TTestFolder dir;
    const std::string file = dir.Write("p.xml", "<r a='1'><b>t</b></r>");
    EXPECT_EQ(Cli({"set-attribute", file, "--at", "1", "k", "it's"}).Out,
              Decl + "<r a='1'>\r\n  <b k=\"it's\">t</b>\r\n</r>");
    EXPECT_EQ(Cli({"add-child", file, "n"}).Out, Decl + "<r a='1'>\r\n  <b>t</b>\r\n  <n/>\r\n</r>");

    const TCliRun quotes = Cli({"set-attribute", file, "k", "'\""});
    EXPECT_EQ(quotes.Status, 1);
    EXPECT_NE(quotes.Err.find("both ' and \""), std::string::npos) << quotes.Err;
    EXPECT_EQ(quotes.Out, "");

    const std::vector<std::string> refused[] = {
        {"delete", file, "--at", "0"},
        {"rename", file, "1x"},
        {"set-attribute", file, "a b", "v"},
        {"add-child", file, "--at", "1", ""},
    };
    for (const auto& args : refused) {
        const TCliRun run = Cli(args);
        EXPECT_EQ(run.Status, 1) << args[0];
        EXPECT_EQ(run.Out, "") << args[0];
    }
    EXPECT_EQ(ReadFileText(file), "<r a='1'><b>t</b></r>");
}

// Rule: -o writes OUT, --in-place replaces FILE; the two together are a usage error.
TEST(CliEdit, OutputAndInPlace)
{
    TTestFolder dir;
    const std::string file = dir.Write("c.xml", Commented);
    const std::string out = dir.Path("out.xml");
    EXPECT_EQ(Cli({"--reading=standard", "rename", file, "--at", "2", "d", "-o", out}).Out, "");
    EXPECT_EQ(ReadFileText(out), "<!-- licence -->\n<r a='1'>\n  <b>t</b>\n  <d/>\n</r>\n");
    EXPECT_EQ(Cli({"rename", file, "-o", out, "--in-place", "s"}).Status, 2);
    EXPECT_EQ(Cli({"--reading=standard", "delete", file, "--at", "2", "--in-place"}).Status, 0);
    EXPECT_EQ(ReadFileText(file), "<!-- licence -->\n<r a='1'>\n  <b>t</b>\n</r>\n");
}

}  // namespace
