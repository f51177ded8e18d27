// The table dataset over a fuzzed table file: open, walk, edit, post, append,
// field operations and the rewrite at close.

#include <cstdint>
#include <exception>
#include <string>
#include <unistd.h>

#include "FuzzSupport.h"
#include "core/qelStrings.h"
#include "table/qelXMLDataSet2.h"

namespace {

std::string TableFile()
{
    static const std::string name = "/tmp/brindle-fuzz-table-" + std::to_string(::getpid()) + ".xml";
    return name;
}

// Runs one step; the dataset's errors are expected answers to odd input.
template <class Step>
void Try(Step step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> parts = SplitInput(data, size, 3);
    WriteFileText(TableFile(), parts[0]);
    const std::string typed = parts.size() > 1 ? parts[1] : std::string("1");
    const std::string name = parts.size() > 2 ? parts[2] : std::string("extra");
    {
        TqelXMLDataSet2 table;
        Try([&] {
            table.SetXMLFile(TableFile());
            table.Open();
        });
        if (table.Active()) {
            for (table.First(); !table.Eof(); table.Next())
                for (const auto& field : table.Fields()) (void)field->DisplayText();
            Try([&] {
                table.First();
                table.Edit();
                for (const auto& field : table.Fields()) Try([&] { field->SetEditText(typed); });
                table.Post();
            });
            Try([&] {
                table.Append();
                if (table.Fields().Count() > 0) table.Fields()[0]->SetEditText(typed);
                table.Post();
            });
            Try([&] { table.Last(); table.Delete(); });
            Try([&] { table.AddField(name, TypeFromName(typed), static_cast<int>(size % 300)); });
            Try([&] {
                if (table.Fields().Count() > 0)
                    table.ChangeField(table.Fields()[0]->FieldName(), name + "2", TypeFromName(name), 10);
            });
            Try([&] { table.DeleteField(name); });
            Try([&] { (void)table.SaveTable(); });
        }
        Try([&] { table.Close(); });
    }
    return 0;
}
