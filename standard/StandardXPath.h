#pragma once
// XPath 1.0 over a document of the element tree. The expression runs on a copy
// of the text the document would be saved as (the lossless text of a standard
// document, the writer's text of a classic one), read by pugixml; element
// results are mapped back to the document's own elements by their position in
// document order. Names match as written: "//rect" finds the rect elements of
// a document with a default namespace, "svg:rect" those written with that prefix.

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/qelXMLParser2.h"

// An expression that does not compile, a copy that cannot be made or mapped:
// the text says what and, for an expression, where.
class EStandardXPathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What an XPath expression evaluates to. A node-set is given as the elements it
// holds or whose attributes or text it holds, in document order, each once.
struct TStandardXPathResult {
    enum class TKind { Elements, Number, Text, Boolean };
    TKind Kind = TKind::Elements;
    TqelNodeRefList Elements;
    double Number = 0;
    std::string Text;
    bool Boolean = false;
    // Number, text and Boolean results as the expression language prints its
    // values: "Double: 3", "Text: x", "Boolean: True". Empty for elements.
    std::string ValueLine() const;
};

class TStandardXPathDocument {
public:
    // Reads the copy of document's text. Raises EStandardXPathError when that text
    // is not well-formed or its elements do not pair with the document's (an
    // entity that stands for elements). The document must outlive the copy and
    // keep its elements while it is used.
    explicit TStandardXPathDocument(TqelXMLParser2& document);
    ~TStandardXPathDocument();
    TStandardXPathDocument(const TStandardXPathDocument&) = delete;
    TStandardXPathDocument& operator=(const TStandardXPathDocument&) = delete;

    // Evaluates expression with context (an element of the document; nullptr for
    // the document node) as the context node. Raises EStandardXPathError for an
    // expression that does not compile, naming its position (1-based).
    TStandardXPathResult Evaluate(std::string_view expression, const TqelXMLNode2* context) const;
    // The number of elements in the copy (and in the document).
    std::size_t ElementCount() const;

private:
    struct TCopy;
    std::unique_ptr<TCopy> FCopy;  // owned
};
