// Stylesheet transformations of this engine and libxslt, side by side in one
// run, named transform/<implementation>/<stylesheet>/<document>.
//
// Each stylesheet exists twice: in this engine's dialect, where a selection is
// a condition tested at every element of the context's subtree, and in standard
// XSLT, selecting the items by a location path. Both write the same HTML shape:
// html, body, a table and one row of seven cells per item.
//
// Only the transformation is timed: the documents are generated and parsed, and
// the stylesheets read, before the timing starts. The time covers producing the
// result as one text and releasing it again; for libxslt that is the result
// tree, its serialisation and both releases. Before any timing, both outputs of
// a stylesheet and document are checked to hold the same rows: one per item,
// the same item numbers in the same order (ascending or descending as the
// stylesheet asks) and the same number of rows marked by the second template.
//
// The standard stylesheet also runs through this engine's XSLT 1.0
// (xslt/brindle/...): the document's text is written from the engine's tree and
// handed over, libxslt parses it, reads the stylesheet file, transforms and
// serialises, all timed. Its like-for-like peer (xslt/libxslt/...) parses the
// same text and transforms with the compiled stylesheet.
//
// Bytes and items processed are those of the input document. The length of the
// result text is reported as the counter "output".

#include "bench/TransformBench.h"

#include "bench/DocumentGenerator.h"
#include "core/qelXMLParser2.h"
#include "core/qelStrings.h"
#include "standard/StandardXslt.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::bench {

namespace {

constexpr std::size_t KRecordsBytes = 10u * 1024u * 1024u;
constexpr std::size_t KLargeRecordsBytes = 10u * KRecordsBytes;
// A run of the large document takes seconds; a fixed count keeps the whole
// benchmark short and still averages over several runs.
constexpr int KLargeIterations = 3;

// A generated document; the large one is made only when a benchmark needs it.
struct TSource {
    std::string_view Name;
    const TGeneratedDocument& (*Document)();
    int Iterations;  // 0: as many as the benchmark library chooses
};

const TGeneratedDocument& Records()
{
    static const TGeneratedDocument document = GenerateRecords(KRecordsBytes);
    return document;
}

const TGeneratedDocument& LargeRecords()
{
    static const TGeneratedDocument document = GenerateRecords(KLargeRecordsBytes);
    return document;
}

const TSource KRecordsSource = {"records", &Records, 0};
const TSource KLargeRecordsSource = {"records-10x", &LargeRecords, KLargeIterations};

// Items of a records document: the root and six elements per item.
std::size_t ItemCount(const TGeneratedDocument& document) { return (document.Elements - 1) / 6; }

// One stylesheet in both languages, and the order of the item numbers in the
// rows it writes.
struct TStylesheet {
    std::string_view Name;
    const char* Brindle;
    const char* Libxslt;
    bool Descending;
    bool MarksBooks;  // a second template writes the rows of books with class "book"
};

// One row per item, in document order.
const TStylesheet KForEach = {
    "for-each",
    R"(<xsl:stylesheet>
  <xsl:template match=".">
    <html>
      <body>
        <table>
          <xsl:for-each select="name='item'">
            <tr>
              <td><xsl:value-of select="@id"/></td>
              <td><xsl:value-of select="@kind"/></td>
              <td><xsl:value-of select="child::name"/></td>
              <td><xsl:value-of select="child::price"/></td>
              <td><xsl:value-of select="child::quantity"/></td>
              <td><xsl:value-of select="child::date"/></td>
              <td><xsl:value-of select="child::note"/></td>
            </tr>
          </xsl:for-each>
        </table>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
)",
    R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" indent="yes"/>
  <xsl:template match="/">
    <html>
      <body>
        <table>
          <xsl:for-each select="records/item">
            <tr>
              <td><xsl:value-of select="@id"/></td>
              <td><xsl:value-of select="@kind"/></td>
              <td><xsl:value-of select="name"/></td>
              <td><xsl:value-of select="price"/></td>
              <td><xsl:value-of select="quantity"/></td>
              <td><xsl:value-of select="date"/></td>
              <td><xsl:value-of select="note"/></td>
            </tr>
          </xsl:for-each>
        </table>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
)",
    false,
    false,
};

