// The XML table dataset on a generated table of 100,000 records with one field
// of each type: loading the file with the document parser (the baseline),
// opening the table, walking every record while reading every field, closing
// (which writes the file), and editing and posting one record in the middle.
// Walking all records must cost no more than twice the baseline load.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "core/qelStrings.h"
#include "core/qelXMLParser2.h"
#include "table/qelXMLDataSet2.h"

namespace {

constexpr int KRecords = 100000;

std::string GenerateTable(int records)
{
    std::string text =
        "<stock><fields><title size='40' type='string'/><count type='integer'/><price type='float'/>"
        "<active type='boolean'/><added type='date'/><checked type='datetime'/><notes type='memo'/></fields><rows>";
    for (int i = 0; i < records; ++i) {
        const std::string n = std::to_string(i);
        const std::string day = std::to_string(10 + i % 18);
        text += "<row><title>Item number " + n + "</title><count>" + std::to_string(i % 1000) + "</count><price>" +
                std::to_string(i % 500) + "." + std::to_string(i % 100) + "</price><active>" + (i % 3 ? "1" : "0") +
                "</active><added>2024-05-" + day + "</added><checked>2025-01-" + day + " 08:30:" +
                std::to_string(10 + i % 50) + "</checked><notes>Notes on item " + n + ", kept in stock.</notes></row>";
    }
    return text + "</rows></stock>";
}

// The generated table, written once in the document writer's form, so that a
// close that rewrites it leaves the same bytes; removed when the program ends.
class TTableFile {
public:
    TTableFile()
        : FPath((std::filesystem::temp_directory_path() / ("brindle-bench-table-" + std::to_string(::getpid()) + ".xml"))
                    .string())
    {
        TqelXMLParser2 document;
        document.LoadFromText(GenerateTable(KRecords));
        document.SaveToFile(FPath);
    }
    TTableFile(const TTableFile&) = delete;
    TTableFile& operator=(const TTableFile&) = delete;
    ~TTableFile()
    {
        std::error_code ignored;
        std::filesystem::remove(FPath, ignored);
    }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

const std::string& TablePath()
{
    static const TTableFile file;
    return file.Path();
}

std::unique_ptr<TqelXMLDataSet2> OpenTable()
{
    auto table = std::make_unique<TqelXMLDataSet2>();
    table->SetXMLFile(TablePath());
    table->Open();
    return table;
}

// Destroys what the benchmark made, outside the timing.
template <class T>
void ReleaseUntimed(benchmark::State& state, std::unique_ptr<T>& object)
{
    state.PauseTiming();
    object.reset();
    state.ResumeTiming();
}

void SetRecords(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * KRecords);
}

void BenchLoad(benchmark::State& state)
{
    const std::string& path = TablePath();  // generated before the timing
    for (auto _ : state) {
        auto document = std::make_unique<TqelXMLParser2>();
        document->LoadFromFile(path);
        benchmark::DoNotOptimize(document->Children.Count());
        ReleaseUntimed(state, document);
    }
    SetRecords(state);
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
    state.counters["file_bytes"] = static_cast<double>(bytes);
}

void BenchOpen(benchmark::State& state)
{
    TablePath();
    for (auto _ : state) {
        auto table = OpenTable();
        table->CloseWithoutSaving();  // writes nothing: the time of the close is table_close's
        ReleaseUntimed(state, table);
    }
    SetRecords(state);
}

void BenchWalk(benchmark::State& state)
{
    const auto table = OpenTable();
    TField& title = table->FieldByName("title");
    TField& count = table->FieldByName("count");
    TField& price = table->FieldByName("price");
    TField& active = table->FieldByName("active");
    TField& added = table->FieldByName("added");
    TField& checked = table->FieldByName("checked");
    TField& notes = table->FieldByName("notes");
    int records = 0;
    for (auto _ : state) {
        records = 0;
        double sum = 0;
        std::size_t length = 0;
        for (table->First(); !table->Eof(); table->Next()) {
            length += title.AsString().size() + notes.AsString().size();
            sum += count.AsInteger() + price.AsFloat() + (active.AsBoolean() ? 1 : 0) + added.AsDateTime() +
                   checked.AsDateTime();
            ++records;
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(length);
    }
    if (records != KRecords) state.SkipWithError("the walk did not see every record");
    table->CloseWithoutSaving();
    SetRecords(state);
}

void BenchClose(benchmark::State& state)
{
    TablePath();
    for (auto _ : state) {
        state.PauseTiming();
        auto table = OpenTable();
        state.ResumeTiming();
        table->Close();
        ReleaseUntimed(state, table);
    }
    SetRecords(state);
}

void BenchPost(benchmark::State& state)
{
    const auto table = OpenTable();
    TField& count = table->FieldByName("count");
    std::int32_t value = 0;
    for (auto _ : state) {
        table->SetRecNo(KRecords / 2);
        table->Edit();
        count.SetAsInteger(++value);
        table->Post();
    }
    if (table->RecNo() != KRecords / 2 || count.AsInteger() != value)
        state.SkipWithError("the post did not reach the record in the middle");
    table->CloseWithoutSaving();
}

[[maybe_unused]] const bool Registered = [] {
    benchmark::RegisterBenchmark("load/brindle/table100k", BenchLoad)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("table_open/brindle/100k", BenchOpen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("table_walk/brindle/100k", BenchWalk)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("table_close/brindle/100k", BenchClose)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("table_post/brindle/100k", BenchPost)->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace
