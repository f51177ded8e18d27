// Starting a transformation and choosing templates by pattern and by name.

#include <algorithm>
#include <optional>
#include <vector>

#include "xpath/qelXPathParser2.h"
#include "xslt/BooleanPattern.h"
#include "xslt/qelXSLTransform.h"

namespace {
constexpr std::string_view LineBreak = "\r\n";

// The elements a template's pattern selects from one context, kept while no text
// of any document has changed since they were selected. A pattern that gives a
// Boolean at every element is tested at the element alone: the elements it would
// select are those of the context's subtree where it holds, and every element
// asked about lies in that subtree.
class TMatchCache {
public:
    explicit TMatchCache(std::size_t templates) : FEntries(templates) {}

    // True when element, which lies in context's subtree, is among the matches of
    // template t (the element candidate) selected from context; selects them when
    // there is no valid earlier selection.
    bool Matches(TqelXMLParser2& stylesheet, TqelXMLNode2* context, std::size_t t, const TqelXMLNode2& candidate,
                 TqelXMLNode2* element)
    {
        std::optional<TEntry>& entry = FEntries[t];
        if (entry && entry->Tested) return entry->Tested->Test(element);
        if (!entry || !entry->Reusable || entry->Revision != TextRevision()) {
            const std::string& match = candidate.GetAttribute("match");
            TqelXPathParser2& pattern = stylesheet.GetXPathParser(match);
            entry.emplace();
            if (GivesBooleanEverywhere(*pattern.Expression)) {
                entry->Tested = &pattern;
                return pattern.Test(element);
            }
            TqelNodeRefList matches;
            const unsigned long long before = TextRevision();
            context->SelectNodes(stylesheet, matches, false, match);
            entry->Members.assign(matches.begin(), matches.end());
            std::sort(entry->Members.begin(), entry->Members.end());
            entry->Revision = TextRevision();
            // A pattern that itself changes texts is selected afresh every time.
            entry->Reusable = before == entry->Revision;
        }
        return std::binary_search(entry->Members.begin(), entry->Members.end(), element);
    }

private:
    struct TEntry {
        TqelXPathParser2* Tested = nullptr;        // set when the pattern is tested element by element
        std::vector<const TqelXMLNode2*> Members;  // by address
        unsigned long long Revision = 0;
        bool Reusable = false;
    };
    std::vector<std::optional<TEntry>> FEntries;
};

}  // namespace

void TqelXMLNode2::TransformWith(TqelXMLParser2& stylesheet, std::string& result)
{
    stylesheet.TransformNode(this, result);
}

void TqelXMLParser2::TransformNode(TqelXMLNode2* node, std::string& text)
{
    auto run = [this, node] {
        if (Name != "xsl:stylesheet" || !node) return;
        TqelNodeRefList templates;
        SelectNodes(*this, templates, false, "name='xsl:template'");
        if (templates.empty()) return;

        TqelXMLNode2* entry = templates[0];
        const std::string& match = entry->GetAttribute("match");
        TqelNodeRefList matched;
        if (match == ".")
            matched.push_back(node);
        else if (!match.empty())
            node->SelectNodes(*this, matched, false, match);
        if (entry->Children.Count() > 0) {
            for (TqelXMLNode2* element : matched)
                for (const auto& child : entry->Children) ProcessNode(child.get(), element, templates);
        }
    };
    text.clear();
    ResetOutput();
    const std::size_t reserved = FLastOutputLength;
    if (reserved > 0) ReserveOutput(reserved);
    FAttributeExpressions.clear();
    const TqelXMLNode2* top = node;
    while (top && top->Parent) top = top->Parent;
    const auto* document = node && node->Document ? node->Document : dynamic_cast<const TqelXMLParser2*>(top);
    FEscapeValues = document && document->Reading() == TqelXMLReading::Standard;
    FEscapeLiterals = Reading() == TqelXMLReading::Standard;
    try {
        run();
    } catch (...) {
        FAttributeExpressions.clear();
        std::string discarded;
        TakeOutput(discarded);  // the buffer is released; text stays empty
        throw;
    }
    FAttributeExpressions.clear();
    FLastOutputLength = OutLength;
    TakeOutput(text);
    // A much shorter output than the last one gives back what it does not use.
    if (reserved > text.size() + GrowBy) text.shrink_to_fit();
}

void TqelXMLParser2::XslApplyTemplates(TqelXMLNode2* instruction, TqelXMLNode2* context,
                                       const TqelNodeRefList& templates)
{
    const std::string& select = instruction->GetAttribute("select");
    if (select.empty() || templates.size() < 2) return;
    TqelNodeRefList selected;
    context->SelectNodes(*this, selected, false, select);
    if (selected.empty()) return;
    const TqelXSLSortKeys keys = ReadSortKeys(instruction);
    if (!keys.empty()) SortNodes(selected, keys);

    // The entry template is never a candidate; the first template whose pattern,
    // selected from the context, holds the element wins. Each pattern is selected
    // when it is first needed and again only after a text has changed.
    TMatchCache cache(templates.size());
    for (TqelXMLNode2* element : selected) {
        for (std::size_t t = 1; t < templates.size(); ++t) {
            TqelXMLNode2* candidate = templates[t];
            if (candidate->Children.Count() == 0) continue;
            if (!cache.Matches(*this, context, t, *candidate, element)) continue;
            for (const auto& child : candidate->Children) ProcessNode(child.get(), element, templates);
            AppendOutput(LineBreak);
            break;
        }
    }
}

void TqelXMLParser2::XslCallTemplate(TqelXMLNode2* instruction, TqelXMLNode2* context,
                                     const TqelNodeRefList& templates)
{
    const std::string& name = instruction->GetAttribute("name");
    if (name.empty() || templates.empty()) return;
    const auto found = std::find_if(templates.begin(), templates.end(),
                                    [&name](const TqelXMLNode2* t) { return t->GetAttribute("name") == name; });
    if (found == templates.end() || (*found)->Children.Count() == 0) return;
    TqelXMLNode2* called = *found;
    TqelNodeRefList selected;
    context->SelectNodes(*this, selected, false, called->GetAttribute("match"));
    if (selected.empty()) return;
    const TqelXSLSortKeys keys = ReadSortKeys(instruction);
    if (!keys.empty()) SortNodes(selected, keys);
    for (TqelXMLNode2* element : selected) {
        for (const auto& child : called->Children) ProcessNode(child.get(), element, templates);
        AppendOutput(LineBreak);
    }
}