// The items sorted by number, highest first, each written by the first of two
// templates that accepts it: books by one, every other item by the other. In
// this engine's dialect the first template in the stylesheet wins; in standard
// XSLT the predicate gives the book template the higher priority.
//
// The standard stylesheet applies its templates to the items' kind attributes
// and writes each row from the attribute's parent. The plainer form, templates
// matching item[@kind='book'] and item, makes libxslt's time grow with the
// square of the items once they are sorted in descending order (close to two
// CPU minutes for the 10 MB document, against a few hundredths of a second on a
// 2 MB one in ascending order): a predicate in a pattern tested on an element
// costs it a walk over the element's siblings. Tested on an attribute it costs
// no such walk.
const TStylesheet KSortedTemplates = {
    "sorted-templates",
    R"(<xsl:stylesheet>
  <xsl:template match=".">
    <html>
      <body>
        <table>
          <xsl:apply-templates select="name='item'">
            <xsl:sort select="@id" data-type="number" order="descending"/>
          </xsl:apply-templates>
        </table>
      </body>
    </html>
  </xsl:template>
  <xsl:template match="name='item' and @kind='book'">
    <tr class="book">
      <td><xsl:value-of select="@id"/></td>
      <td><xsl:value-of select="@kind"/></td>
      <td><xsl:value-of select="child::name"/></td>
      <td><xsl:value-of select="child::price"/></td>
      <td><xsl:value-of select="child::quantity"/></td>
      <td><xsl:value-of select="child::date"/></td>
      <td><xsl:value-of select="child::note"/></td>
    </tr>
  </xsl:template>
  <xsl:template match="name='item'">
    <tr>
      <td><xsl:value-of select="@id"/></td>
      <td><xsl:value-of select="@kind"/></td>
      <td><xsl:value-of select="child::name"/></td>
      <td><xsl:value-of select="child::price"/></td>
      <td><xsl:value-of select="child::quantity"/></td>
      <td><xsl:value-of select="child::date"/></td>
      <td><xsl:value-of select="child::note"/></td>
    </tr>
  </xsl:template>
</xsl:stylesheet>
)",
    R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" indent="yes"/>
  <xsl:template match="/">
    <html>
      <body>
        <table>
          <xsl:apply-templates select="records/item/@kind">
            <xsl:sort select="../@id" data-type="number" order="descending"/>
          </xsl:apply-templates>
        </table>
      </body>
    </html>
  </xsl:template>
  <xsl:template match="@kind[.='book']">
    <tr class="book">
      <td><xsl:value-of select="../@id"/></td>
      <td><xsl:value-of select="."/></td>
      <td><xsl:value-of select="../name"/></td>
      <td><xsl:value-of select="../price"/></td>
      <td><xsl:value-of select="../quantity"/></td>
      <td><xsl:value-of select="../date"/></td>
      <td><xsl:value-of select="../note"/></td>
    </tr>
  </xsl:template>
  <xsl:template match="@kind">
    <tr>
      <td><xsl:value-of select="../@id"/></td>
      <td><xsl:value-of select="."/></td>
      <td><xsl:value-of select="../name"/></td>
      <td><xsl:value-of select="../price"/></td>
      <td><xsl:value-of select="../quantity"/></td>
      <td><xsl:value-of select="../date"/></td>
      <td><xsl:value-of select="../note"/></td>
    </tr>
  </xsl:template>
</xsl:stylesheet>
)",
    true,
    true,
};

// A stylesheet as each implementation holds it, read once per process.
class TCompiledStylesheet {
public:
    explicit TCompiledStylesheet(const TStylesheet& stylesheet)
    {
        Brindle.LoadFromText(stylesheet.Brindle);
        if (!Brindle.LastError.empty()) {
            Error = "the stylesheet does not parse: " + Brindle.LastError;
            return;
        }
        const std::string_view text = stylesheet.Libxslt;
        xmlDoc* document = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, 0);
        if (document == nullptr) {
            Error = "libxml2 does not parse the stylesheet";
            return;
        }
        Libxslt = xsltParseStylesheetDoc(document);  // owns document from here on
        if (Libxslt == nullptr) {
            xmlFreeDoc(document);
            Error = "libxslt does not compile the stylesheet";
        }
    }
    TCompiledStylesheet(const TCompiledStylesheet&) = delete;
    TCompiledStylesheet& operator=(const TCompiledStylesheet&) = delete;
    ~TCompiledStylesheet()
    {
        if (Libxslt != nullptr) xsltFreeStylesheet(Libxslt);
    }

    TqelXMLParser2 Brindle;
    xsltStylesheet* Libxslt = nullptr;  // owned
    std::string Error;
};

