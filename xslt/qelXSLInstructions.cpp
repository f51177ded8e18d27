// The nodes of a template body: literal result elements, "xsl:element" and the
// xsl instructions. Output is text, written in the order it is produced, with a
// line break and indentation before every start tag and nothing escaped but the
// quote of an attribute value that holds both kinds, and the decoded text of
// documents and stylesheets read in the standard reading.

#include <algorithm>

#include "core/SourceMarkup.h"
#include "core/StackSpace.h"
#include "core/qelStrings.h"
#include "xpath/Variant.h"
#include "xpath/qelXPathParser2.h"
#include "xslt/qelXSLTransform.h"

// Counts one level of template bodies and instructions for as long as it lives.
class TTransformDepthGuard {
public:
    explicit TTransformDepthGuard(TqelXMLParser2& stylesheet) : FStylesheet(stylesheet)
    {
        if (++FStylesheet.FTransformDepth > MaxTransformDepth || StackSpaceLow()) {
            --FStylesheet.FTransformDepth;
            throw ETransformError("The transformation stopped: templates and instructions nest too deeply (at most " +
                                  std::to_string(MaxTransformDepth) +
                                  " levels). Does a template apply itself to the same element?");
        }
    }
    TTransformDepthGuard(const TTransformDepthGuard&) = delete;
    TTransformDepthGuard& operator=(const TTransformDepthGuard&) = delete;
    ~TTransformDepthGuard() { --FStylesheet.FTransformDepth; }

private:
    TqelXMLParser2& FStylesheet;
};

namespace {

constexpr std::string_view LineBreak = "\r\n";

// Appends a blank, the name, "=" and the value between the quote it does not hold
// (see AttributeQuote). A value that holds both has that quote written inside as a
// reference, which HTML decodes; with escape, "&", "<" and ">" are escaped too.
void AppendHtmlAttribute(TqelXMLParser2& output, std::string_view name, std::string_view value, bool escape)
{
    const char quote = AttributeQuote(value);
    const std::string_view quoteText(&quote, 1);
    const std::string_view reference = quote == '"' ? "&quot;" : "&#39;";
    output.AppendOutput(" ");
    output.AppendOutput(name);
    output.AppendOutput("=");
    output.AppendOutput(quoteText);
    if (escape) {
        std::string escaped;
        AppendEscaped(escaped, value, 0, false);
        output.AppendOutput(ReplaceAll(escaped, quoteText, reference));
    } else if (value.find(quote) != std::string_view::npos)
        output.AppendOutput(ReplaceAll(value, quoteText, reference));
    else
        output.AppendOutput(value);
    output.AppendOutput(quoteText);
}

// Appends a line break and the indentation of level (two blanks a level).
void AppendLineIndent(TqelXMLParser2& output, int level)
{
    static constexpr std::string_view blanks = "                                                                ";
    output.AppendOutput(LineBreak);
    for (auto count = 2 * static_cast<std::size_t>(std::max(level, 0)); count > 0;) {
        const std::size_t part = std::min(count, blanks.size());
        output.AppendOutput(blanks.substr(0, part));
        count -= part;
    }
}

}  // namespace

void EvaluateCompiled(TqelXPathParser2& parser, TqelXMLNode2* context, Variant& result)
{
    TqelXPathExpression2& compiled = *parser.Expression;
    compiled.SetNode(context);
    compiled.Evaluate(result);
}

void TqelXMLParser2::EvaluateFor(const std::string& expression, TqelXMLNode2* context, Variant& result)
{
    EvaluateCompiled(GetXPathParser(expression), context, result);
}

void TqelXMLParser2::EvaluateAttribute(const std::string& value, TqelXMLNode2* context, Variant& result)
{
    auto [entry, added] = FAttributeExpressions.try_emplace(&value, nullptr);
    if (added) entry->second = &GetXPathParser(value);
    EvaluateCompiled(*entry->second, context, result);
}

void TqelXMLParser2::ProcessNode(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates)
{
    TTransformDepthGuard depth(*this);
    const int level = IndentLevel;
    std::string computedName;
    std::string_view name = node->Name;
    bool literal = false;
    if (node->Name == "xsl:element") {
        computedName = node->GetAttribute("name");
        if (computedName.empty()) return;
        if (computedName.front() == '{') {
            if (computedName.size() < 2 || computedName.back() != '}') return;
            Variant value;
            EvaluateFor(computedName.substr(1, computedName.size() - 2), context, value);
            if (value.IsNull()) return;
            computedName = value.ToText();
        }
        name = computedName;
    } else if (node->Prefix == "xsl") {
        ExecuteInstruction(node, context, templates);
        return;
    } else
        literal = true;

    AppendLineIndent(*this, level);
    AppendOutput("<");
    AppendOutput(name);
    if (literal)
        for (const auto& attribute : node->Attributes)
            AppendHtmlAttribute(*this, attribute->Name, attribute->Value, FEscapeLiterals);
    const bool hasChildren = node->Children.Count() > 0;
    if (!hasChildren && node->Text.empty()) {
        AppendOutput("/>");
        return;
    }
    // The tail of the start tag waits while "xsl:attribute" children may still add to it.
    std::string pending = ">";
    if (FEscapeLiterals)
        AppendEscaped(pending, node->Text, 0, false);
    else if (node->NeedsCData)
        pending = "><![CDATA[" + node->Text + "]]>";
    else
        pending += node->Text;
    bool pendingWritten = false;
    auto writePending = [&] {
        if (!pendingWritten) AppendOutput(pending);
        pendingWritten = true;
    };
    if (!hasChildren) {
        writePending();
        AppendOutput("</");
        AppendOutput(name);
        AppendOutput(">");
        return;
    }
    ++IndentLevel;
    for (const auto& child : node->Children) {
        if (child->Name != "xsl:attribute") writePending();
        ProcessNode(child.get(), context, templates);
    }
    writePending();
    AppendLineIndent(*this, level);
    AppendOutput("</");
    AppendOutput(name);
    AppendOutput(">");
    --IndentLevel;
}

