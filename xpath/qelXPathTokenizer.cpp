#include "xpath/qelXPathTokenizer.h"

#include <ctime>
#include <numbers>

#include "core/NumberText.h"

namespace {

struct TWordEntry {
    std::string_view Word;
    TTokenOp Op;
};

// Words that read the context element.
constexpr TWordEntry NodeWords[] = {
    {"value", opValue},
    {"name", opName},
    {"parentname", opParentName},
    {"childcount", opChildCount},
    {"namespace", opNamespace},
    {"basename", opBaseName},
    {"namespaceuri", opNamespaceURI},
};

// Function words, all operators of the highest priority.
constexpr TWordEntry FunctionWords[] = {
    {"hasattribute", opHasAttribute}, {"haschild", opHasChild}, {"not", opNot},
    {"like", opLike},                 {"in", opIn},             {"lower", opLower},
    {"upper", opUpper},               {"trim", opTrim},         {"soundex", opSoundex},
    {"sin", opSin},                   {"cos", opCos},           {"sqr", opSqr},
    {"sqrt", opSqrt},                 {"asnumber", opAsNumber}, {"asdate", opAsDate},
    {"parsefloat", opParseFloat},     {"left", opLeft},         {"right", opRight},
    {"mid", opMid},                   {"substr_after", opSubstrAfter},
    {"substr_before", opSubstrBefore},
    {"format", opFormat},             {"dateadd", opDateAdd},   {"year", opYear},
    {"month", opMonth},               {"day", opDay},           {"easter", opEaster},
    {"weeknumber", opWeekNumber},     {"length", opLength},     {"trunc", opTrunc},
    {"fix", opTrunc},                 {"ceil", opCeil},         {"floor", opFloor},
    {"isnumeric", opIsNumeric},       {"isdate", opIsDate},     {"replace", opReplace},
    {"assign", opAssign},             {"get", opGet},
};

template <std::size_t N>
bool FindWord(const TWordEntry (&table)[N], std::string_view word, TTokenOp& op)
{
    for (const auto& entry : table) {
        if (entry.Word == word) {
            op = entry.Op;
            return true;
        }
    }
    return false;
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsNameChar(char c)
{
    return IsLetter(c) || IsDigit(c) || c == '.' || c == ':' || c == '@' || c == '_';
}

std::string LowerAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

// Appends value with at least width digits (value is never negative here).
void AppendPadded(std::string& text, int value, std::size_t width)
{
    std::string digits = IntToText(value);
    if (digits.size() < width) text.append(width - digits.size(), '0');
    text += digits;
}

std::tm LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return parts;
}

// Today as yyyy-mm-dd.
std::string TodayText()
{
    const std::tm now = LocalNow();
    std::string text;
    AppendPadded(text, now.tm_year + 1900, 4);
    text += '-';
    AppendPadded(text, now.tm_mon + 1, 2);
    text += '-';
    AppendPadded(text, now.tm_mday, 2);
    return text;
}

// The time of day as hh:nn:ss.
std::string NowText()
{
    const std::tm now = LocalNow();
    std::string text;
    AppendPadded(text, now.tm_hour, 2);
    text += ':';
    AppendPadded(text, now.tm_min, 2);
    text += ':';
    AppendPadded(text, now.tm_sec, 2);
    return text;
}

}  // namespace

std::unique_ptr<TToken> CopyToken(const TToken& token)
{
    return std::make_unique<TToken>(token);
}

bool TqelXPathTokenizer::Tokenize(std::string_view text, TTokenList& tokens)
{
    Source = std::string(text);
    Position = 1;
    SourceLength = Source.size();
    while (ScanToken()) {
        auto token = std::make_unique<TToken>();
        token->Text = TokenText;
        token->Kind = TokenKind;
        token->Op = TokenOp;
        token->Value = TokenValue;
        token->Priority = TokenPriority;
        tokens.push_back(std::move(token));
    }
    return true;
}

