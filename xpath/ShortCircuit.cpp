#include "xpath/ShortCircuit.h"

#include <algorithm>

namespace {

// What a value on the stack is known to be.
enum class TKnown : unsigned char { Text, Number, Boolean, Unknown };

// A value of the simulated stack and the program part that computes it.
struct TOperand {
    TKnown Kind = TKnown::Unknown;  // Unknown: not free of failures and effects either
    std::size_t First = 0;          // position of its first operation
    int Depth = 1;                  // the most values on the stack while it is computed
    bool ReadsAttributes = false;
};

bool IsNumberLike(TKnown kind)
{
    return kind == TKnown::Number || kind == TKnown::Boolean;
}

// A comparison neither converts text nor meets an Empty value.
bool ComparesSafely(TKnown left, TKnown right)
{
    if (left == TKnown::Text || right == TKnown::Text) return left == right;
    return IsNumberLike(left) && IsNumberLike(right);
}

// The kind of value an operand pushes, or false when the operation is not a safe operand.
bool SafeOperand(const TToken& token, TKnown& kind)
{
    switch (token.Op) {
    case opString:
    case opAttribute:
    case opName:
    case opValue:
    case opParentName:
    case opNamespace:
    case opBaseName:
    case opAxis:
        kind = TKnown::Text;
        return true;
    case opNumber:
        kind = token.Value.Kind() == vkDouble || token.Value.Kind() == vkInteger ? TKnown::Number : TKnown::Unknown;
        return true;
    case opChildCount:
        kind = TKnown::Number;
        return true;
    default:
        return false;
    }
}

bool IsComparison(TTokenOp op)
{
    return op == opEQ || op == opNE || op == opLT || op == opLE || op == opGT || op == opGE;
}

}  // namespace

std::vector<TShortCircuit> FindShortCircuits(const TTokenList& postfix)
{
    std::vector<TShortCircuit> found;
    // The values pushed since the last operation whose effect on the stack is not
    // modelled; below them lies anything, read as Unknown.
    std::vector<TOperand> stack;
    auto pop = [&stack](std::size_t position) {
        if (stack.empty()) return TOperand{TKnown::Unknown, position, 1, false};
        TOperand top = stack.back();
        stack.pop_back();
        return top;
    };
    auto combine = [](const TOperand& left, const TOperand& right, TKnown kind) {
        return TOperand{kind, left.First, std::max(left.Depth, right.Depth + 1),
                        left.ReadsAttributes || right.ReadsAttributes};
    };

    for (std::size_t position = 0; position < postfix.size(); ++position) {
        const TToken& token = *postfix[position];
        const TTokenOp op = token.Op;
        TKnown kind{};
        if (op == opWord || op == opComma || op == opOpen || op == opClose || op == opHash) continue;
        if (SafeOperand(token, kind)) {
            stack.push_back({kind, position, 1, op == opAttribute});
        } else if (IsComparison(op)) {
            const TOperand right = pop(position);
            const TOperand left = pop(position);
            const bool safe = ComparesSafely(left.Kind, right.Kind);
            stack.push_back(combine(left, right, safe ? TKnown::Boolean : TKnown::Unknown));
        } else if (op == opAnd || op == opOr) {
            const TOperand right = pop(position);
            const TOperand left = pop(position);
            if (right.Kind == TKnown::Boolean)
                found.push_back({right.First, position, right.Depth, right.ReadsAttributes});
            const bool booleans = left.Kind == TKnown::Boolean && right.Kind == TKnown::Boolean;
            stack.push_back(combine(left, right, booleans ? TKnown::Boolean : TKnown::Unknown));
        } else if (op == opNot) {
            TOperand operand = pop(position);
            if (operand.Kind != TKnown::Boolean) operand.Kind = TKnown::Unknown;
            stack.push_back(operand);
        } else {
            // A function: how many values it takes is not modelled.
            stack.clear();
        }
    }
    return found;
}
