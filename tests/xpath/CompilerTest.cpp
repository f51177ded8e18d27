// Compilation to postfix: the operator stack, brackets and the precedence table.

#include "XPathTestSupport.h"
#include "xpath/qelXPathExpression2.h"

namespace {

std::string Texts(const TTokenList& tokens)
{
    std::string texts;
    for (const auto& token : tokens) {
        if (!texts.empty()) texts += ' ';
        texts += token->Text;
    }
    return texts;
}

struct TCompiled {
    bool Balanced;
    std::string Postfix;
    std::string Stack;
};

TCompiled Compile(std::string_view text)
{
    TqelXPathExpression2 expression;
    const bool balanced = expression.SetExpression(text);
    return {balanced, Texts(expression.Postfix), Texts(expression.OperatorStack)};
}

}  // namespace

TEST(Compiler, OrdersTokensByPriority)
{
    const struct {
        const char* Text;
        const char* Postfix;
    } cases[] = {
        {"a - b + c", "a b c + -"},            // "-" binds less than "+"
        {"a / b * c", "a b c * /"},            // "/" binds less than "*"
        {"a = b - c", "a b = c -"},            // "-" shares the comparisons' priority
        {"a or b and c", "a b or c and"},      // "and" and "or" group from the left
        {"not a = b", "a not b ="},
        {"substr_after(lower(name), 'x')", "name x lower substr_after"},
        {"left(name, 2)", "name 2 left"},
        {"name left 2", "name 2 left"},
        {"(a = 1 or b = 2) and c = 3", "a 1 = b 2 = or c 3 = and"},
        {"a * (b + c)", "a b c + *"},
        {"x # y , z", "x y z"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const TCompiled compiled = Compile(c.Text);
        EXPECT_TRUE(compiled.Balanced) << c.Text;
        EXPECT_EQ(compiled.Postfix, c.Postfix) << c.Text;
        EXPECT_EQ(compiled.Stack, "") << c.Text;
    }
}

// Unbalanced brackets are reported by the result only; the partial program stands.
TEST(Compiler, KeepsThePartialProgramOfUnbalancedBrackets)
{
    const TCompiled strayClose = Compile("name = 'x') or value = 'y'");
    EXPECT_FALSE(strayClose.Balanced);
    EXPECT_EQ(strayClose.Postfix, "name x =");

    const TCompiled unclosed = Compile("a + (b * c");
    EXPECT_FALSE(unclosed.Balanced);
    EXPECT_EQ(unclosed.Postfix, "a b c *");
    EXPECT_EQ(unclosed.Stack, "+ (");
}

TEST(Compiler, SetExpressionReplacesTheWholeState)
{
    TqelXPathExpression2 expression;
    expression.SetExpression("a + (b");
    expression.SetExpression("c");
    EXPECT_EQ(expression.Expression, "c");
    EXPECT_EQ(Texts(expression.Tokens), "c");
    EXPECT_EQ(Texts(expression.Postfix), "c");
    EXPECT_EQ(Texts(expression.OperatorStack), "");
    // The text is compiled as it stands; the replacements belong to the selection layer.
    expression.SetExpression("a != b");
    EXPECT_EQ(Texts(expression.Tokens), "a");
}

// The compiler is a loop: deep brackets and long expressions do not reach the call stack.
TEST(Compiler, HandlesDeepBracketsAndLongExpressions)
{
    const std::string deep = std::string(10000, '(') + "1" + std::string(10000, ')');
    const TCompiled compiled = Compile(deep);
    EXPECT_TRUE(compiled.Balanced);
    EXPECT_EQ(compiled.Postfix, "1");
    CHECK_VALUE(deep, "Double", "1");
    CHECK_VALUE(std::string(10000, '(') + "1", "Double", "1");
    CHECK_VALUE(std::string(10000, ')') + "1", "Null", "");

    // Operators of equal priority group from the left, so the value stack stays shallow.
    std::string sum = "1";
    for (int i = 0; i < 50000; ++i) sum += " + 1";
    CHECK_VALUE(sum, "Double", "50001");
    std::string conjunction = "1 = 1";
    for (int i = 0; i < 30000; ++i) conjunction += " and 2 = 2";
    CHECK_VALUE(conjunction, "Boolean", "True");
}
