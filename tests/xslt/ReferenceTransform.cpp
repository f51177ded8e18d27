#include "ReferenceTransform.h"

#include <algorithm>

#include "xpath/Variant.h"
#include "xslt/qelXSLTransform.h"

namespace {

class TReference {
public:
    explicit TReference(TqelXMLParser2& stylesheet) : FStyle(stylesheet) {}

    std::string Run(TqelXMLNode2* node)
    {
        if (FStyle.Name != "xsl:stylesheet") return {};
        FStyle.SelectNodes(FStyle, FTemplates, false, "name='xsl:template'");
        if (FTemplates.empty()) return {};
        TqelXMLNode2* entry = FTemplates[0];
        const std::string match = entry->GetAttribute("match");
        TqelNodeRefList matched;
        if (match == ".")
            matched.push_back(node);
        else if (!match.empty())
            node->SelectNodes(FStyle, matched, false, match);
        for (TqelXMLNode2* element : matched)
            for (const auto& child : entry->Children) Process(child.get(), element);
        return FOut;
    }

private:
    void Process(TqelXMLNode2* node, TqelXMLNode2* context)
    {
        if (node->Prefix == "xsl") {
            if (node->Name == "xsl:value-of") {
                Variant value;
                FStyle.EvaluateFor(node->GetAttribute("select"), context, value);
                if (!value.IsNull()) FOut += value.ToText();
            } else if (node->Name == "xsl:if") {
                Variant value;
                FStyle.EvaluateFor(node->GetAttribute("test"), context, value);
                if (value.ToBoolean())
                    for (const auto& child : node->Children) Process(child.get(), context);
            } else if (node->Name == "xsl:apply-templates") {
                Apply(node, context);
            }
            return;
        }
        const std::string indent(2 * static_cast<std::size_t>(FLevel), ' ');
        FOut += "\r\n" + indent + "<" + node->Name;
        for (const auto& attribute : node->Attributes) FOut += " " + attribute->Name + "='" + attribute->Value + "'";
        if (node->Children.Count() == 0 && node->Text.empty()) {
            FOut += "/>";
            return;
        }
        FOut += ">" + node->Text;
        if (node->Children.Count() == 0) {
            FOut += "</" + node->Name + ">";
            return;
        }
        ++FLevel;
        for (const auto& child : node->Children) Process(child.get(), context);
        FOut += "\r\n" + indent + "</" + node->Name + ">";
        --FLevel;
    }

    void Apply(TqelXMLNode2* instruction, TqelXMLNode2* context)
    {
        const std::string select = instruction->GetAttribute("select");
        if (select.empty() || FTemplates.size() < 2) return;
        TqelNodeRefList selected;
        context->SelectNodes(FStyle, selected, false, select);
        const TqelXSLSortKeys keys = FStyle.ReadSortKeys(instruction);
        if (!keys.empty()) FStyle.SortNodes(selected, keys);
        for (TqelXMLNode2* element : selected) {
            for (std::size_t t = 1; t < FTemplates.size(); ++t) {
                TqelXMLNode2* candidate = FTemplates[t];
                if (candidate->Children.Count() == 0) continue;
                TqelNodeRefList matches;
                context->SelectNodes(FStyle, matches, false, candidate->GetAttribute("match"));
                if (std::find(matches.begin(), matches.end(), element) == matches.end()) continue;
                for (const auto& child : candidate->Children) Process(child.get(), element);
                FOut += "\r\n";
                break;
            }
        }
    }

    TqelXMLParser2& FStyle;
    TqelNodeRefList FTemplates;
    std::string FOut;
    int FLevel = 0;
};

}  // namespace

std::string ReferenceTransform(TqelXMLParser2& stylesheet, TqelXMLNode2* node)
{
    return TReference(stylesheet).Run(node);
}
