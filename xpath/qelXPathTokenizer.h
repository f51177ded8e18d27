#pragma once
// Splits the text of an expression into tokens, left to right.
//
//   token    := string | attribute | word | number | "(" | ")" | "," | "#" | operator
//   string   := "'" any-but-apostrophe* "'"            (no escapes)
//   attribute:= "@" namechar*
//   word     := letter namechar*                       (keyword, function, axis or plain word)
//   number   := digit (digit | ".")*                   (read with the decimal separator)
//   operator := "*" | "+" | "-" | "/" | "=" | "<" | "<=" | "<>" | ">" | ">="
//   namechar := "." | ":" | "@" | "_" | digit | letter  (letter: A-Z, a-z)
//
// Only the space separates tokens. Any other character, an unterminated string, a
// number that does not read, or "<" or ">" as the last character ends the token list
// there without a message.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xpath/Variant.h"

enum TTokenKind : unsigned char {
    tkOperator = 1,
    tkOperand = 2,
    tkOpen = 3,
    tkClose = 4,
    tkComma = 5,
    tkHash = 6,
};

enum TTokenOp : unsigned char {
    opString = 1,
    opNumber,
    opAttribute,
    opWord,
    opName,
    opValue,
    opParentName,
    opChildCount,
    opAxis,
    opNamespace,
    opBaseName,
    opNamespaceURI,
    opHasAttribute,
    opHasChild,
    opComma,
    opOpen,
    opClose,
    opHash,
    opEQ,
    opNE,
    opGT,
    opGE,
    opLT,
    opLE,
    opAdd,
    opSub,
    opMul,
    opDiv,
    opAnd,
    opOr,
    opNot,
    opLike,
    opIn,
    opLower,
    opUpper,
    opTrim,
    opSoundex,
    opSin,
    opCos,
    opSqr,
    opSqrt,
    opAsNumber,
    opAsDate,
    opParseFloat,
    opLeft,
    opRight,
    opMid,
    opSubstrAfter,
    opSubstrBefore,
    opFormat,
    opDateAdd,
    opYear,
    opMonth,
    opDay,
    opEaster,
    opWeekNumber,
    opLength,
    opTrunc,
    opCeil,
    opFloor,
    opIsNumeric,
    opIsDate,
    opReplace,
    opAssign,
    opGet,
};

// Operator priorities: the higher binds first; equal priorities group from the left.
//   0 "and" "or"   1 brackets   3 comparisons and "-"   4 "+"   5 "/"   6 "*"   7 function words
inline constexpr std::int32_t LogicPriority = 0;
inline constexpr std::int32_t BracketPriority = 1;
inline constexpr std::int32_t FunctionPriority = 7;

// One token: its text as written (a string without its quotes, an attribute name
// without its "@"), role, operation, literal value and operator priority.
class TToken {
public:
    std::string Text;
    TTokenKind Kind{};
    TTokenOp Op{};
    Variant Value;
    std::int32_t Priority = 0;  // meaningful for operators and brackets only
};

using TTokenList = std::vector<std::unique_ptr<TToken>>;

// A new token with the same fields.
std::unique_ptr<TToken> CopyToken(const TToken& token);

class TqelXPathTokenizer {
public:
    std::string Source;
    std::size_t Position = 1;  // 1-based index of the next character
    std::size_t SourceLength = 0;
    // The token being scanned; only TokenText is cleared between tokens.
    std::string TokenText;
    TTokenKind TokenKind{};
    Variant TokenValue;
    TTokenOp TokenOp{};
    std::int32_t TokenPriority = 0;

    // Appends the tokens of text to tokens (which is not cleared); always true.
    bool Tokenize(std::string_view text, TTokenList& tokens);
    // Reads the next token; false at the end of the text or where tokenizing stops.
    bool ScanToken();

private:
    char At(std::size_t position) const { return Source[position - 1]; }
    bool AtEnd() const { return Position > SourceLength; }
    void ScanWord();
    void ClassifyWord();
    bool ScanNumber();
    bool ScanOperator(char c);
};
