// Construction and compilation of expressions.
//
// The compiler turns the token list into postfix order in one pass with an
// operator stack (priorities: "and" "or" 0, brackets 1, comparisons and "-" 3,
// "+" 4, "/" 5, "*" 6, function words 7):
//   operand   copied to the program;
//   operator  moves every stacked operator of equal or higher priority (down to an
//             open bracket) to the program, then is stacked;
//   "("       stacked;
//   ")"       moves operators down to the nearest "(", which is dropped; without one
//             the compilation stops and reports false;
//   "," "#"   ignored;
//   end       moves operators down to the first unclosed "(", if any.
// So «a - b + c» is a - (b + c), «a / b * c» is a / (b * c), and a function word,
// being of the highest priority, takes the operands that precede it in the program.

#include "xpath/qelXPathExpression2.h"

#include "core/qelXMLParser2.h"
#include "xpath/ShortCircuit.h"

TqelXPathExpression2::TqelXPathExpression2() : OnGetAttribute(TElementAttributeReader{this}) {}

TqelXPathExpression2::~TqelXPathExpression2()
{
    Clear();
}

void TqelXPathExpression2::Clear()
{
    Tokens.clear();
    Postfix.clear();
    OperatorStack.clear();
    FSteps.clear();
}

bool TqelXPathExpression2::SetExpression(std::string_view text)
{
    Expression = std::string(text);
    Clear();
    {
        TqelXPathTokenizer tokenizer;
        tokenizer.Tokenize(Expression, Tokens);
    }
    return Compile();
}

void TqelXPathExpression2::DefaultGetAttribute(TqelXPathExpression2&, const std::string& name, Variant& value,
                                               bool& handled)
{
    // A missing attribute reads as empty text, as GetAttribute gives it.
    value = Variant::FromText(Node != nullptr ? Node->GetAttribute(name) : std::string());
    handled = true;
}

bool TqelXPathExpression2::Compile()
{
    const bool balanced = CompileTokens();
    FSteps.clear();
    FSteps.reserve(Postfix.size());
    for (const auto& token : Postfix) FSteps.push_back({token->Op});
    for (const TShortCircuit& circuit : FindShortCircuits(Postfix)) {
        TStep& step = FSteps[circuit.First];
        // One right operand starts at a position at most; a deeper one than the
        // stack holds runs and overflows as it would.
        if (step.Logic != TTokenOp{} || circuit.Depth > StackSize) continue;
        step.Logic = Postfix[circuit.Logic]->Op;
        step.ReadsAttributes = circuit.ReadsAttributes;
        step.Depth = static_cast<std::uint8_t>(circuit.Depth);
        step.LogicIndex = static_cast<std::uint32_t>(circuit.Logic);
    }
    return balanced;
}

bool TqelXPathExpression2::CompileTokens()
{
    auto moveTopToPostfix = [this] {
        Postfix.push_back(std::move(OperatorStack.back()));
        OperatorStack.pop_back();
    };
    auto openOnTop = [this] { return OperatorStack.back()->Kind == tkOpen; };

    for (const auto& token : Tokens) {
        switch (token->Kind) {
        case tkOperand:
            Postfix.push_back(CopyToken(*token));
            break;
        case tkOperator:
            while (!OperatorStack.empty() && !openOnTop() && OperatorStack.back()->Priority >= token->Priority)
                moveTopToPostfix();
            OperatorStack.push_back(CopyToken(*token));
            break;
        case tkOpen:
            OperatorStack.push_back(CopyToken(*token));
            break;
        case tkClose:
            while (!OperatorStack.empty() && !openOnTop()) moveTopToPostfix();
            if (OperatorStack.empty()) return false;
            OperatorStack.pop_back();
            break;
        case tkComma:
        case tkHash:
            break;
        }
    }
    while (!OperatorStack.empty() && !openOnTop()) moveTopToPostfix();
    return OperatorStack.empty();
}