bool TqelXPathTokenizer::ScanToken()
{
    TokenText.clear();
    while (!AtEnd() && At(Position) == ' ') ++Position;
    if (AtEnd()) return false;

    const char c = At(Position);
    if (c == '\'') {
        ++Position;
        const std::size_t start = Position;
        while (!AtEnd() && At(Position) != '\'') ++Position;
        if (AtEnd()) return false;
        TokenText = Source.substr(start - 1, Position - start);
        ++Position;
        TokenKind = tkOperand;
        TokenOp = opString;
        TokenValue = Variant::FromText(TokenText);
    } else if (c == '@') {
        ++Position;
        ScanWord();
        TokenKind = tkOperand;
        TokenOp = opAttribute;
        TokenValue = Variant::FromText(TokenText);
    } else if (c == ',' || c == '#') {
        ++Position;
        TokenText = c;
        TokenKind = c == ',' ? tkComma : tkHash;
        TokenOp = c == ',' ? opComma : opHash;
        TokenValue = Variant::FromText(TokenText);
    } else if (IsLetter(c)) {
        ScanWord();
        ClassifyWord();
    } else if (IsDigit(c)) {
        return ScanNumber();
    } else if (c == '(' || c == ')') {
        ++Position;
        TokenText = c;
        TokenKind = c == '(' ? tkOpen : tkClose;
        TokenOp = c == '(' ? opOpen : opClose;
        TokenPriority = BracketPriority;
    } else {
        return ScanOperator(c);
    }
    return true;
}

void TqelXPathTokenizer::ScanWord()
{
    const std::size_t start = Position;
    while (!AtEnd() && IsNameChar(At(Position))) ++Position;
    TokenText = Source.substr(start - 1, Position - start);
}

void TqelXPathTokenizer::ClassifyWord()
{
    const std::string word = LowerAscii(TokenText);
    TTokenOp op{};
    if (FindWord(NodeWords, word, op)) {
        TokenKind = tkOperand;
        TokenOp = op;
        TokenValue = Variant::FromText("");
    } else if (word == "or" || word == "and") {
        TokenKind = tkOperator;
        TokenOp = word == "or" ? opOr : opAnd;
        TokenPriority = LogicPriority;
    } else if (word == "pi") {
        TokenKind = tkOperand;
        TokenOp = opNumber;
        TokenValue = Variant::FromDouble(std::numbers::pi);
    } else if (TokenText.find("::") != std::string::npos) {
        TokenKind = tkOperand;
        TokenOp = opAxis;
        TokenValue = Variant::FromText(TokenText);
    } else if (word == "date" || word == "time") {
        TokenKind = tkOperand;
        TokenOp = opString;
        TokenValue = Variant::FromText(word == "date" ? TodayText() : NowText());
    } else if (FindWord(FunctionWords, word, op)) {
        TokenKind = tkOperator;
        TokenOp = op;
        TokenPriority = FunctionPriority;
    } else {
        // A plain word pushes nothing; its value is never read.
        TokenKind = tkOperand;
        TokenOp = opWord;
    }
}

bool TqelXPathTokenizer::ScanNumber()
{
    const std::size_t start = Position;
    while (!AtEnd() && (IsDigit(At(Position)) || At(Position) == '.')) ++Position;
    TokenText = Source.substr(start - 1, Position - start);
    double value = 0.0;
    if (!TextToFloat(TokenText, value)) return false;
    TokenKind = tkOperand;
    TokenOp = opNumber;
    TokenValue = Variant::FromDouble(value);
    return true;
}

bool TqelXPathTokenizer::ScanOperator(char c)
{
    TTokenOp op{};
    std::int32_t priority = 3;
    switch (c) {
    case '*': op = opMul; priority = 6; break;
    case '+': op = opAdd; priority = 4; break;
    case '-': op = opSub; break;
    case '/': op = opDiv; priority = 5; break;
    case '=': op = opEQ; break;
    case '<':
    case '>':
        if (Position == SourceLength) return false;
        break;
    default:
        return false;
    }
    TokenText = c;
    ++Position;
    if (c == '<' || c == '>') {
        const char next = At(Position);
        if (next == '=') {
            op = c == '<' ? opLE : opGE;
        } else if (next == '>' && c == '<') {
            op = opNE;
        } else {
            op = c == '<' ? opLT : opGT;
        }
        if (op != opLT && op != opGT) {
            TokenText += next;
            ++Position;
        }
    }
    TokenKind = tkOperator;
    TokenOp = op;
    TokenPriority = priority;
    return true;
}
