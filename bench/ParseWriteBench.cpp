// Parse and write throughput of this engine and its peers, side by side in one
// run. Every benchmark is named <operation>/<implementation>/<input>, so that
// the ratios between implementations can be read off one run. The same program
// runs the stylesheet transformations of TransformBench.cpp.
//
// Bytes processed are the size of the generated input document for parse and
// write alike: the implementations write different texts (line ends,
// declaration, quotes, indentation), and counting the same document makes the
// MB/s figures of one input compare as documents per second. The written
// length of each is reported as the counter "written", its rate as
// "written_per_second".
//
// libxml2 reads with its default options, which keep the whitespace between
// tags as text nodes; its formatted output then reproduces the input's line
// layout instead of indenting anew (the deep chain has one tag per line and no
// indentation, so libxml2 writes it that way).

#include "bench/DocumentGenerator.h"
#include "bench/Implementations.h"
#include "bench/TransformBench.h"

#include "core/ExpatParser.h"
#include "core/TreeWalk.h"
#include "core/qelXMLParser2.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using brindle::bench::TGeneratedDocument;
using brindle::bench::TImplementation;

constexpr std::size_t KDocumentBytes = 10u * 1024u * 1024u;
constexpr std::size_t KDeepLevels = 100000;

struct TInput {
    std::string_view Name;
    bool Deep;
    const TGeneratedDocument& (*Document)();
};

const TGeneratedDocument& Records()
{
    static const TGeneratedDocument document = brindle::bench::GenerateRecords(KDocumentBytes);
    return document;
}

const TGeneratedDocument& AttributeHeavy()
{
    static const TGeneratedDocument document = brindle::bench::GenerateAttributeHeavy(KDocumentBytes);
    return document;
}

const TGeneratedDocument& Deep()
{
    static const TGeneratedDocument document = brindle::bench::GenerateDeep(KDeepLevels);
    return document;
}

const TInput KInputs[] = {
    {"records", false, &Records},
    {"attributes", false, &AttributeHeavy},
    {"deep", true, &Deep},
};

// Parses the input once and checks that the tree holds what the generator wrote;
// false after reporting the failure on state.
bool ParseChecked(benchmark::State& state, TImplementation& implementation, const TInput& input)
{
    const TGeneratedDocument& document = input.Document();
    if (!implementation.Parse(document.Text, input.Deep)) {
        state.SkipWithError(("parse failed: " + implementation.Error()).c_str());
        return false;
    }
    const auto counts = implementation.Count();
    if (counts.Elements != document.Elements || counts.Attributes != document.Attributes) {
        state.SkipWithError(("tree differs from the document: " + std::to_string(counts.Elements) + " elements, " +
                             std::to_string(counts.Attributes) + " attributes; expected " +
                             std::to_string(document.Elements) + " and " + std::to_string(document.Attributes))
                                .c_str());
        return false;
    }
    return true;
}

// Text to tree and back to nothing: the tree is destroyed inside the timing
// for every implementation alike.
void BenchParse(benchmark::State& state, std::string_view name, const TInput& input)
{
    auto implementation = brindle::bench::MakeImplementation(name);
    if (!ParseChecked(state, *implementation, input)) return;
    implementation->Release();
    const TGeneratedDocument& document = input.Document();
    for (auto _ : state) {
        bool parsed = implementation->Parse(document.Text, input.Deep);
        benchmark::DoNotOptimize(parsed);
        implementation->Release();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(document.Text.size()));
}

// expat set up as the standard reading sets it up, with no handlers: the
// well-formedness check alone, the floor under the standard reading's time.
void BenchExpatAlone(benchmark::State& state, const TInput& input)
{
    const TGeneratedDocument& document = input.Document();
    for (auto _ : state) {
        const TqelExpatParser parser = MakeGuardedParser();
        if (!ParseWhole(parser.get(), document.Text)) return state.SkipWithError("expat refused the document");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(document.Text.size()));
}

