#pragma once
// A compiled expression: its tokens in postfix order and a fixed value stack on
// which the program runs against one context element.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "xpath/Variant.h"
#include "xpath/qelXPathTokenizer.h"

class TqelXMLNode2;

// Raised inside an evaluation whose value stack would overflow; the evaluation ends with Null.
class EExpressionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TqelXPathExpression2 {
public:
    // Looks an attribute reference up: sets value and handled, or leaves handled false
    // so that the name itself is used.
    using TGetAttributeEvent =
        std::function<void(TqelXPathExpression2& sender, const std::string& name, Variant& value, bool& handled)>;

    static constexpr int StackSize = 101;

    TTokenList Tokens;         // owned; the tokens in text order
    TTokenList Postfix;        // owned; the compiled program
    TTokenList OperatorStack;  // owned; the compiler's work stack
    std::string Expression;
    std::array<Variant, StackSize> Stack;
    int StackCount = 0;
    std::size_t CurrentIndex = 0;  // position in Postfix of the token being executed
    TGetAttributeEvent OnGetAttribute;
    TqelXMLNode2* Node = nullptr;  // not owned; the context element

    // An empty expression whose attribute references read the context element.
    TqelXPathExpression2();
    TqelXPathExpression2(const TqelXPathExpression2&) = delete;
    TqelXPathExpression2& operator=(const TqelXPathExpression2&) = delete;
    virtual ~TqelXPathExpression2();

    // Destroys the tokens of the three lists.
    void Clear();
    // Tokenizes and compiles text as it stands; false for unbalanced brackets (the
    // partial program still runs).
    bool SetExpression(std::string_view text);
    void SetNode(TqelXMLNode2* node) { Node = node; }
    // Runs the program against Node; result is Null when anything fails. Never raises.
    void Evaluate(Variant& result);
    void SetOnGetAttribute(TGetAttributeEvent handler) { OnGetAttribute = std::move(handler); }
    // The attribute of Node, or empty text when Node lacks it or is nil; always handled.
    void DefaultGetAttribute(TqelXPathExpression2& sender, const std::string& name, Variant& value, bool& handled);
    // Infix to postfix with the operator stack; false when the brackets do not balance.
    bool Compile();
    // Raises EExpressionError when the stack is full.
    void Push(Variant value);
    // The top value, or Null when the stack is empty.
    Variant Pop();
    // Pop().ToText() without an intermediate value.
    std::string PopText();
    // Runs the handler of one postfix token.
    void Execute(TTokenOp op);

private:
    // The handler an expression starts with: DefaultGetAttribute of Owner. While it
    // is in place, attribute references of Owner refer to the values in the element
    // instead of calling it.
    struct TElementAttributeReader {
        TqelXPathExpression2* Owner;  // not owned
        void operator()(TqelXPathExpression2& sender, const std::string& name, Variant& value, bool& handled) const
        {
            Owner->DefaultGetAttribute(sender, name, value, handled);
        }
    };

    // The operation of each token of Postfix, made by Compile, so that the
    // evaluation loop reads one array; where the right operand of an "and" or "or"
    // that may be left out starts (see ShortCircuit.h), also that operator.
    struct TStep {
        TTokenOp Op{};
        TTokenOp Logic{};  // opAnd, opOr, or nothing to leave out here
        bool ReadsAttributes = false;
        std::uint8_t Depth = 0;  // the most values the right operand holds on the stack at once
        std::uint32_t LogicIndex = 0;
    };
    std::vector<TStep> FSteps;
    // Set while Evaluate runs when attribute references read the context element.
    bool FOwnAttributes = false;

    // Compile's work on Postfix and OperatorStack, without the array of operations.
    bool CompileTokens();
    const TToken& CurrentToken() const { return *Postfix[CurrentIndex]; }
    // The slot a push fills, counted as pushed; raises EExpressionError when the stack is full.
    Variant& PushSlot();
    bool ReadsOwnAttributes() const;
    // True when the right operand starting at step gives the same result as the
    // value on top of the stack: that value decides its "and" or "or" alone.
    bool LeavesOut(const TStep& step) const;
    void PushOperand(TTokenOp op);
    // Applies the binary operator that follows the literal being executed to the top
    // value and the literal, as pushing the literal and running the operator would,
    // and moves past the operator; false, doing nothing, when no such operator follows.
    bool ApplyLiteral(const Variant& literal);
    Variant AxisValue(const std::string& text) const;
    void ExecuteOperator(TTokenOp op);
    // Function families.
    void ExecuteTextFunction(TTokenOp op);
    void ExecuteNumberFunction(TTokenOp op);
    void ExecuteDateFunction(TTokenOp op);
    void ExecuteNodeFunction(TTokenOp op);
};

// The pattern test of "like": "%" at the start, the end or both makes an ends-with,
// begins-with or contains test; letter case is ignored.
bool MatchesLike(std::string_view value, std::string_view pattern);
// True when "," + list + "," contains "," + item + ",".
bool InList(std::string_view item, std::string_view list);
