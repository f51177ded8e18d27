// brindle-cli parse, write and fragment, and the rules every verb shares.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "core/qelStrings.h"
#include "core/qelXMLParser2.h"

namespace {

const std::string Decl = "<?xml version='1.0' encoding='ISO-8859-1' ?>\r\n";

TEST(CliParse, SilentOnSuccessAndReportsLastError)
{
    TTestFolder dir;
    EXPECT_EQ(Cli({"parse", dir.Write("ok.xml", "<a/>")}).Status, 0);
    const TCliRun bad = Cli({"parse", dir.Write("bad.xml", "<a b></a>")});
    EXPECT_EQ(bad.Status, 1);
    EXPECT_EQ(bad.Out, "");
    EXPECT_EQ(bad.Err.rfind("brindle-cli: missing = when parsing attributes near <a b></a>\r\nError position=6\r\n", 0), 0u);
    EXPECT_EQ(bad.Err.back(), '\n');

    const TCliRun missing = Cli({"parse", dir.Path("none.xml")});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "brindle-cli: Cannot open file \"" + dir.Path("none.xml") + "\": No such file or directory\n");
}

// A parse message shows its control bytes, and at most 4,096 bytes of the
// partially read document it quotes.
TEST(CliParse, MessagesShowControlBytesAndCutTheDocument)
{
    TTestFolder dir;
    const TCliRun binary = Cli({"parse", dir.Write("bin.xml", std::string("<a b=\0\x01'/>", 10))});
    EXPECT_EQ(binary.Err, "brindle-cli: missing value delimiter when parsing attributes near <a b=\\0\\x01'/>\r\n"
                          "Error position=11\r\n" + Decl + "<a/>\n");

    std::string text = "<r>";
    for (int i = 0; i < 1000; ++i) text += "<i>x</i>";
    const std::string file = dir.Write("cut.xml", text + "<j k></r>");
    TqelXMLParser2 document;
    document.LoadFromFile(file);
    const std::string partial = document.GetXMLText();
    ASSERT_GT(partial.size(), 4096u);
    const std::string head = document.LastError.substr(0, document.LastError.size() - partial.size());
    for (const char* verb : {"parse", "write"}) {
        EXPECT_EQ(Cli({verb, file}).Err,
                  "brindle-cli: " + head + partial.substr(0, 4096) + "\n... (" + std::to_string(partial.size() - 4096) +
                      " more bytes of the partially read document)\n")
            << verb;
    }
}

TEST(CliWrite, WholeDocumentElementsAndOutputFiles)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", "<r><a k='1'>x</a><b><c/></b></r>");
    TCliRun run = Cli({"write", file});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, Decl + "<r>\r\n  <a k='1'>x</a>\r\n  <b>\r\n    <c/>\r\n  </b>\r\n</r>");

    // Pre-order numbering: 0 r, 1 a, 2 b, 3 c.
    EXPECT_EQ(Cli({"write", file, "--at", "2"}).Out, "<b>\r\n  <c/>\r\n</b>");
    EXPECT_EQ(Cli({"write", "--at", "3", file}).Out, "<c/>");
    EXPECT_EQ(Cli({"write", file, "--at", "0"}).Out, run.Out);

    run = Cli({"write", file, "-o", dir.Path("out.xml"), "--at", "1"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadFileText(dir.Path("out.xml")), "<a k='1'>x</a>");
}

TEST(CliWrite, WritesWhatWasBuiltBeforeAnError)
{
    TTestFolder dir;
    const TCliRun run = Cli({"write", dir.Write("d.xml", "<r><a/><b x=1/></r>")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, Decl + "<r>\r\n  <a/>\r\n  <b/>\r\n</r>");
    EXPECT_EQ(run.Err.rfind("brindle-cli: missing value delimiter when parsing attributes near ", 0), 0u);
}

TEST(CliWrite, ExampleRoundTripIsStable)
{
    TTestFolder dir;
    const TCliRun first = Cli({"write", ExampleFile("catalog.xml")});
    ASSERT_EQ(first.Status, 0) << first.Err;
    const TCliRun second = Cli({"write", dir.Write("again.xml", first.Out)});
    EXPECT_EQ(second.Out, first.Out);
}

TEST(CliFragment, RebuildsTheElementAndWritesTheDocument)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", "<r><a k='1'>x</a><b/></r>");
    const std::string text = dir.Write("f.txt", "<n j='2'><m/></n>");
    TCliRun run = Cli({"fragment", file, "--at", "1", text});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, Decl + "<r>\r\n  <n k='1' j='2'>\r\n    <m/>\r\n  </n>\r\n  <b/>\r\n</r>");

    run = Cli({"fragment", file, "--at", "2", dir.Write("bad.txt", "<b><c x></b>"), "-o", dir.Path("o.xml")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(ReadFileText(dir.Path("o.xml")), Decl + "<r>\r\n  <a k='1'>x</a>\r\n  <b>\r\n    <c/>\r\n  </b>\r\n</r>");
    EXPECT_EQ(run.Err.rfind("brindle-cli: missing = when parsing attributes", 0), 0u);
}

struct TUsageCase {
    std::vector<std::string> Args;
    const char* Message;
};

TEST(CliUsage, MalformedCommandLinesExitWithTwo)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", "<r><a/></r>");
    const TUsageCase cases[] = {
        {{}, "missing verb"},
        {{"frobnicate", file}, "unknown verb frobnicate"},
        {{"--colour", "x", "write", file}, "unknown option --colour"},
        {{"write"}, "missing FILE"},
        {{"write", file, "--at"}, "--at needs a value"},
        {{"write", file, "--at", "x"}, "--at needs an element index, not \"x\""},
        {{"write", file, "--at", "-1"}, "--at needs an element index, not \"-1\""},
        {{"write", file, "--at", "2"}, "--at 2: the document has only 2 elements"},
        {{"write", file, "--bogus"}, "unknown option --bogus"},
        {{"write", file, "extra"}, "unexpected argument \"extra\""},
        {{"--decimal-separator", "", "write", file}, "--decimal-separator needs one character"},
        {{"--date-separator", "ab", "write", file}, "--date-separator needs one character"},
        {{"--while-limit", "0", "write", file}, "--while-limit needs a positive whole number of milliseconds"},
        {{"--while-limit", "12x", "write", file}, "--while-limit needs a positive whole number of milliseconds"},
    };
    for (const auto& c : cases) {
        const TCliRun run = Cli(c.Args);
        EXPECT_EQ(run.Status, 2) << c.Message;
        EXPECT_EQ(run.Err.rfind(std::string("brindle-cli: ") + c.Message + "\n", 0), 0u) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
}

TEST(CliUsage, DoubleDashEndsTheOptions)
{
    TTestFolder dir;
    const std::string file = dir.Write("d.xml", "<r/>");
    EXPECT_EQ(Cli({"write", "--", file}).Status, 0);
    const TCliRun run = Cli({"write", file, "--", "--at"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err.rfind("brindle-cli: unexpected argument \"--at\"\n", 0), 0u);
}

}  // namespace