void TqelXMLParser2::ExecuteInstruction(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates)
{
    using THandler = void (TqelXMLParser2::*)(TqelXMLNode2*, TqelXMLNode2*, const TqelNodeRefList&);
    static const std::pair<std::string_view, THandler> handlers[] = {
        {"xsl:value-of", &TqelXMLParser2::XslValueOf},
        {"xsl:call-template", &TqelXMLParser2::XslCallTemplate},
        {"xsl:apply-templates", &TqelXMLParser2::XslApplyTemplates},
        {"xsl:if", &TqelXMLParser2::XslIf},
        {"xsl:attribute", &TqelXMLParser2::XslAttribute},
        {"xsl:choose", &TqelXMLParser2::XslChoose},
        {"xsl:for-each", &TqelXMLParser2::XslForEach},
        {"xsl:comment", &TqelXMLParser2::XslComment},
    };
    for (const auto& [instruction, handler] : handlers) {
        if (node->Name == instruction) {
            (this->*handler)(node, context, templates);
            return;
        }
    }
}

bool TqelXMLParser2::ValueOfText(const TqelXMLNode2* node, TqelXMLNode2* context, Variant& value, std::string_view& text)
{
    const std::string& select = node->GetAttribute("select");
    if (select.empty()) return false;
    if (select == ".") {
        text = context->Text;
        return true;
    }
    EvaluateAttribute(select, context, value);
    if (value.IsNull()) return false;
    if (value.Kind() != vkText) value = Variant::FromText(value.ToText());
    text = value.TextValue();
    return true;
}

void TqelXMLParser2::XslValueOf(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList&)
{
    Variant value;
    std::string_view text;
    if (ValueOfText(node, context, value, text)) AppendOutputText(text, FEscapeValues);
}

void TqelXMLParser2::AppendOutputText(std::string_view text, bool escape)
{
    if (!escape) return AppendOutput(text);
    std::string escaped;
    AppendEscaped(escaped, text, 0, false);
    AppendOutput(escaped);
}

void TqelXMLParser2::XslIf(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates)
{
    const std::string& test = node->GetAttribute("test");
    if (test.empty() || node->Children.Count() == 0) return;
    Variant value;
    EvaluateAttribute(test, context, value);
    if (!value.ToBoolean()) return;
    for (const auto& child : node->Children) ProcessNode(child.get(), context, templates);
}

void TqelXMLParser2::XslChoose(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates)
{
    auto runChildren = [&](const TqelXMLNode2* branch) {
        for (const auto& child : branch->Children) ProcessNode(child.get(), context, templates);
    };
    for (const auto& branch : node->Children) {
        if (branch->Name == "xsl:otherwise") {
            runChildren(branch.get());
            return;
        }
        if (branch->Name != "xsl:when") continue;
        const std::string& test = branch->GetAttribute("test");
        if (test.empty() || branch->Children.Count() == 0) continue;
        Variant value;
        EvaluateAttribute(test, context, value);
        if (value.ToBoolean()) {
            runChildren(branch.get());
            return;
        }
    }
}

void TqelXMLParser2::XslForEach(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates)
{
    const std::string& select = node->GetAttribute("select");
    if (select.empty() || node->Children.Count() == 0) return;
    TqelNodeRefList selected;
    context->SelectNodes(*this, selected, false, select);
    for (TqelXMLNode2* element : selected) {
        for (const auto& child : node->Children) ProcessNode(child.get(), element, templates);
        AppendOutput(LineBreak);
    }
}

void TqelXMLParser2::XslAttribute(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList&)
{
    if (node->Children.Count() == 0)
        AppendHtmlAttribute(*this, node->GetAttribute("name"), node->Text, FEscapeLiterals);
    else if (node->Children[0]->Name == "xsl:value-of") {
        Variant value;
        std::string_view text;
        ValueOfText(node->Children[0], context, value, text);
        AppendHtmlAttribute(*this, node->GetAttribute("name"), text, FEscapeValues);
    } else
        AppendHtmlAttribute(*this, node->GetAttribute("name"), {}, false);
}

void TqelXMLParser2::XslComment(TqelXMLNode2* node, TqelXMLNode2*, const TqelNodeRefList&)
{
    AppendOutput("<!--");
    AppendOutput(node->Text);
    AppendOutput("-->");
}
