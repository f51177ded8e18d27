// The functions that read the context element ("hasattribute", "haschild") and
// the XEL variables ("assign", "get"), with the variable lookup.

#include "core/qelXMLParser2.h"
#include "xpath/qelXPathExpression2.h"

namespace {

bool HasChildNamed(const TqelXMLNode2& node, const std::string& name)
{
    for (const auto& child : node.Children)
        if (child->Name == name) return true;
    return false;
}

}  // namespace

// Scope is lexical: the "xel:var" children of the nearest enclosing "xel:function",
// then of each further enclosing function, and last of the nearest "xel:program"
// above the outermost function found (or above this element). The first child
// whose "id" equals the name decides; it counts only when it is an "xel:var".
TqelXMLNode2* TqelXMLNode2::FindXelVariable(std::string_view name) const
{
    const TqelXMLNode2* x = this;
    for (;;) {
        const TqelXMLNode2* scope = x->FindAncestor("xel:function");
        const bool last = scope == nullptr;
        if (last) scope = x->FindAncestor("xel:program");
        if (scope == nullptr) return nullptr;
        TqelXMLNode2* variable = scope->FindById(name, false);
        if (variable != nullptr && variable->Name == "xel:var") return variable;
        if (last) return nullptr;
        x = scope;
    }
}

void TqelXPathExpression2::ExecuteNodeFunction(TTokenOp op)
{
    switch (op) {
    case opHasAttribute:
    case opHasChild: {
        const std::string name = PopText();
        bool found = false;
        if (Node != nullptr) found = op == opHasAttribute ? Node->HasAttribute(name) : HasChildNamed(*Node, name);
        Push(Variant::FromBoolean(found));
        break;
    }
    case opAssign: {
        const Variant value = Pop();
        const std::string name = PopText();
        TqelXMLNode2* variable = Node != nullptr ? Node->FindXelVariable(name) : nullptr;
        if (variable != nullptr) variable->SetText(value.ToText());
        Push(Variant::FromBoolean(variable != nullptr));
        break;
    }
    case opGet: {
        const std::string name = PopText();
        const TqelXMLNode2* variable = Node != nullptr ? Node->FindXelVariable(name) : nullptr;
        Push(Variant::FromText(variable != nullptr ? variable->Text : std::string()));
        break;
    }
    default:
        break;
    }
}
