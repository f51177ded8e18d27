#include "XPathTestSupport.h"

#include <vector>

#include "xpath/qelXPathParser2.h"

std::string Describe(const Variant& value)
{
    if (value.IsNull()) return "Null";
    return std::string(VarKindName(value.Kind())) + ": " + value.ToText();
}

std::string Expected(std::string_view kind, std::string_view text)
{
    if (kind == "Null") return "Null";
    return std::string(kind) + ": " + std::string(text);
}

Variant EvaluateAt(std::string_view expression, TqelXMLNode2* node)
{
    TqelXPathParser2 parser;
    parser.SetExpression(expression);
    parser.Expression->SetNode(node);
    Variant result;
    parser.Expression->Evaluate(result);
    return result;
}

std::string DescribeAt(std::string_view expression, TqelXMLNode2* node)
{
    return Describe(EvaluateAt(expression, node));
}

std::unique_ptr<TqelXMLParser2> ParseDocument(const std::string& text)
{
    auto document = std::make_unique<TqelXMLParser2>();
    document->LoadFromText(text);
    EXPECT_EQ(document->LastError, "") << text;
    return document;
}

TqelXMLNode2* ElementAt(TqelXMLNode2& root, int index)
{
    std::vector<TqelXMLNode2*> pending{&root};
    while (!pending.empty()) {
        TqelXMLNode2* node = pending.back();
        pending.pop_back();
        if (index-- == 0) return node;
        for (int i = node->Children.Count() - 1; i >= 0; --i) pending.push_back(node->Children[i]);
    }
    ADD_FAILURE() << "no element at that index";
    return nullptr;
}

void CheckValues(std::initializer_list<TValueCase> cases, TqelXMLNode2* node)
{
    for (const auto& c : cases) CHECK_VALUE_AT(node, c.Expression, c.Kind, c.Text);
}
