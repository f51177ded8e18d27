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

Variant& TqelXPathExpression2::PushSlot()
{
    if (StackCount >= StackSize) throw EExpressionError("Expression stack overflow");
    return Stack[static_cast<std::size_t>(StackCount++)];
}

void TqelXPathExpression2::Push(Variant value)
{
    PushSlot() = std::move(value);
}

Variant TqelXPathExpression2::Pop()
{
    if (StackCount == 0) return Variant::Null();
    --StackCount;
    Variant value = std::move(Stack[static_cast<std::size_t>(StackCount)]);
    value.Own();
    return value;
}

std::string TqelXPathExpression2::PopText()
{
    if (StackCount == 0) RaiseTypeConversion();
    --StackCount;
    return Stack[static_cast<std::size_t>(StackCount)].ToText();
}

void TqelXPathExpression2::Evaluate(Variant& result)
{
    result.SetNull();
    if (Postfix.empty()) return;
    StackCount = 0;
    FOwnAttributes = ReadsOwnAttributes();
    try {
        const std::size_t count = FSteps.size();
        const TStep* steps = FSteps.data();
        for (CurrentIndex = 0; CurrentIndex < count; ++CurrentIndex) {
            const TStep& step = steps[CurrentIndex];
            if (step.Logic != TTokenOp{} && LeavesOut(step))
                CurrentIndex = step.LogicIndex;  // the operator leaves the top value as it is
            else
                Execute(step.Op);
        }
        FOwnAttributes = false;
        // The top value, as Pop gives it, without a temporary.
        if (StackCount == 0) return;
        --StackCount;
        result = std::move(Stack[static_cast<std::size_t>(StackCount)]);
        result.Own();
    } catch (...) {
        // Every failure inside the program, whatever raised it, makes the result Null.
        FOwnAttributes = false;
        result.SetNull();
    }
}

bool TqelXPathExpression2::LeavesOut(const TStep& step) const
{
    // A Boolean False decides "and", True decides "or", when the right operand
    // gives a Boolean: that needs the attributes read from the element, and room
    // on the stack, as running it would overflow otherwise.
    if (StackCount == 0 || StackCount + step.Depth > StackSize) return false;
    if (step.ReadsAttributes && !FOwnAttributes) return false;
    const Variant& top = Stack[static_cast<std::size_t>(StackCount) - 1];
    return top.Kind() == vkBoolean && top.BooleanValue() == (step.Logic == opOr);
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

bool TqelXPathExpression2::ReadsOwnAttributes() const
{
    const auto* reader = OnGetAttribute.target<TElementAttributeReader>();
    return reader != nullptr && reader->Owner == this;
}

// Literals, names and attribute values are pushed as borrowed text: nothing an
// expression does changes them while it runs, and Pop and Evaluate hand out owned
// values only. Element texts can change (assign), so they are copied.
void TqelXPathExpression2::PushOperand(TTokenOp op)
{
    const TToken& token = CurrentToken();
    const TqelXMLNode2* node = Node;
    switch (op) {
    case opString:
        if (!ApplyLiteral(token.Value)) PushSlot().SetBorrowedText(token.Value.TextView());
        break;
    case opNumber:
        if (!ApplyLiteral(token.Value)) PushSlot() = token.Value;
        break;
    case opAttribute: {
        if (FOwnAttributes) {
            PushSlot().SetBorrowedText(node != nullptr ? std::string_view(node->GetAttribute(token.Text)) : "");
            break;
        }
        Variant value;
        bool handled = false;
        if (OnGetAttribute) OnGetAttribute(*this, token.Text, value, handled);
        Push(handled ? std::move(value) : Variant::FromText(token.Text));
        break;
    }
    case opName:
        PushSlot().SetBorrowedText(node ? std::string_view(node->Name) : "");
        break;
    case opValue:
        Push(Variant::FromText(node ? node->Text : std::string()));
        break;
    case opParentName:
        PushSlot().SetBorrowedText(node && node->Parent ? std::string_view(node->Parent->Name) : "");
        break;
    case opChildCount:
        PushSlot().SetInteger(node ? node->Children.Count() : 0);
        break;
    case opNamespace:
        PushSlot().SetBorrowedText(node ? std::string_view(node->Prefix.Value()) : "");
        break;
    case opBaseName: {
        const std::string_view name = node ? std::string_view(node->Name) : "";
        const auto colon = name.find(':');
        PushSlot().SetBorrowedText(colon == std::string_view::npos ? name : name.substr(colon + 1));
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

namespace {

// The text of value, converted into scratch unless it is Text already.
std::string_view TextOf(const Variant& value, std::string& scratch)
{
    if (value.Kind() == vkText) return value.TextView();
    scratch = value.ToText();
    return scratch;
}

// The binary operator's result into result, which may be the left operand.
void ApplyBinary(TTokenOp op, const Variant& left, const Variant& right, Variant& result)
{
    switch (op) {
    case opEQ: result.SetBoolean(VariantCompareHolds(coEQ, left, right)); break;
    case opNE: result.SetBoolean(VariantCompareHolds(coNE, left, right)); break;
    case opLT: result.SetBoolean(VariantCompareHolds(coLT, left, right)); break;
    case opLE: result.SetBoolean(VariantCompareHolds(coLE, left, right)); break;
    case opGT: result.SetBoolean(VariantCompareHolds(coGT, left, right)); break;
    case opGE: result.SetBoolean(VariantCompareHolds(coGE, left, right)); break;
    case opAdd: result = VariantArith(aoAdd, left, right); break;
    case opSub: result = VariantArith(aoSub, left, right); break;
    case opMul: result = VariantArith(aoMul, left, right); break;
    case opDiv: result = VariantArith(aoDiv, left, right); break;
    case opAnd: VariantLogicInto(loAnd, left, right, result); break;
    case opOr: VariantLogicInto(loOr, left, right, result); break;
    case opLike:
    case opIn: {
        std::string leftText;
        std::string rightText;
        const std::string_view a = TextOf(left, leftText);
        const std::string_view b = TextOf(right, rightText);
        result.SetBoolean(op == opLike ? MatchesLike(a, b) : InList(a, b));
        break;
    }
    default: break;
    }
}

}  // namespace

bool TqelXPathExpression2::ApplyLiteral(const Variant& literal)
{
    const std::size_t next = CurrentIndex + 1;
    if (next >= FSteps.size() || StackCount == 0 || StackCount >= StackSize) return false;
    const TTokenOp op = FSteps[next].Op;
    if (op < opEQ || op > opIn || op == opNot) return false;
    // As the push and the operator would leave it: both operands are off the stack
    // while the operator runs, its result replaces the left one.
    --StackCount;
    Variant& left = Stack[static_cast<std::size_t>(StackCount)];
    ApplyBinary(op, left, literal, left);
    ++StackCount;
    CurrentIndex = next;
    return true;
}

void TqelXPathExpression2::ExecuteOperator(TTokenOp op)
{
    if (op == opNot) {
        Push(VariantNot(Pop()));
        return;
    }
    if (StackCount >= 2) {
        // In place: the result replaces the left operand.
        StackCount -= 2;
        Variant& left = Stack[static_cast<std::size_t>(StackCount)];
        ApplyBinary(op, left, Stack[static_cast<std::size_t>(StackCount) + 1], left);
        ++StackCount;
        return;
    }
    const Variant right = Pop();
    const Variant left = Pop();
    Variant result;
    ApplyBinary(op, left, right, result);
    Push(std::move(result));
}
