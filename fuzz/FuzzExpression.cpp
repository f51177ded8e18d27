// Expression compile and evaluation at every element of a small document, and a
// selection over it.

#include <cstdint>
#include <exception>

#include "FuzzSupport.h"
#include "core/TreeWalk.h"
#include "core/qelXMLParser2.h"
#include "xpath/Variant.h"
#include "xpath/qelXPathParser2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TqelXMLParser2* document = [] {
        static TqelXMLParser2 doc;
        doc.LoadFromText(FuzzDocumentText());
        return &doc;
    }();
    const std::string expression(reinterpret_cast<const char*>(data), size);
    TqelXPathParser2 parser;
    parser.SetExpression(expression);
    WalkPreOrder(static_cast<TqelXMLNode2*>(document), [&](TqelXMLNode2* node) {
        Variant value;
        parser.Expression->SetNode(node);
        parser.Expression->Evaluate(value);
        try {
            if (!value.IsNull()) (void)value.ToText();
        } catch (const std::exception&) {
        }
        return false;
    });
    TqelNodeRefList list;
    try {
        SelectNodesDirect(document, list, expression, size % 2 == 0);
    } catch (const std::exception&) {
    }
    return 0;
}