TCompiledStylesheet& Compiled(const TStylesheet& stylesheet)
{
    static std::map<std::string_view, std::unique_ptr<TCompiledStylesheet>> compiled;
    auto& entry = compiled[stylesheet.Name];
    if (!entry) entry = std::make_unique<TCompiledStylesheet>(stylesheet);
    return *entry;
}

// The trees of one document for both implementations. Only the document last
// asked for is held, so the large one's trees replace the small one's.
class TParsedSource {
public:
    explicit TParsedSource(const TSource& source) : Name(source.Name)
    {
        const TGeneratedDocument& document = source.Document();
        Brindle = std::make_unique<TqelXMLParser2>();
        Brindle->LoadFromText(document.Text);
        if (!Brindle->LastError.empty()) {
            Error = "the document does not parse: " + Brindle->LastError;
            return;
        }
        Libxml2 = xmlReadMemory(document.Text.data(), static_cast<int>(document.Text.size()), nullptr, nullptr, 0);
        if (Libxml2 == nullptr) Error = "libxml2 does not parse the document";
    }
    // Holds a libxml2 tree read by the caller (owned from here on), without the engine's tree.
    TParsedSource(const TSource& source, xmlDoc* libxml2) : Name(source.Name), Libxml2(libxml2) {}
    TParsedSource(const TParsedSource&) = delete;
    TParsedSource& operator=(const TParsedSource&) = delete;
    ~TParsedSource()
    {
        if (Libxml2 != nullptr) xmlFreeDoc(Libxml2);
    }

    std::string_view Name;
    std::unique_ptr<TqelXMLParser2> Brindle;  // owned
    xmlDoc* Libxml2 = nullptr;                // owned
    std::string Error;
};

TParsedSource& Parsed(const TSource& source)
{
    static std::unique_ptr<TParsedSource> parsed;
    if (!parsed || parsed->Name != source.Name) {
        parsed.reset();
        parsed = std::make_unique<TParsedSource>(source);
    }
    return *parsed;
}

// Transforms with this engine; returns the length of the result, copied when
// copy is given.
std::size_t TransformBrindle(TCompiledStylesheet& stylesheet, TParsedSource& source, std::string* copy)
{
    std::string text;
    source.Brindle->TransformWith(stylesheet.Brindle, text);
    if (copy != nullptr) *copy = text;
    return text.size();
}

