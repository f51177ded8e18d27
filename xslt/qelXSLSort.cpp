// Sorting the selections of "xsl:apply-templates" and "xsl:call-template".

#include <algorithm>
#include <vector>

#include "core/NumberText.h"
#include "xpath/Variant.h"
#include "xpath/qelXPathParser2.h"
#include "xslt/TextCollation.h"
#include "xslt/qelXSLTransform.h"

double StrToFloatOrZero(std::string_view text)
{
    double value = 0;
    return TextToFloat(text, value) ? value : 0.0;
}

int CompareFloat(double a, double b)
{
    if (a == b) return 0;
    return a > b ? 1 : -1;
}

TqelXSLSortKeys TqelXMLParser2::ReadSortKeys(const TqelXMLNode2* instruction) const
{
    TqelXSLSortKeys keys;
    for (const auto& child : instruction->Children) {
        if (child->Name != "xsl:sort") continue;
        keys.push_back({child->GetAttribute("select"), child->GetAttribute("order") != "descending",
                        child->GetAttribute("data-type") == "number"});
    }
    return keys;
}

namespace {

// The partitioning of the sort: the order of elements with equal keys follows
// from exactly these exchanges. compare(i, j) compares the entries at positions i
// and j; exchange(i, j) swaps them. The recursion takes the smaller part and the
// loop the larger, so its depth stays logarithmic.
template <class Compare, class Exchange>
void QuickSortPositions(int left, int right, Compare& compare, Exchange& exchange)
{
    do {
        int i = left;
        int j = right;
        int pivot = left + (right - left) / 2;  // a position: it follows its element
        do {
            // The bounds only matter for keys that change between evaluations
            // (an expression that assigns): the pivot stops a consistent scan.
            while (i < right && compare(i, pivot) < 0) ++i;
            while (j > left && compare(pivot, j) < 0) --j;
            if (i <= j) {
                exchange(i, j);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - left > right - i) {
            if (i < right) QuickSortPositions(i, right, compare, exchange);
            right = j;
        } else {
            if (j > left) QuickSortPositions(left, j, compare, exchange);
            left = i;
        }
    } while (left < right);
}

}  // namespace

void TqelXMLParser2::SortNodes(TqelNodeRefList& list, const TqelXSLSortKeys& keys)
{
    if (list.size() < 2) return;
    const int last = static_cast<int>(list.size()) - 1;
    auto exchangeNodes = [&list](int i, int j) { std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(j)]); };

    // A key that assigns may give another value at every evaluation: such keys are
    // evaluated afresh for every comparison. Any other key gives the same value for
    // an element every time, so each is evaluated once per element; the comparisons
    // and therefore the order are the same.
    const bool assigns = std::any_of(keys.begin(), keys.end(), [this](const TqelXSLSort& key) {
        const auto& program = GetXPathParser(key.KeyExpression).Expression->Postfix;
        return std::any_of(program.begin(), program.end(), [](const auto& token) { return token->Op == opAssign; });
    });
    if (assigns) {
        auto compare = [&](int i, int j) { return CompareNodes(list, i, j, keys); };
        QuickSortPositions(0, last, compare, exchangeNodes);
        return;
    }

    // Each key is evaluated once per element and kept as the comparison reads it:
    // a number for a numeric key, a text for any other. An element's numbers and
    // texts are rows of their own arrays, exchanged with the element, so that a
    // sort by numbers alone moves no text.
    const std::size_t keyCount = keys.size();
    std::vector<TqelXPathParser2*> compiled;
    std::vector<std::size_t> column;  // of each key in its row
    std::size_t numberCount = 0;
    std::size_t textCount = 0;
    for (const TqelXSLSort& key : keys) {
        compiled.push_back(&GetXPathParser(key.KeyExpression));
        column.push_back(key.Numeric ? numberCount++ : textCount++);
    }
    std::vector<double> numbers(list.size() * numberCount);
    std::vector<std::string> texts(list.size() * textCount);
    for (std::size_t e = 0; e < list.size(); ++e) {
        for (std::size_t k = 0; k < keyCount; ++k) {
            Variant result;
            EvaluateCompiled(*compiled[k], list[e], result);
            std::string text = result.IsNull() ? list[e]->Name : result.ToText();
            if (keys[k].Numeric)
                numbers[e * numberCount + column[k]] = StrToFloatOrZero(text);
            else
                texts[e * textCount + column[k]] = std::move(text);
        }
    }
    auto compare = [&](int i, int j) {
        const auto first = static_cast<std::size_t>(i);
        const auto second = static_cast<std::size_t>(j);
        for (std::size_t k = 0; k < keyCount; ++k) {
            const std::size_t a = keys[k].Ascending ? first : second;
            const std::size_t b = keys[k].Ascending ? second : first;
            const std::size_t c = column[k];
            const int result = keys[k].Numeric
                                   ? CompareFloat(numbers[a * numberCount + c], numbers[b * numberCount + c])
                                   : CollateText(texts[a * textCount + c], texts[b * textCount + c]);
            if (result != 0) return result;
        }
        return 0;
    };
    auto exchangeRows = [](auto& rows, std::size_t width, int i, int j) {
        const auto row = [&rows, width](int e) {
            return rows.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(e) * width);
        };
        std::swap_ranges(row(i), row(i + 1), row(j));
    };
    auto exchange = [&](int i, int j) {
        exchangeNodes(i, j);
        exchangeRows(numbers, numberCount, i, j);
        exchangeRows(texts, textCount, i, j);
    };
    QuickSortPositions(0, last, compare, exchange);
}

int TqelXMLParser2::CompareNodes(const TqelNodeRefList& list, int i, int j, const TqelXSLSortKeys& keys)
{
    TqelXMLNode2* a = list[static_cast<std::size_t>(i)];
    TqelXMLNode2* b = list[static_cast<std::size_t>(j)];
    auto keyText = [this](const TqelXSLSort& key, TqelXMLNode2* node) {
        Variant value;
        EvaluateFor(key.KeyExpression, node, value);
        return value.IsNull() ? node->Name : value.ToText();
    };
    for (const TqelXSLSort& key : keys) {
        const std::string textA = keyText(key, a);
        const std::string textB = keyText(key, b);
        const std::string& first = key.Ascending ? textA : textB;
        const std::string& second = key.Ascending ? textB : textA;
        const int result = key.Numeric ? CompareFloat(StrToFloatOrZero(first), StrToFloatOrZero(second))
                                       : CollateText(first, second);
        if (result != 0) return result;
    }
    return 0;
}
