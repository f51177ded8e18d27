// Starting a transformation and choosing templates by pattern and by name.

#include <algorithm>

#include "xpath/qelXPathParser2.h"
#include "xslt/qelXSLTransform.h"

namespace {
constexpr std::string_view LineBreak = "\r\n";

// Starts a transformation with an empty output buffer and releases the buffer
// when it ends, by an error too.
class TTransformRun {
public:
    explicit TTransformRun(TqelXMLParser2& stylesheet) : FStylesheet(stylesheet) { FStylesheet.ResetOutput(); }
    TTransformRun(const TTransformRun&) = delete;
    TTransformRun& operator=(const TTransformRun&) = delete;
    ~TTransformRun()
    {
        std::string().swap(FStylesheet.OutBuffer);
        FStylesheet.OutCapacity = FStylesheet.OutLength = FStylesheet.OutCursor = 0;
    }

private:
    TqelXMLParser2& FStylesheet;
};
}  // namespace

void TqelXMLNode2::TransformWith(TqelXMLParser2& stylesheet, std::string& result)
{
    stylesheet.TransformNode(this, result);
}

void TqelXMLParser2::TransformNode(TqelXMLNode2* node, std::string& text)
{
    text.clear();
    TTransformRun run(*this);
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
    OutBuffer.resize(OutLength);
    text = std::move(OutBuffer);
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

    for (TqelXMLNode2* element : selected) {
        // The entry template is never a candidate; the first template whose
        // pattern, selected afresh from the context, holds the element wins.
        for (std::size_t t = 1; t < templates.size(); ++t) {
            TqelXMLNode2* candidate = templates[t];
            if (candidate->Children.Count() == 0) continue;
            TqelNodeRefList matches;
            context->SelectNodes(*this, matches, false, candidate->GetAttribute("match"));
            if (std::find(matches.begin(), matches.end(), element) == matches.end()) continue;
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