// Transforms with libxslt and serialises the result as its output element asks;
// returns the length of the text, copied when copy is given, or -1 on failure.
long long TransformLibxslt(TCompiledStylesheet& stylesheet, TParsedSource& source, std::string* copy)
{
    xmlDoc* result = xsltApplyStylesheet(stylesheet.Libxslt, source.Libxml2, nullptr);
    if (result == nullptr) return -1;
    xmlChar* text = nullptr;
    int length = 0;
    const int saved = xsltSaveResultToString(&text, &length, result, stylesheet.Libxslt);
    if (copy != nullptr && saved == 0 && text != nullptr)
        copy->assign(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    xmlFree(text);
    xmlFreeDoc(result);
    return saved == 0 ? length : -1;
}

// What the table rows of an HTML text say: the number in the first cell of each
// row, and how many rows carry the class "book".
struct TRows {
    std::vector<std::uint64_t> Numbers;
    std::size_t Books = 0;
};

TRows ReadRows(std::string_view html)
{
    TRows rows;
    std::size_t at = 0;
    while ((at = html.find("<tr", at)) != std::string_view::npos) {
        at += 3;
        if (at >= html.size() || (html[at] != '>' && html[at] != ' ')) continue;
        const std::size_t tagEnd = html.find('>', at);
        if (tagEnd == std::string_view::npos) break;
        if (html.substr(at, tagEnd - at).find("book") != std::string_view::npos) ++rows.Books;
        std::size_t cell = html.find("<td", tagEnd);
        if (cell != std::string_view::npos) cell = html.find('>', cell);
        if (cell == std::string_view::npos) break;
        ++cell;
        while (cell < html.size() && (html[cell] == ' ' || html[cell] == '\r' || html[cell] == '\n')) ++cell;
        std::uint64_t number = 0;
        for (; cell < html.size() && html[cell] >= '0' && html[cell] <= '9'; ++cell)
            number = number * 10 + static_cast<std::uint64_t>(html[cell] - '0');
        rows.Numbers.push_back(number);
        at = tagEnd;
    }
    return rows;
}

// "" when a row list is what the stylesheet writes for the document: one row per
// item, numbered 1 to the item count in the stylesheet's order, with books marked
// only where the stylesheet marks them; otherwise what is wrong.
std::string CheckRows(const TRows& rows, const TStylesheet& stylesheet, std::size_t items, std::string_view who)
{
    const std::string prefix = std::string(who) + ": ";
    if (rows.Numbers.size() != items)
        return prefix + std::to_string(rows.Numbers.size()) + " rows for " + std::to_string(items) + " items";
    for (std::size_t i = 0; i < items; ++i) {
        const std::uint64_t expected = stylesheet.Descending ? items - i : i + 1;
        if (rows.Numbers[i] != expected)
            return prefix + "row " + std::to_string(i + 1) + " holds item " + std::to_string(rows.Numbers[i]) +
                   ", not " + std::to_string(expected);
    }
    if (stylesheet.MarksBooks != (rows.Books > 0))
        return prefix + std::to_string(rows.Books) + " rows marked as books";
    return "";
}

// "" when both implementations write the same rows for the stylesheet and
// document, otherwise what differs. Checked once per pair and process.
const std::string& Verify(const TStylesheet& stylesheet, const TSource& source)
{
    static std::map<std::pair<std::string_view, std::string_view>, std::string> verdicts;
    const auto key = std::make_pair(stylesheet.Name, source.Name);
    const auto known = verdicts.find(key);
    if (known != verdicts.end()) return known->second;
    std::string& verdict = verdicts[key];

    TCompiledStylesheet& compiled = Compiled(stylesheet);
    TParsedSource& parsed = Parsed(source);
    if (!compiled.Error.empty() || !parsed.Error.empty()) {
        verdict = compiled.Error.empty() ? parsed.Error : compiled.Error;
        return verdict;
    }
    const std::size_t items = ItemCount(source.Document());
    std::string brindleText;
    try {
        TransformBrindle(compiled, parsed, &brindleText);
    } catch (const std::exception& error) {
        verdict = std::string("brindle failed: ") + error.what();
        return verdict;
    }
    const TRows brindleRows = ReadRows(brindleText);
    brindleText = std::string();
    std::string libxsltText;
    if (TransformLibxslt(compiled, parsed, &libxsltText) < 0) {
        verdict = "libxslt failed";
        return verdict;
    }
    const TRows libxsltRows = ReadRows(libxsltText);
    verdict = CheckRows(brindleRows, stylesheet, items, "brindle");
    if (verdict.empty()) verdict = CheckRows(libxsltRows, stylesheet, items, "libxslt");
    if (verdict.empty() && brindleRows.Books != libxsltRows.Books)
        verdict = "rows marked as books: brindle " + std::to_string(brindleRows.Books) + ", libxslt " +
                  std::to_string(libxsltRows.Books);
    return verdict;
}

void BenchTransform(benchmark::State& state, bool brindle, const TStylesheet& stylesheet, const TSource& source)
{
    const std::string& verdict = Verify(stylesheet, source);
    if (!verdict.empty()) {
        state.SkipWithError(("outputs differ or fail: " + verdict).c_str());
        return;
    }
    TCompiledStylesheet& compiled = Compiled(stylesheet);
    TParsedSource& parsed = Parsed(source);
    long long length = 0;
    if (brindle) {
        for (auto _ : state) {
            length = static_cast<long long>(TransformBrindle(compiled, parsed, nullptr));
            benchmark::DoNotOptimize(length);
        }
    } else {
        for (auto _ : state) {
            length = TransformLibxslt(compiled, parsed, nullptr);
            benchmark::DoNotOptimize(length);
        }
    }
    const TGeneratedDocument& document = source.Document();
    const auto iterations = static_cast<std::int64_t>(state.iterations());
    state.SetBytesProcessed(iterations * static_cast<std::int64_t>(document.Text.size()));
    state.SetItemsProcessed(iterations * static_cast<std::int64_t>(ItemCount(document)));
    state.counters["output"] = static_cast<double>(length);
}

// The standard stylesheet as a file, as the engine's XSLT 1.0 reads it.
const std::string& StylesheetFile(const TStylesheet& stylesheet)
{
    static std::map<std::string_view, std::string> files;
    std::string& file = files[stylesheet.Name];
    if (file.empty()) {
        file = "/tmp/brindle-bench-" + std::string(stylesheet.Name) + ".xsl";
        WriteFileText(file, std::string(stylesheet.Libxslt));
    }
    return file;
}

void BenchStandardXslt(benchmark::State& state, bool brindle, const TStylesheet& stylesheet, const TSource& source)
{
    const std::string& verdict = Verify(stylesheet, source);
    if (!verdict.empty()) {
        state.SkipWithError(("outputs differ or fail: " + verdict).c_str());
        return;
    }
    TParsedSource& parsed = Parsed(source);
    const TGeneratedDocument& document = source.Document();
    TStandardXsltRequest request;
    request.StylesheetFile = StylesheetFile(stylesheet);
    std::string output;
    try {
        request.DocumentText = parsed.Brindle->GetXMLText();
        const std::string checked = CheckRows(ReadRows(TransformStandardXslt(request).Output), stylesheet,
                                              ItemCount(document), "brindle XSLT 1.0");
        if (!checked.empty()) {
            state.SkipWithError(checked.c_str());
            return;
        }
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    const std::string& text = document.Text;
    TCompiledStylesheet& compiled = Compiled(stylesheet);
    for (auto _ : state) {
        if (brindle) {
            request.DocumentText = parsed.Brindle->GetXMLText();
            output = TransformStandardXslt(request).Output;
        } else {
            xmlDoc* input = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, 0);
            TParsedSource fromText(source, input);
            TransformLibxslt(compiled, fromText, &output);
        }
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    state.counters["output"] = static_cast<double>(output.size());
}

}  // namespace

void RegisterTransformBenchmarks()
{
    struct TCase {
        const TStylesheet& Stylesheet;
        const TSource& Source;
    };
    // The large document only for the sorted templates: the scaling of sorting
    // and template matching is what it measures.
    static const TCase cases[] = {
        {KForEach, KRecordsSource},
        {KSortedTemplates, KRecordsSource},
        {KSortedTemplates, KLargeRecordsSource},
    };
    for (const TCase& run : cases) {
        for (const bool brindle : {true, false}) {
            const std::string name = std::string("transform/") + (brindle ? "brindle/" : "libxslt/") +
                                      std::string(run.Stylesheet.Name) + "/" + std::string(run.Source.Name);
            auto* benchmark = benchmark::RegisterBenchmark(name.c_str(), [brindle, &run](benchmark::State& state) {
                BenchTransform(state, brindle, run.Stylesheet, run.Source);
            });
            benchmark->Unit(benchmark::kMillisecond);
            if (run.Source.Iterations > 0) benchmark->Iterations(run.Source.Iterations);
        }
    }
    for (const bool brindle : {true, false}) {
        const std::string name = std::string("xslt/") + (brindle ? "brindle/" : "libxslt/") + std::string(KForEach.Name) + "/" +
                                  std::string(KRecordsSource.Name);
        benchmark::RegisterBenchmark(name.c_str(), [brindle](benchmark::State& state) {
            BenchStandardXslt(state, brindle, KForEach, KRecordsSource);
        })->Unit(benchmark::kMillisecond);
    }
}

}  // namespace brindle::bench
