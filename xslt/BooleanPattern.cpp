#include "xslt/BooleanPattern.h"

#include <vector>

namespace {

// What the program is known to leave on the value stack.
enum class TKnown : unsigned char { Text, Boolean, Other };

TKnown KnownOf(const Variant& value)
{
    if (value.Kind() == vkText) return TKnown::Text;
    if (value.Kind() == vkBoolean) return TKnown::Boolean;
    return TKnown::Other;
}

}  // namespace

static_assert(opLE - opEQ == 5, "the comparisons are the operators opEQ to opLE");

bool GivesBooleanEverywhere(const TqelXPathExpression2& expression)
{
    std::vector<TKnown> stack;
    auto popTwo = [&stack](TKnown& left, TKnown& right) {
        if (stack.size() < 2) return false;
        right = stack.back();
        stack.pop_back();
        left = stack.back();
        stack.pop_back();
        return true;
    };
    for (const auto& token : expression.Postfix) {
        const TTokenOp op = token->Op;
        TKnown left{};
        TKnown right{};
        if (op == opString)
            stack.push_back(KnownOf(token->Value));
        else if (op == opAttribute || op == opName || op == opValue || op == opParentName || op == opNamespace)
            stack.push_back(TKnown::Text);
        else if (op >= opEQ && op <= opLE) {
            // Two texts compare as texts, two Booleans as Booleans: neither converts.
            if (!popTwo(left, right) || left != right || left == TKnown::Other) return false;
            stack.push_back(TKnown::Boolean);
        } else if (op == opAnd || op == opOr) {
            if (!popTwo(left, right) || left != TKnown::Boolean || right != TKnown::Boolean) return false;
            stack.push_back(TKnown::Boolean);
        } else if (op == opNot) {
            if (stack.empty() || stack.back() != TKnown::Boolean) return false;
        } else
            return false;
        if (stack.size() >= static_cast<std::size_t>(TqelXPathExpression2::StackSize)) return false;
    }
    return !stack.empty() && stack.back() == TKnown::Boolean;
}
