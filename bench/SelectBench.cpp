// Selection throughput of this engine's expression language and of its peers'
// XPath on the records document, side by side in one run, named
// select/<implementation>/<query>.
//
// This engine has no location paths: a selection evaluates one condition at
// every element of the subtree. Each query therefore has a peer form that does
// the same, a "//*" with the condition as its predicate, so that all three
// implementations test every element of the document once.
//
// The document is generated and parsed once per process by each
// implementation, outside the timing; the queries are compiled once per
// benchmark, outside the timing too. Only the selection is timed: for this
// engine the walk from the outermost element into a list that is emptied (not
// shrunk) before each run, for pugixml the node set that evaluate_node_set
// builds and frees, for libxml2 the result object of xmlXPathCompiledEval and
// its release. libxml2 reads the text with XML_PARSE_NOBLANKS, so that its tree
// holds no whitespace text between tags, like the other two.
//
// Before any timing, the three selections of a query are checked against a
// plain walk of this engine's tree that tests the same condition in C++: every
// implementation must select the same elements (by name and "id") in the same
// order, and at least one. A mismatch skips the benchmark with an error.
//
// The counter "elements_per_second" is the number of elements in the document
// (each of them evaluated once) per CPU second; "selected" is the size of the
// result.
//
// The same XPath also runs through this engine's XPath 1.0 (pugixml over a copy
// of the document's text, results mapped back to the engine's elements):
// xpath/brindle/<query> is a query on an unchanged document, whose copy was
// made before the timing; xpath/brindle/<query>/first makes the copy and runs
// the query, as the first query on a document does; xpath/brindle/copy makes
// the copy alone. Its results are checked with the others.
//
// The benchmarks register themselves when the program starts, beside the
// parse and write benchmarks of the same program.

#include "bench/DocumentGenerator.h"
#include "core/qelXMLParser2.h"
#include "standard/StandardXPath.h"
#include "xpath/Variant.h"
#include "xpath/qelXPathParser2.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::bench {

namespace {

constexpr std::size_t KDocumentBytes = 10u * 1024u * 1024u;

// One selection in this engine's language and in the peers' XPath, with the
// condition written out in C++ for checking both.
struct TQuery {
    std::string_view Name;
    std::string_view Expression;
    std::string_view XPath;
    bool (*Holds)(const TqelXMLNode2& element);
};

bool IsItem5000(const TqelXMLNode2& element)
{
    return element.Name == "item" && element.GetAttribute("id") == "5000";
}

bool IsLampWithChildren(const TqelXMLNode2& element)
{
    return element.GetAttribute("kind") == "lamp" && element.Children.Count() > 2;
}

bool KindStartsWithC(const TqelXMLNode2& element)
{
    const std::string& kind = element.GetAttribute("kind");
    return !kind.empty() && (kind.front() == 'c' || kind.front() == 'C');
}

// The generated items carry "id" and "kind" (book, lamp, chair, plate, clock or
// vase); the other elements have no attributes and are evaluated all the same.
// "like" ignores letter case by itself; "lower" is the case folding that the
// peers' translate stands for.
const TQuery KQueries[] = {
    {"name-and-id", "name = 'item' and @id = '5000'", "//*[name()='item' and @id='5000']", &IsItem5000},
    {"kind-and-childcount", "@kind = 'lamp' and childcount > 2", "//*[@kind='lamp' and count(*) > 2]",
     &IsLampWithChildren},
    {"lower-like", "lower(@kind) like 'c%'", "//*[starts-with(translate(@kind,'C','c'),'c')]", &KindStartsWithC},
};

struct TXmlDocDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct TXPathCompDeleter {
    void operator()(xmlXPathCompExpr* expression) const { xmlXPathFreeCompExpr(expression); }
};
struct TXPathContextDeleter {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct TXPathObjectDeleter {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};
struct TXmlCharDeleter {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

using TXPathObject = std::unique_ptr<xmlXPathObject, TXPathObjectDeleter>;

// The records document as text and as the tree of each implementation.
struct TDocuments {
    // Generates and parses the document; Error tells what went wrong.
    TDocuments();

