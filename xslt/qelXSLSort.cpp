// Sorting the selections of "xsl:apply-templates" and "xsl:call-template".

#include "core/NumberText.h"
#include "xpath/Variant.h"
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

void TqelXMLParser2::SortNodes(TqelNodeRefList& list, const TqelXSLSortKeys& keys)
{
    if (list.size() > 1) QuickSort(list, 0, static_cast<int>(list.size()) - 1, keys);
}

// The order of elements with equal keys follows from exactly this partitioning.
// The recursion takes the smaller part and the loop the larger, so its depth
// stays logarithmic.
void TqelXMLParser2::QuickSort(TqelNodeRefList& list, int left, int right, const TqelXSLSortKeys& keys)
{
    do {
        int i = left;
        int j = right;
        int pivot = left + (right - left) / 2;  // a position: it follows its element
        do {
            // The bounds only matter for keys that change between evaluations
            // (an expression that assigns): the pivot stops a consistent scan.
            while (i < right && CompareNodes(list, i, pivot, keys) < 0) ++i;
            while (j > left && CompareNodes(list, pivot, j, keys) < 0) --j;
            if (i <= j) {
                std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(j)]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - left > right - i) {
            if (i < right) QuickSort(list, i, right, keys);
            right = j;
        } else {
            if (j > left) QuickSort(list, left, j, keys);
            left = i;
        }
    } while (left < right);
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