// Tree to a text in memory, released inside the timing. The written text is
// checked once: parsed again by the same implementation it gives the same tree.
void BenchWrite(benchmark::State& state, std::string_view name, const TInput& input, bool indented)
{
    auto implementation = brindle::bench::MakeImplementation(name);
    if (!ParseChecked(state, *implementation, input)) return;
    std::string written;
    implementation->Write(indented, &written);
    {
        auto second = brindle::bench::MakeImplementation(name);
        const bool reread = second->Parse(written, input.Deep);
        const auto counts = second->Count();
        if (!reread || counts.Elements != input.Document().Elements ||
            counts.Attributes != input.Document().Attributes) {
            state.SkipWithError("the written text does not read back as the same tree");
            return;
        }
    }
    std::size_t length = 0;
    for (auto _ : state) {
        length = implementation->Write(indented, nullptr);
        benchmark::DoNotOptimize(length);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.Document().Text.size()));
    state.counters["written"] = static_cast<double>(length);
    state.counters["written_per_second"] =
        benchmark::Counter(static_cast<double>(length) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate, benchmark::Counter::OneK::kIs1024);
    if (!indented) state.SetLabel("unindented");
}

// The lossless save of the records document read in the standard reading,
// unchanged (it must give the input back) or with every hundredth element's text
// edited.
void BenchLossless(benchmark::State& state, bool edited)
{
    const TGeneratedDocument& input = Records();
    TqelXMLParser2 document;
    document.LoadFromText(input.Text, TqelXMLReading::Standard);
    if (!document.LastError.empty()) return state.SkipWithError(("parse failed: " + document.LastError).c_str());
    if (edited) {
        long index = 0;
        WalkPreOrder(static_cast<TqelXMLNode2*>(&document), [&](TqelXMLNode2* node) {
            if (index++ % 100 == 0) node->SetText(node->Text + " edited");
            return false;
        });
    } else if (document.GetXMLText() != input.Text) {
        return state.SkipWithError("the unchanged document does not save as it was read");
    }
    std::size_t length = 0;
    for (auto _ : state) {
        std::string text;
        document.GetXMLText(text);
        length = text.size();
        benchmark::DoNotOptimize(length);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(input.Text.size()));
    state.counters["written"] = static_cast<double>(length);
    if (edited) state.SetLabel("1 % of the elements edited");
}

void RegisterAll()
{
    for (const TInput& input : KInputs) {
        for (std::string_view name : brindle::bench::ImplementationNames()) {
            const std::string suffix = std::string(name) + "/" + std::string(input.Name);
            benchmark::RegisterBenchmark(("parse/" + suffix).c_str(),
                                         [name, &input](benchmark::State& state) { BenchParse(state, name, input); })
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("parse/expat-alone/" + std::string(input.Name)).c_str(),
                                     [&input](benchmark::State& state) { BenchExpatAlone(state, input); })
            ->Unit(benchmark::kMillisecond);
    }
    for (const TInput& input : KInputs) {
        for (std::string_view name : brindle::bench::ImplementationNames()) {
            // pugixml does not cap its indentation, which for the 100,000-level
            // chain grows with the square of the depth (gigabytes): it writes that
            // input unindented. This engine and libxml2 cap the indentation.
            const bool indented = !(input.Deep && name == "pugixml");
            if (name == "brindle-standard") continue;  // its lossless save has rows of its own
            const std::string suffix = std::string(name) + "/" + std::string(input.Name);
            benchmark::RegisterBenchmark(
                ("write/" + suffix).c_str(),
                [name, &input, indented](benchmark::State& state) { BenchWrite(state, name, input, indented); })
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("write/brindle-standard-lossless/records",
                                 [](benchmark::State& state) { BenchLossless(state, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("write/brindle-standard-lossless/records-edited",
                                 [](benchmark::State& state) { BenchLossless(state, true); })
        ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv)
{
    // Freed heap memory stays with the process, for every library alike, so that
    // the rows measure the libraries rather than page faults, which cost about
    // 14 us each on a virtual machine. Without a fixed mmap threshold, every block
    // above 128 KB (a query's node sets, a copy's text, a transformation's output)
    // would be mapped and faulted in afresh on every run; blocks above 32 MB, the
    // most the C library allows, still are.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    RegisterAll();
    brindle::bench::RegisterTransformBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
