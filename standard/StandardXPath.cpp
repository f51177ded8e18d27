#include "standard/StandardXPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <pugixml.hpp>

#include "core/TreeWalk.h"
#include "xpath/Variant.h"

namespace {

// Comments, processing instructions and blank text between tags are nodes of
// the XPath data model, so the copy keeps them.
constexpr unsigned KParseOptions =
    pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_ws_pcdata;

std::string NumberText(double value)
{
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    return Variant::FromDouble(value).ToText();
}

}  // namespace

std::string TStandardXPathResult::ValueLine() const
{
    switch (Kind) {
    case TKind::Number: return "Double: " + NumberText(Number);
    case TKind::Text: return "Text: " + Text;
    case TKind::Boolean: return Boolean ? "Boolean: True" : "Boolean: False";
    case TKind::Elements: break;
    }
    return {};
}

struct TStandardXPathDocument::TCopy {
    TqelXMLParser2& Document;
    std::string Text;  // parsed in place: the copy's names and values point into it
    pugi::xml_document Tree;
    std::vector<TqelXMLNode2*> Elements;       // the document's elements in document order (not owned)
    std::vector<pugi::xml_node> CopyElements;  // the copy's elements, paired by position
    // Where the name of each element of the copy is held, in the same order. The
    // text is parsed in place, so these addresses grow in document order and an
    // element's position is found by a binary search.
    std::vector<const char*> Names;

    explicit TCopy(TqelXMLParser2& document) : Document(document) {}

    std::uint32_t PositionOf(const pugi::xml_node& element) const
    {
        const auto found = std::lower_bound(Names.begin(), Names.end(), element.name());
        return static_cast<std::uint32_t>(found - Names.begin());
    }
};

TStandardXPathDocument::TStandardXPathDocument(TqelXMLParser2& document) : FCopy(std::make_unique<TCopy>(document))
{
    std::string& text = FCopy->Text;
    text = document.GetXMLText();
    // A classic document holds its file's bytes as they are, and so does the copy;
    // a standard one holds UTF-8 and its text is in the file's encoding.
    const pugi::xml_encoding encoding =
        document.Reading() == TqelXMLReading::Standard ? pugi::encoding_auto : pugi::encoding_utf8;
    const pugi::xml_parse_result parsed =
        FCopy->Tree.load_buffer_inplace(text.data(), text.size(), KParseOptions, encoding);
    if (!parsed) {
        // The line of the offset, counted in the text handed over.
        const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0));
        const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text.size())), '\n');
        throw EStandardXPathError("The document's text is not well-formed XML (line " + std::to_string(line) + ": " +
                                  parsed.description() + "); XPath 1.0 needs well-formed XML.");
    }

    // The copy's elements in document order, with where each keeps its name: one
    // walk inside the library rather than a call out of it per step.
    struct TElementWalker : pugi::xml_tree_walker {
        TCopy& Copy;
        explicit TElementWalker(TCopy& copy) : Copy(copy) {}
        bool for_each(pugi::xml_node& node) override
        {
            if (node.type() == pugi::node_element) {
                Copy.CopyElements.push_back(node);
                Copy.Names.push_back(node.name());
            }
            return true;
        }
    } walker(*FCopy);
    FCopy->Tree.traverse(walker);
    // The document's elements are paired with the copy's in the same walk that
    // lists them, so that each element is read once.
    const std::vector<const char*>& names = FCopy->Names;
    std::vector<TqelXMLNode2*>& elements = FCopy->Elements;
    elements.reserve(names.size());
    const TqelXMLNode2* unpaired = WalkPreOrder(static_cast<TqelXMLNode2*>(&document), [&](TqelXMLNode2* node) {
        if (elements.size() == names.size() || node->Name != names[elements.size()]) return true;
        elements.push_back(node);
        return false;
    });
    const bool paired = !unpaired && elements.size() == names.size();
    if (!paired)
        throw EStandardXPathError(
            "The document's elements do not match those of its text (an entity stands for elements), so XPath 1.0 "
            "results cannot be shown as its elements.");
}

TStandardXPathDocument::~TStandardXPathDocument() = default;

std::size_t TStandardXPathDocument::ElementCount() const { return FCopy->Elements.size(); }

TStandardXPathResult TStandardXPathDocument::Evaluate(std::string_view expression, const TqelXMLNode2* context) const
{
    const std::string text(expression);
    std::unique_ptr<pugi::xpath_query> query;
    try {
        query = std::make_unique<pugi::xpath_query>(text.c_str());
    } catch (const pugi::xpath_exception& error) {
        throw EStandardXPathError("XPath 1.0: " + std::string(error.result().description()) + " at position " +
                                  std::to_string(error.result().offset + 1) + " of the expression");
    }

    pugi::xml_node start = FCopy->Tree;
    if (context) {
        const auto& elements = FCopy->Elements;
        const auto found = std::find(elements.begin(), elements.end(), context);
        if (found == elements.end()) throw EStandardXPathError("The context element is not in the document.");
        start = FCopy->CopyElements[static_cast<std::size_t>(found - elements.begin())];
    }

    TStandardXPathResult result;
    switch (query->return_type()) {
    case pugi::xpath_type_node_set: {
        const pugi::xpath_node_set nodes = query->evaluate_node_set(start);
        std::vector<std::uint32_t> positions;
        positions.reserve(nodes.size());
        for (const pugi::xpath_node& item : nodes) {
            // An attribute, a text or the document node stands for its element.
            pugi::xml_node node = item.attribute() ? item.parent() : item.node();
            while (node && node.type() != pugi::node_element) node = node.parent();
            if (!node) node = FCopy->Tree.document_element();
            positions.push_back(FCopy->PositionOf(node));
        }
        std::sort(positions.begin(), positions.end());
        positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
        result.Elements.reserve(positions.size());
        for (const std::uint32_t position : positions) result.Elements.push_back(FCopy->Elements[position]);
        break;
    }
    case pugi::xpath_type_number:
        result.Kind = TStandardXPathResult::TKind::Number;
        result.Number = query->evaluate_number(start);
        break;
    case pugi::xpath_type_string:
        result.Kind = TStandardXPathResult::TKind::Text;
        result.Text = query->evaluate_string(start);
        break;
    case pugi::xpath_type_boolean:
    case pugi::xpath_type_none:
        result.Kind = TStandardXPathResult::TKind::Boolean;
        result.Boolean = query->evaluate_boolean(start);
        break;
    }
    return result;
}
