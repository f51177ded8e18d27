// Running a compiled expression: the value stack, the operands that read the
// context element, and the operators.

#include "core/qelStrings.h"
#include "core/qelXMLParser2.h"
#include "xpath/VariantOps.h"
#include "xpath/qelXPathExpression2.h"

bool MatchesLike(std::string_view value, std::string_view pattern)
{
    if (pattern.find('%') == std::string_view::npos) return SameText(value, pattern);
    const bool leading = pattern.front() == '%';
    const bool trailing = pattern.back() == '%';
    if (leading && trailing) {
        // A lone "%" is both ends; an empty middle matches nothing.
        const std::string_view middle = pattern.size() < 2 ? std::string_view() : pattern.substr(1, pattern.size() - 2);
        return FindTextFrom(middle, value, 1) > 0;
    }
    if (trailing) {
        const std::string_view head = pattern.substr(0, pattern.size() - 1);
        return value.size() >= head.size() && SameText(value.substr(0, head.size()), head);
    }
    if (leading) {
        const std::string_view tail = pattern.substr(1);
        return value.size() >= tail.size() && SameText(value.substr(value.size() - tail.size()), tail);
    }
    return false;
}

bool InList(std::string_view item, std::string_view list)
{
    auto enclosed = [](std::string_view text) {
        std::string result;
        result.reserve(text.size() + 2);
        result += ',';
        result += text;
        result += ',';
        return result;
    };
    return enclosed(list).find(enclosed(item)) != std::string::npos;
}

void TqelXPathExpression2::Push(Variant value)
{
    if (StackCount >= StackSize) throw EExpressionError("Expression stack overflow");
    Stack[static_cast<std::size_t>(StackCount)] = std::move(value);
    ++StackCount;
}

Variant TqelXPathExpression2::Pop()
{
    if (StackCount == 0) return Variant::Null();
    --StackCount;
    return std::move(Stack[static_cast<std::size_t>(StackCount)]);
}

void TqelXPathExpression2::Evaluate(Variant& result)
{
    result = Variant::Null();
    if (Postfix.empty()) return;
    StackCount = 0;
    try {
        for (CurrentIndex = 0; CurrentIndex < Postfix.size(); ++CurrentIndex) Execute(Postfix[CurrentIndex]->Op);
        result = Pop();
    } catch (...) {
        // Every failure inside the program, whatever raised it, makes the result Null.
        result = Variant::Null();
    }
}

void TqelXPathExpression2::Execute(TTokenOp op)
{
    switch (op) {
    case opString:
    case opNumber:
    case opAttribute:
    case opWord:
    case opName:
    case opValue:
    case opParentName:
    case opChildCount:
    case opAxis:
    case opNamespace:
    case opBaseName:
    case opNamespaceURI:
        PushOperand(op);
        break;
    case opEQ:
    case opNE:
    case opGT:
    case opGE:
    case opLT:
    case opLE:
    case opAdd:
    case opSub:
    case opMul:
    case opDiv:
    case opAnd:
    case opOr:
    case opNot:
    case opLike:
    case opIn:
        ExecuteOperator(op);
        break;
    case opLower:
    case opUpper:
    case opTrim:
    case opSoundex:
    case opLeft:
    case opRight:
    case opMid:
    case opSubstrAfter:
    case opSubstrBefore:
    case opFormat:
    case opLength:
    case opTrunc:
    case opReplace:
        ExecuteTextFunction(op);
        break;
    case opSin:
    case opCos:
    case opSqr:
    case opSqrt:
    case opAsNumber:
    case opParseFloat:
    case opCeil:
    case opFloor:
    case opIsNumeric:
        ExecuteNumberFunction(op);
        break;
    case opAsDate:
    case opIsDate:
    case opYear:
    case opMonth:
    case opDay:
    case opEaster:
    case opWeekNumber:
    case opDateAdd:
        ExecuteDateFunction(op);
        break;
    case opHasAttribute:
    case opHasChild:
    case opAssign:
    case opGet:
        ExecuteNodeFunction(op);
        break;
    case opComma:
    case opOpen:
    case opClose:
    case opHash:
        break;
    }
}

