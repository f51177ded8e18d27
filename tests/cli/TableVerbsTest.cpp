// brindle-cli table: the dump, the field commands and the record commands.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "core/qelStrings.h"

namespace {

const std::string Plants =
    "<plants><fields><name size='12'/><count type='integer'/><sown type='date'/><note type='memo'/></fields>"
    "<rows><row><name>Basil</name><count>4</count><sown>2026-03-07</sown><note>a\tb\\c\r\nd</note></row>"
    "<row><name>Thyme</name><count>2</count></row></rows></plants>";

const std::string Header = "name:string:12\tcount:integer\tsown:date\tnote:memo\n";

class CliTable : public ::testing::Test {
protected:
    std::string Dump() { return Cli({"table", File, "dump"}).Out; }
    TTestFolder Dir;
    std::string File = Dir.Write("plants.xml", Plants);
};

TEST_F(CliTable, DumpShowsWhatTheGridShowsAndWritesNothing)
{
    const TCliRun run = Cli({"--short-date-format", "yyyy/mm/dd", "--date-separator", ".", "table", File, "dump"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, Header + "Basil\t4\t2026.03.07\ta\\tb\\\\c\\r\\nd\nThyme\t2\t1899.12.30\t\n");
    EXPECT_EQ(ReadFileText(File), Plants);
}

TEST_F(CliTable, RecordCommandsPostAndWriteTheFile)
{
    EXPECT_EQ(Cli({"table", File, "set", "2", "sown", "8-3-2026"}).Status, 0);
    EXPECT_NE(ReadFileText(File).find("<sown>2026-03-08</sown>"), std::string::npos);
    EXPECT_EQ(Cli({"table", File, "append", "name=Sage and more", "count=9", "note=x=y"}).Status, 0);
    EXPECT_EQ(Cli({"table", File, "insert", "1", "name=Mint"}).Status, 0);
    EXPECT_EQ(Cli({"table", File, "delete", "2"}).Status, 0);
    EXPECT_EQ(Dump(), Header +
                          "Basil\t4\t07-03-2026\ta\\tb\\\\c\\r\\nd\n"
                          "Sage and mor\t9\t30-12-1899\tx=y\n"
                          "Mint\t0\t30-12-1899\t\n");
}

TEST_F(CliTable, FieldCommands)
{
    EXPECT_EQ(Cli({"table", File, "add-field", "height", "float", "0"}).Status, 0);
    EXPECT_EQ(Cli({"table", File, "change-field", "count", "stock", "string", "3"}).Status, 0);
    EXPECT_EQ(Cli({"table", File, "delete-field", "note"}).Status, 0);
    EXPECT_EQ(Cli({"table", File, "delete-field", "nothing"}).Status, 0);  // nothing to delete, no failure
    EXPECT_EQ(Dump(), "name:string:12\tstock:string:3\tsown:date\theight:float\n"
                      "Basil\t4\t07-03-2026\t0\nThyme\t2\t30-12-1899\t0\n");
    const TCliRun missing = Cli({"table", File, "change-field", "count", "n", "integer", "0"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "brindle-cli: Field \"count\" not found\n");
    const TCliRun taken = Cli({"table", File, "add-field", "name", "integer", "0"});
    EXPECT_EQ(taken.Status, 1);
    EXPECT_EQ(taken.Err, "brindle-cli: A field named \"name\" already exists\n");
}

TEST_F(CliTable, RefusedCommandsChangeNothing)
{
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"set", "3", "name", "x"}, "record 3 is outside 1 to 2"},
        {{"set", "0", "name", "x"}, "record 0 is outside 1 to 2"},
        {{"set", "1", "colour", "x"}, "Field \"colour\" not found"},
        {{"set", "1", "count", ""}, "Invalid value \"\" for field \"count\""},
        {{"set", "1", "sown", "2026-03-07"}, "Invalid value \"2026-03-07\" for field \"sown\""},
        {{"append", "count=1", "colour=red"}, "Field \"colour\" not found"},
        {{"insert", "5", "name=x"}, "record 5 is outside 1 to 2"},
        {{"delete", "9"}, "record 9 is outside 1 to 2"},
    };
    for (const auto& [command, message] : refused) {
        std::vector<std::string> args{"table", File};
        args.insert(args.end(), command.begin(), command.end());
        const TCliRun run = Cli(args);
        EXPECT_EQ(run.Status, 1) << command[0];
        EXPECT_EQ(run.Err, "brindle-cli: " + message + "\n");
        EXPECT_EQ(ReadFileText(File), Plants) << command[0];
    }
}

TEST_F(CliTable, UsageErrors)
{
    const std::vector<std::string> wrong[] = {
        {"table", File},
        {"table", File, "shuffle"},
        {"table", File, "add-field", "x", "Integer", "0"},
        {"table", File, "add-field", "x", "string", "wide"},
        {"table", File, "set", "first", "name", "x"},
        {"table", File, "append", "name"},
        {"table", File, "dump", "extra"},
        {"table", File, "dump", "--at", "1"},
    };
    for (const auto& args : wrong) {
        const TCliRun run = Cli(args);
        EXPECT_EQ(run.Status, 2) << args.back();
        EXPECT_EQ(run.Err.rfind("brindle-cli: ", 0), 0u);
    }
    EXPECT_EQ(ReadFileText(File), Plants);
}

TEST_F(CliTable, TablesThatDoNotOpen)
{
    const TCliRun missing = Cli({"table", Dir.Path("none.xml"), "dump"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, "brindle-cli: Invalid XMLFile path.\n");
    const TCliRun noFields = Cli({"table", Dir.Write("rows.xml", "<t><rows/></t>"), "dump"});
    EXPECT_EQ(noFields.Err, "brindle-cli: The table has no \"fields\" element\n");
    const std::string broken = Dir.Write("broken.xml", "<t><fields><a/></fields><rows><row><a>1</rows>");
    const TCliRun run = Cli({"table", broken, "append", "a=2"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err.rfind("brindle-cli: The table file \"" + broken + "\" cannot be read: ", 0), 0u);
    EXPECT_EQ(ReadFileText(broken), "<t><fields><a/></fields><rows><row><a>1</rows>");
}

TEST_F(CliTable, SaveWritesTheTableInTheWritersForm)
{
    EXPECT_EQ(Cli({"table", File, "save"}).Status, 0);
    EXPECT_EQ(ReadFileText(File).rfind("<?xml version='1.0' encoding='ISO-8859-1' ?>\r\n<plants>\r\n  <fields>", 0), 0u);
    EXPECT_EQ(Dump(), Header + "Basil\t4\t07-03-2026\ta\\tb\\\\c\\r\\nd\nThyme\t2\t30-12-1899\t\n");
    EXPECT_EQ(Cli({"table", ExampleFile("inventory-table.xml"), "dump"})
                  .Out.rfind("title:string:40\tstock:integer\tprice:float\tavailable:boolean\t", 0),
              0u);
}

}  // namespace
