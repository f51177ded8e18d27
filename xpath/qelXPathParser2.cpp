#include "xpath/qelXPathParser2.h"

#include "core/qelStrings.h"

TqelXPathParser2::TqelXPathParser2() : Expression(std::make_unique<TqelXPathExpression2>()) {}

TqelXPathParser2::~TqelXPathParser2() = default;

void TqelXPathParser2::SetExpression(std::string_view text)
{
    std::string replaced = ReplaceAll(text, "&lt;", "<");
    replaced = ReplaceAll(replaced, "&gt;", ">");
    replaced = ReplaceAll(replaced, "!=", "<>");
    Expression->SetExpression(replaced);
}

bool TqelXPathParser2::Test(TqelXMLNode2* node)
{
    Expression->SetNode(node);
    Variant result;
    Expression->Evaluate(result);
    return result.ToBoolean();
}

void TqelXPathParser2::Select(TqelXMLNode2* node, TqelNodeRefList& list, bool stopAtMatch)
{
    // Pre-order walk with an explicit stack, so that the depth of the tree never
    // reaches the call stack. Each level remembers its element, the number of
    // children taken when the element was visited and the next child to visit.
    struct TLevel {
        TqelXMLNode2* Element;
        int ChildCount;
        int NextChild;
    };
    std::vector<TLevel> levels;
    TqelXMLNode2* current = node;
    for (;;) {
        if (current != nullptr) {
            const bool matches = Test(current);
            if (matches) list.push_back(current);
            if (!(matches && stopAtMatch)) levels.push_back({current, current->Children.Count(), 0});
        }
        current = nullptr;
        while (!levels.empty() && levels.back().NextChild >= levels.back().ChildCount) levels.pop_back();
        if (levels.empty()) return;
        TLevel& level = levels.back();
        current = level.Element->Children[level.NextChild++];
    }
}

int TqelXPathParserList2::IndexOf(std::string_view text) const
{
    for (std::size_t i = 0; i < FEntries.size(); ++i)
        if (FEntries[i].first == text) return static_cast<int>(i);
    return -1;
}

int TqelXPathParserList2::AddObject(std::string text, std::unique_ptr<TqelXPathParser2> parser)
{
    FEntries.emplace_back(std::move(text), std::move(parser));
    return Count() - 1;
}

void TqelXPathParserList2::Clear()
{
    for (auto& entry : FEntries) entry.second.reset();
    FEntries.clear();
}

void DestroyXPathParserList(TqelXPathParserList2* list)
{
    std::unique_ptr<TqelXPathParserList2> owned(list);
}

TqelXPathParser2& TqelXMLParser2::GetXPathParser(const std::string& expression)
{
    if (!PathCache)
        PathCache = {std::make_unique<TqelXPathParserList2>().release(), &DestroyXPathParserList};
    const int index = PathCache->IndexOf(expression);
    if (index >= 0) return *PathCache->Objects(index);
    auto parser = std::make_unique<TqelXPathParser2>();
    parser->SetExpression(expression);
    return *PathCache->Objects(PathCache->AddObject(expression, std::move(parser)));
}

void TqelXMLNode2::SelectNodes(TqelXMLParser2& document, TqelNodeRefList& list, bool stopAtMatch,
                               std::string_view expression)
{
    document.GetXPathParser(std::string(expression)).Select(this, list, stopAtMatch);
}

void SelectNodesDirect(TqelXMLNode2* start, TqelNodeRefList& list, std::string_view expression, bool stopAtMatch)
{
    TqelXPathParser2 parser;
    parser.SetExpression(expression);
    parser.Select(start, list, stopAtMatch);
}