void TqelXPathExpression2::PushOperand(TTokenOp op)
{
    const TToken& token = CurrentToken();
    const TqelXMLNode2* node = Node;
    switch (op) {
    case opString:
    case opNumber:
        Push(token.Value);
        break;
    case opAttribute: {
        Variant value;
        bool handled = false;
        if (OnGetAttribute) OnGetAttribute(*this, token.Text, value, handled);
        Push(handled ? std::move(value) : Variant::FromText(token.Text));
        break;
    }
    case opName:
        Push(Variant::FromText(node ? node->Name : std::string()));
        break;
    case opValue:
        Push(Variant::FromText(node ? node->Text : std::string()));
        break;
    case opParentName:
        Push(Variant::FromText(node && node->Parent ? node->Parent->Name : std::string()));
        break;
    case opChildCount:
        Push(Variant::FromInteger(node ? node->Children.Count() : 0));
        break;
    case opNamespace:
        Push(Variant::FromText(node ? node->Prefix : std::string()));
        break;
    case opBaseName: {
        std::string name = node ? node->Name : std::string();
        const auto colon = name.find(':');
        Push(Variant::FromText(colon == std::string::npos ? name : name.substr(colon + 1)));
        break;
    }
    case opNamespaceURI:
        Push(Variant::FromText(node ? node->GetNamespaceURI() : std::string()));
        break;
    case opAxis:
        Push(AxisValue(token.Text));
        break;
    default:
        // A plain word pushes nothing.
        break;
    }
}

// axis "::" name ["@" attribute]: the text (or the attribute) of the first child of
// that name ("child") or of the parent ("parent", the name is ignored).
Variant TqelXPathExpression2::AxisValue(const std::string& text) const
{
    const auto separator = text.find("::");
    const std::string_view axis = std::string_view(text).substr(0, separator);
    const std::string_view step = std::string_view(text).substr(separator + 2);
    const auto at = step.find('@');
    const std::string_view name = step.substr(0, at);
    const std::string_view attribute = at == std::string_view::npos ? std::string_view() : step.substr(at + 1);

    const TqelXMLNode2* target = nullptr;
    if (Node != nullptr) {
        if (axis == "child")
            target = Node->FindChild(name, false);
        else if (axis == "parent")
            target = Node->Parent;
    }
    if (target == nullptr) return Variant::FromText("");
    return Variant::FromText(attribute.empty() ? target->Text : target->GetAttribute(attribute));
}

void TqelXPathExpression2::ExecuteOperator(TTokenOp op)
{
    if (op == opNot) {
        Push(VariantNot(Pop()));
        return;
    }
    const Variant right = Pop();
    const Variant left = Pop();
    switch (op) {
    case opEQ: Push(VariantCompare(coEQ, left, right)); break;
    case opNE: Push(VariantCompare(coNE, left, right)); break;
    case opLT: Push(VariantCompare(coLT, left, right)); break;
    case opLE: Push(VariantCompare(coLE, left, right)); break;
    case opGT: Push(VariantCompare(coGT, left, right)); break;
    case opGE: Push(VariantCompare(coGE, left, right)); break;
    case opAdd: Push(VariantArith(aoAdd, left, right)); break;
    case opSub: Push(VariantArith(aoSub, left, right)); break;
    case opMul: Push(VariantArith(aoMul, left, right)); break;
    case opDiv: Push(VariantArith(aoDiv, left, right)); break;
    case opAnd: Push(VariantLogic(loAnd, left, right)); break;
    case opOr: Push(VariantLogic(loOr, left, right)); break;
    case opLike: Push(Variant::FromBoolean(MatchesLike(left.ToText(), right.ToText()))); break;
    case opIn: Push(Variant::FromBoolean(InList(left.ToText(), right.ToText()))); break;
    default: break;
    }
}
