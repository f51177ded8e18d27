// The table verb: XML table files through the table dataset, as the Database
// page uses them.

#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CliVerbs.h"
#include "core/NumberText.h"
#include "table/qelXMLDataSet2.h"

namespace {

TFieldType ReadType(const std::string& name)
{
    for (TFieldType type : {TFieldType::ftString, TFieldType::ftMemo, TFieldType::ftInteger, TFieldType::ftBoolean,
                            TFieldType::ftFloat, TFieldType::ftDate, TFieldType::ftDateTime})
        if (TypeName(type) == name) return type;
    throw ECliUsage("unknown field type \"" + name + "\"");
}

int ReadNumber(const std::string& text, const char* what)
{
    std::int32_t value = 0;
    if (!TextToInt(text, value)) throw ECliUsage(std::string(what) + " needs a whole number, not \"" + text + "\"");
    return value;
}

// FIELD=VALUE arguments, split at the first "=".
std::vector<std::pair<std::string, std::string>> ReadAssignments(const std::vector<std::string>& args, std::size_t from)
{
    std::vector<std::pair<std::string, std::string>> assignments;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::size_t eq = args[i].find('=');
        if (eq == std::string::npos) throw ECliUsage("FIELD=VALUE expected, not \"" + args[i] + "\"");
        assignments.emplace_back(args[i].substr(0, eq), args[i].substr(eq + 1));
    }
    return assignments;
}

// The table open on its file. Unless the command finishes, the table closes
// without writing its file, so that a refused command changes nothing.
class TOpenTable {
public:
    explicit TOpenTable(const std::string& fileName)
    {
        Table.SetXMLFile(fileName);
        Table.Open();
    }
    TOpenTable(const TOpenTable&) = delete;
    TOpenTable& operator=(const TOpenTable&) = delete;
    ~TOpenTable() { Table.CloseWithoutSaving(); }

    // Moves to record recNo (1-based); fails outside 1 to the record count.
    void MoveTo(int recNo)
    {
        const int count = Table.RecordCount();
        if (recNo < 1 || recNo > count)
            throw ECliFailure("record " + std::to_string(recNo) + " is outside 1 to " + std::to_string(count));
        Table.SetRecNo(recNo);
    }
    // Gives the fields of the record being edited their typed values.
    void Assign(const std::vector<std::pair<std::string, std::string>>& assignments)
    {
        for (const auto& [name, value] : assignments) Table.FieldByName(name).SetEditText(value);
    }
    // Ends the command as the window does: the table closes and writes its file.
    int Finish()
    {
        Table.Close();
        return 0;
    }

    TqelXMLDataSet2 Table;
};

void Dump(TqelXMLDataSet2& table, std::ostream& out)
{
    std::string line;
    for (const auto& field : table.Fields()) {
        if (!line.empty()) line += '\t';
        line += EscapeField(field->FieldName()) + ":" + TypeName(field->DataType());
        if (field->DataType() == TFieldType::ftString) {
            line += ':';
            line += std::to_string(field->Size());
        }
    }
    out << line << '\n';
    for (table.First(); !table.Eof(); table.Next()) {
        line.clear();
        for (int i = 0; i < table.Fields().Count(); ++i) {
            if (i > 0) line += '\t';
            line += EscapeField(table.Fields()[i]->DisplayText());
        }
        out << line << '\n';
    }
}

}  // namespace

int VerbTable(const TCliArguments& args, TCliStreams& io)
{
    if (args.At || args.Output || args.StopAtMatch) throw ECliUsage("table takes no --at, -o or --stop-at-match");
    const std::string& fileName = args.Need(0, "FILE");
    const std::string& command = args.Need(1, "COMMAND");
    const std::vector<std::string>& p = args.Positional;

    if (command == "dump") {
        args.AtMost(2);
        TOpenTable open(fileName);
        Dump(open.Table, io.Out);
        return 0;  // the table closes without writing
    }
    if (command == "add-field") {
        args.AtMost(5);
        const TFieldType type = ReadType(args.Need(3, "TYPE"));
        const int size = ReadNumber(args.Need(4, "SIZE"), "SIZE");
        TOpenTable open(fileName);
        open.Table.AddField(args.Need(2, "NAME"), type, size);
        return open.Finish();
    }
    if (command == "delete-field") {
        args.AtMost(3);
        const std::string& name = args.Need(2, "NAME");
        TOpenTable open(fileName);
        open.Table.DeleteField(name);
        return open.Finish();
    }
    if (command == "change-field") {
        args.AtMost(6);
        const std::string& oldName = args.Need(2, "OLD");
        const std::string& newName = args.Need(3, "NEW");
        const TFieldType type = ReadType(args.Need(4, "TYPE"));
        const int size = ReadNumber(args.Need(5, "SIZE"), "SIZE");
        TOpenTable open(fileName);
        if (!open.Table.ChangeField(oldName, newName, type, size))
            throw ECliFailure("Field \"" + oldName + "\" not found");
        return open.Finish();
    }
    if (command == "set") {
        args.AtMost(5);
        const int recNo = ReadNumber(args.Need(2, "RECNO"), "RECNO");
        const std::string& name = args.Need(3, "FIELD");
        const std::string& value = args.Need(4, "VALUE");
        TOpenTable open(fileName);
        open.MoveTo(recNo);
        open.Table.Edit();
        open.Assign({{name, value}});
        open.Table.Post();
        return open.Finish();
    }
    if (command == "append" || command == "insert") {
        const bool inserting = command == "insert";
        const int recNo = inserting ? ReadNumber(args.Need(2, "RECNO"), "RECNO") : 0;
        const auto assignments = ReadAssignments(p, inserting ? 3 : 2);
        TOpenTable open(fileName);
        if (inserting) {
            open.MoveTo(recNo);
            open.Table.Insert();
        } else {
            open.Table.Append();
        }
        open.Assign(assignments);
        open.Table.Post();
        return open.Finish();
    }
    if (command == "delete") {
        args.AtMost(3);
        const int recNo = ReadNumber(args.Need(2, "RECNO"), "RECNO");
        TOpenTable open(fileName);
        open.MoveTo(recNo);
        open.Table.Delete();
        return open.Finish();
    }
    if (command == "save") {
        args.AtMost(2);
        TOpenTable open(fileName);
        if (!open.Table.SaveTable()) throw ECliFailure("Can not save the XML database.");
        return open.Finish();
    }
    throw ECliUsage("unknown table command \"" + command + "\"");
}
