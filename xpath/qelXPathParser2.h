#pragma once
// Compiled expressions as selections and tests, and the per-document cache of them.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/qelXMLParser2.h"
#include "xpath/qelXPathExpression2.h"

// One compiled expression with its selection walk and Boolean test.
class TqelXPathParser2 {
public:
    std::unique_ptr<TqelXPathExpression2> Expression;  // owned

    TqelXPathParser2();
    TqelXPathParser2(const TqelXPathParser2&) = delete;
    TqelXPathParser2& operator=(const TqelXPathParser2&) = delete;
    virtual ~TqelXPathParser2();

    // Compiles text after turning "&lt;", "&gt;" and "!=" into "<", ">" and "<>"
    // everywhere, string literals included.
    void SetExpression(std::string_view text);
    // Appends node and the elements below it, in document order, for which the
    // expression is true; below a match nothing is visited when stopAtMatch is set.
    // A result that is no Boolean raises EVariantError and ends the walk there; the
    // list keeps what was appended. Never clears the list.
    void Select(TqelXMLNode2* node, TqelNodeRefList& list, bool stopAtMatch);
    // The expression at node converted to a Boolean; raises EVariantError like Select.
    bool Test(TqelXMLNode2* node);
};

// Expression texts, exactly as given, each with its compiled expression; owns the
// compiled expressions. Entries stay in the order they were added.
class TqelXPathParserList2 {
public:
    TqelXPathParserList2() = default;
    TqelXPathParserList2(const TqelXPathParserList2&) = delete;
    TqelXPathParserList2& operator=(const TqelXPathParserList2&) = delete;
    ~TqelXPathParserList2() { Clear(); }

    int Count() const { return static_cast<int>(FEntries.size()); }
    const std::string& Strings(int index) const { return FEntries[static_cast<std::size_t>(index)].first; }
    TqelXPathParser2* Objects(int index) const { return FEntries[static_cast<std::size_t>(index)].second.get(); }
    // Position of the exact text (letter case included), or -1.
    int IndexOf(std::string_view text) const;
    // Appends an entry; returns its position.
    int AddObject(std::string text, std::unique_ptr<TqelXPathParser2> parser);
    // Destroys the compiled expressions in index order and empties the list.
    void Clear();

private:
    std::vector<std::pair<std::string, std::unique_ptr<TqelXPathParser2>>> FEntries;
};

// The deleter the document's PathCache is made with.
void DestroyXPathParserList(TqelXPathParserList2* list);