    TGeneratedDocument Source;
    TqelXMLParser2 Brindle;
    pugi::xml_document Pugixml;
    std::unique_ptr<xmlDoc, TXmlDocDeleter> Libxml2;  // owned
    std::string Error;                                // why the trees cannot be used, or ""
};

std::size_t CountBrindleElements(const TqelXMLNode2& root)
{
    std::size_t count = 0;
    std::vector<const TqelXMLNode2*> pending{&root};
    while (!pending.empty()) {
        const TqelXMLNode2* element = pending.back();
        pending.pop_back();
        ++count;
        for (const auto& child : element->Children) pending.push_back(child.get());
    }
    return count;
}

TDocuments::TDocuments()
{
    Source = GenerateRecords(KDocumentBytes);
    const std::string& text = Source.Text;
    const std::string expected = std::to_string(Source.Elements);

    Brindle.LoadFromText(text);
    if (!Brindle.LastError.empty()) {
        Error = "brindle parse failed: " + Brindle.LastError;
        return;
    }
    const std::size_t brindleElements = CountBrindleElements(Brindle);
    if (brindleElements != Source.Elements) {
        Error = "brindle tree holds " + std::to_string(brindleElements) + " elements; expected " + expected;
        return;
    }

    const pugi::xml_parse_result parsed = Pugixml.load_buffer(text.data(), text.size());
    if (!parsed) {
        Error = std::string("pugixml parse failed: ") + parsed.description();
        return;
    }
    const std::size_t pugixmlElements = Pugixml.select_nodes("//*").size();
    if (pugixmlElements != Source.Elements) {
        Error = "pugixml tree holds " + std::to_string(pugixmlElements) + " elements; expected " + expected;
        return;
    }

    xmlInitParser();
    Libxml2.reset(
        xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, XML_PARSE_NOBLANKS));
    if (!Libxml2) {
        Error = "libxml2 parse failed";
        return;
    }
    std::unique_ptr<xmlXPathContext, TXPathContextDeleter> context(xmlXPathNewContext(Libxml2.get()));
    const TXPathObject all(xmlXPathEval(BAD_CAST "//*", context.get()));
    const int libxml2Elements = all && all->nodesetval != nullptr ? all->nodesetval->nodeNr : -1;
    if (libxml2Elements < 0 || static_cast<std::size_t>(libxml2Elements) != Source.Elements)
        Error = "libxml2 tree holds " + std::to_string(libxml2Elements) + " elements; expected " + expected;
}

// Generated and parsed on first use, then kept until the program ends. Not
// const: a selection starts from a non-const element (it never changes the tree).
TDocuments& Documents()
{
    static TDocuments documents;
    return documents;
}

// One selected element as the checks compare it: its name and its "id".
std::string Signature(std::string_view name, std::string_view id)
{
    return std::string(name) + "#" + std::string(id);
}

using TSignatures = std::vector<std::string>;

TSignatures ExpectedSignatures(const TQuery& query, const TqelXMLNode2& root)
{
    TSignatures signatures;
    std::vector<const TqelXMLNode2*> pending{&root};
    while (!pending.empty()) {
        const TqelXMLNode2* element = pending.back();
        pending.pop_back();
        if (query.Holds(*element)) signatures.push_back(Signature(element->Name, element->GetAttribute("id")));
        for (int i = element->Children.Count() - 1; i >= 0; --i) pending.push_back(element->Children[i]);
    }
    return signatures;
}

// The selection of this engine; raises EVariantError as Select does.
TSignatures BrindleSignatures(const TQuery& query, TqelXMLNode2& root)
{
    TqelXPathParser2 parser;
    parser.SetExpression(query.Expression);
    TqelNodeRefList list;
    parser.Select(&root, list, false);
    TSignatures signatures;
    for (const TqelXMLNode2* element : list) signatures.push_back(Signature(element->Name, element->GetAttribute("id")));
    return signatures;
}

TSignatures PugixmlSignatures(const TQuery& query, const pugi::xml_document& document)
{
    const pugi::xpath_node_set nodes = document.select_nodes(std::string(query.XPath).c_str());
    TSignatures signatures;
    for (const pugi::xpath_node& node : nodes)
        signatures.push_back(Signature(node.node().name(), node.node().attribute("id").value()));
    return signatures;
}

TSignatures StandardSignatures(const TQuery& query, TqelXMLParser2& document)
{
    const TStandardXPathDocument copy(document);
    TSignatures signatures;
    for (const TqelXMLNode2* element : copy.Evaluate(query.XPath, nullptr).Elements)
        signatures.push_back(Signature(element->Name, element->GetAttribute("id")));
    return signatures;
}

TSignatures Libxml2Signatures(const TQuery& query, xmlDoc* document)
{
    TSignatures signatures;
    std::unique_ptr<xmlXPathContext, TXPathContextDeleter> context(xmlXPathNewContext(document));
    const TXPathObject result(xmlXPathEval(BAD_CAST std::string(query.XPath).c_str(), context.get()));
    if (!result || result->nodesetval == nullptr) return signatures;
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
        xmlNode* node = result->nodesetval->nodeTab[i];
        const std::unique_ptr<xmlChar, TXmlCharDeleter> id(xmlGetProp(node, BAD_CAST "id"));
        signatures.push_back(Signature(reinterpret_cast<const char*>(node->name),
                                       id ? reinterpret_cast<const char*>(id.get()) : ""));
    }
    return signatures;
}

// "" when the three implementations select what the condition in C++ selects;
// otherwise what differs. Computed once per query.
const std::string& CheckQuery(const TQuery& query)
{
    static std::map<const TQuery*, std::string> checked;
    const auto found = checked.find(&query);
    if (found != checked.end()) return found->second;

    std::string& error = checked[&query];
    TDocuments& documents = Documents();
    if (!documents.Error.empty()) return error = documents.Error;
    TqelXMLParser2& root = documents.Brindle;
    const TSignatures expected = ExpectedSignatures(query, root);
    if (expected.empty()) return error = "the condition selects nothing in the document";
    TSignatures brindle;
    try {
        brindle = BrindleSignatures(query, root);
    } catch (const EVariantError& failure) {
        return error = std::string("brindle selection failed: ") + failure.what();
    }
    const std::pair<std::string_view, TSignatures> results[] = {
        {"brindle", brindle},
        {"pugixml", PugixmlSignatures(query, documents.Pugixml)},
        {"libxml2", Libxml2Signatures(query, documents.Libxml2.get())},
        {"brindle XPath 1.0", StandardSignatures(query, documents.Brindle)},
    };
    for (const auto& [name, signatures] : results) {
        if (signatures != expected) {
            error = std::string(name) + " selects " + std::to_string(signatures.size()) + " elements";
            error += signatures.size() == expected.size() ? ", not the expected ones"
                                                          : "; expected " + std::to_string(expected.size());
            return error;
        }
    }
    return error;
}

// False after skipping the benchmark when the query's selections disagree.
bool Checked(benchmark::State& state, const TQuery& query)
{
    const std::string& error = CheckQuery(query);
    if (error.empty()) return true;
    state.SkipWithError(error.c_str());
    return false;
}

void ReportCounters(benchmark::State& state, std::size_t selected)
{
    state.counters["elements_per_second"] =
        benchmark::Counter(static_cast<double>(Documents().Source.Elements) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["selected"] = static_cast<double>(selected);
}

void BenchBrindle(benchmark::State& state, const TQuery& query)
{
    if (!Checked(state, query)) return;
    TqelXMLParser2& root = Documents().Brindle;
    TqelXPathParser2 parser;
    parser.SetExpression(query.Expression);
    TqelNodeRefList list;
    for (auto _ : state) {
        list.clear();
        parser.Select(&root, list, false);
        benchmark::DoNotOptimize(list.data());
    }
    ReportCounters(state, list.size());
}

void BenchPugixml(benchmark::State& state, const TQuery& query)
{
    if (!Checked(state, query)) return;
    const pugi::xml_document& document = Documents().Pugixml;
    const pugi::xpath_query compiled(std::string(query.XPath).c_str());
    std::size_t selected = 0;
    for (auto _ : state) {
        const pugi::xpath_node_set nodes = compiled.evaluate_node_set(document);
        selected = nodes.size();
        benchmark::DoNotOptimize(selected);
    }
    ReportCounters(state, selected);
}

void BenchLibxml2(benchmark::State& state, const TQuery& query)
{
    if (!Checked(state, query)) return;
    const std::unique_ptr<xmlXPathCompExpr, TXPathCompDeleter> compiled(
        xmlXPathCompile(BAD_CAST std::string(query.XPath).c_str()));
    const std::unique_ptr<xmlXPathContext, TXPathContextDeleter> context(
        xmlXPathNewContext(Documents().Libxml2.get()));
    std::size_t selected = 0;
    for (auto _ : state) {
        const TXPathObject result(xmlXPathCompiledEval(compiled.get(), context.get()));
        selected = result && result->nodesetval != nullptr ? static_cast<std::size_t>(result->nodesetval->nodeNr) : 0;
        benchmark::DoNotOptimize(selected);
    }
    ReportCounters(state, selected);
}

void BenchStandardXPath(benchmark::State& state, const TQuery& query)
{
    if (!Checked(state, query)) return;
    const TStandardXPathDocument copy(Documents().Brindle);
    std::size_t selected = 0;
    for (auto _ : state) {
        const TStandardXPathResult result = copy.Evaluate(query.XPath, nullptr);
        selected = result.Elements.size();
        benchmark::DoNotOptimize(selected);
    }
    ReportCounters(state, selected);
}

void BenchStandardXPathFirst(benchmark::State& state, const TQuery& query)
{
    if (!Checked(state, query)) return;
    std::size_t selected = 0;
    for (auto _ : state) {
        const TStandardXPathDocument copy(Documents().Brindle);
        selected = copy.Evaluate(query.XPath, nullptr).Elements.size();
        benchmark::DoNotOptimize(selected);
    }
    ReportCounters(state, selected);
}

void BenchStandardXPathCopy(benchmark::State& state)
{
    if (!Documents().Error.empty()) {
        state.SkipWithError(Documents().Error.c_str());
        return;
    }
    for (auto _ : state) {
        const TStandardXPathDocument copy(Documents().Brindle);
        benchmark::DoNotOptimize(copy.ElementCount());
    }
}

bool RegisterSelectBenchmarks()
{
    using TBench = void (*)(benchmark::State&, const TQuery&);
    const std::pair<std::string_view, TBench> implementations[] = {
        {"brindle", &BenchBrindle},
        {"pugixml", &BenchPugixml},
        {"libxml2", &BenchLibxml2},
    };
    for (const TQuery& query : KQueries) {
        for (const auto& [name, bench] : implementations) {
            const std::string title = "select/" + std::string(name) + "/" + std::string(query.Name);
            benchmark::RegisterBenchmark(title.c_str(),
                                         [bench = bench, &query](benchmark::State& state) { bench(state, query); })
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const TQuery& query : KQueries) {
        if (query.Name == "lower-like") continue;
        const std::string title = "xpath/brindle/" + std::string(query.Name);
        benchmark::RegisterBenchmark(title.c_str(), [&query](benchmark::State& state) { BenchStandardXPath(state, query); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((title + "/first").c_str(),
                                     [&query](benchmark::State& state) { BenchStandardXPathFirst(state, query); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("xpath/brindle/copy", &BenchStandardXPathCopy)->Unit(benchmark::kMillisecond);
    return true;
}

[[maybe_unused]] const bool KRegistered = RegisterSelectBenchmarks();

}  // namespace

}  // namespace brindle::bench
