// The tokenizer: token boundaries, word classification, literal values and the
// places where tokenizing stops silently.

#include <cctype>
#include <regex>
#include <set>

#include "XPathTestSupport.h"
#include "xpath/qelXPathTokenizer.h"

namespace {

// Names of the operation codes by ordinal (0 is never produced).
const char* const OpNames[] = {
    "?",         "String",     "Number",   "Attribute",  "Word",       "Name",        "Value",
    "ParentName", "ChildCount", "Axis",    "Namespace",  "BaseName",   "NamespaceURI", "HasAttribute",
    "HasChild",  "Comma",      "Open",     "Close",      "Hash",       "EQ",          "NE",
    "GT",        "GE",         "LT",       "LE",         "Add",        "Sub",         "Mul",
    "Div",       "And",        "Or",       "Not",        "Like",       "In",          "Lower",
    "Upper",     "Trim",       "Soundex",  "Sin",        "Cos",        "Sqr",         "Sqrt",
    "AsNumber",  "AsDate",     "ParseFloat", "Left",     "Right",      "Mid",         "SubstrAfter",
    "SubstrBefore", "Format",  "DateAdd",  "Year",       "Month",      "Day",         "Easter",
    "WeekNumber", "Length",    "Trunc",    "Ceil",       "Floor",      "IsNumeric",   "IsDate",
    "Replace",   "Assign",     "Get",
};
static_assert(sizeof OpNames / sizeof OpNames[0] == 66);

TTokenList Tokens(std::string_view text)
{
    TTokenList tokens;
    TqelXPathTokenizer tokenizer;
    EXPECT_TRUE(tokenizer.Tokenize(text, tokens));
    return tokens;
}

// "Op:text" of every token, separated by blanks.
std::string Signature(std::string_view text)
{
    std::string signature;
    for (const auto& token : Tokens(text)) {
        if (!signature.empty()) signature += ' ';
        signature += OpNames[token->Op];
        signature += ':';
        signature += token->Text;
    }
    return signature;
}

}  // namespace

// The ordinals are fixed: other parts of the system store and compare them.
static_assert(tkOperator == 1 && tkOperand == 2 && tkOpen == 3 && tkClose == 4 && tkComma == 5 && tkHash == 6);
static_assert(opString == 1 && opNamespaceURI == 12 && opHasChild == 14 && opComma == 15 && opHash == 18);
static_assert(opEQ == 19 && opLE == 24 && opDiv == 28 && opAnd == 29 && opIn == 33 && opLower == 34);
static_assert(opFormat == 50 && opWeekNumber == 56 && opTrunc == 58 && opReplace == 63 && opGet == 65);

TEST(Tokenizer, SplitsExpressionsIntoTokens)
{
    struct {
        const char* Text;
        const char* Signature;
    } cases[] = {
        {"@id = '3' and name = 'item'", "Attribute:id EQ:= String:3 And:and Name:name EQ:= String:item"},
        {"NAME Lower AND", "Name:NAME Lower:Lower And:AND"},
        {"a<b a<=b a<>b a>b a>=b", "Word:a LT:< Word:b Word:a LE:<= Word:b Word:a NE:<> Word:b Word:a GT:> Word:b Word:a GE:>= Word:b"},
        {"1*2+3-4/5=6", "Number:1 Mul:* Number:2 Add:+ Number:3 Sub:- Number:4 Div:/ Number:5 EQ:= Number:6"},
        {"left(name, 2) # x", "Left:left Open:( Name:name Comma:, Number:2 Close:) Hash:# Word:x"},
        {"-5", "Sub:- Number:5"},
        {"first-name", "Word:first Sub:- Name:name"},
        {"child::title@lang", "Axis:child::title@lang"},
        {"parent::@id xsl:value a.b x_y", "Axis:parent::@id Word:xsl:value Word:a.b Word:x_y"},
        {"values names", "Word:values Word:names"},
        {"@ = 1", "Attribute: EQ:= Number:1"},
        {"@a:b.c@d", "Attribute:a:b.c@d"},
        {"3abc", "Number:3 Word:abc"},
        {"name = 'O''Brien'", "Name:name EQ:= String:O String:Brien"},
        {"'a b' ''", "String:a b String:"},
        {"fix trunc FIX", "Trunc:fix Trunc:trunc Trunc:FIX"},
        {"value parentname childcount namespace basename namespaceuri",
         "Value:value ParentName:parentname ChildCount:childcount Namespace:namespace BaseName:basename "
         "NamespaceURI:namespaceuri"},
    };
    for (const auto& c : cases) EXPECT_EQ(Signature(c.Text), c.Signature) << c.Text;
}

// Characters outside the language, unterminated strings, numbers that do not read
// and a final "<" or ">" end the list; the tokens before stand.
TEST(Tokenizer, StopsSilentlyWhereTheTextLeavesTheLanguage)
{
    struct {
        const char* Text;
        const char* Signature;
    } cases[] = {
        {"", ""},
        {"    ", ""},
        {"'abc", ""},
        {"name = 'abc", "Name:name EQ:="},
        {"x <", "Word:x"},
        {"x >", "Word:x"},
        {"x < ", "Word:x LT:<"},
        {"1.2.3 = x", ""},
        {"x = 1.2.3", "Word:x EQ:="},
        {"a != b", "Word:a"},
        {"a\tb", "Word:a"},
        {"a\nb", "Word:a"},
        {"a [1]", "Word:a"},
        {"_a", ""},
        {".5", ""},
        {"a $ b", "Word:a"},
        {"a \"b\"", "Word:a"},
        {"name = '\xc4'", "Name:name EQ:= String:\xc4"},
        {"\xc4", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Signature(c.Text), c.Signature) << c.Text;
}

// The 35 function words (two of them one function) are operators of priority 7 and
// cover exactly the codes 13, 14 and 31 to 65.
TEST(Tokenizer, FunctionWordsAreOperatorsOfTheHighestPriority)
{
    const TTokenList tokens = Tokens(
        "hasattribute haschild not like in lower upper trim soundex sin cos sqr sqrt asnumber asdate "
        "parsefloat left right mid substr_after substr_before format dateadd year month day easter "
        "weeknumber length trunc fix ceil floor isnumeric isdate replace assign get");
    ASSERT_EQ(tokens.size(), 38u);
    std::set<int> codes;
    for (const auto& token : tokens) {
        EXPECT_EQ(token->Kind, tkOperator) << token->Text;
        EXPECT_EQ(token->Priority, 7) << token->Text;
        // Each word names its code: "substr_after" is SubstrAfter; "fix" is another name of "trunc".
        std::string word = token->Text == "fix" ? "trunc" : token->Text;
        std::erase(word, '_');
        std::string name = OpNames[token->Op];
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(name, word);
        codes.insert(token->Op);
    }
    std::set<int> expected{opHasAttribute, opHasChild};
    for (int op = opNot; op <= opGet; ++op) expected.insert(op);
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(Signature("Substr_After FIX"), "SubstrAfter:Substr_After Trunc:FIX");
}

TEST(Tokenizer, OperatorsCarryThePrecedenceTable)
{
    const TTokenList tokens = Tokens("( ) = <> > >= < <= + - * / and or");
    const std::int32_t priorities[] = {1, 1, 3, 3, 3, 3, 3, 3, 4, 3, 6, 5, 0, 0};
    ASSERT_EQ(tokens.size(), std::size(priorities));
    for (std::size_t i = 0; i < tokens.size(); ++i) EXPECT_EQ(tokens[i]->Priority, priorities[i]) << tokens[i]->Text;
    EXPECT_EQ(tokens[0]->Kind, tkOpen);
    EXPECT_EQ(tokens[1]->Kind, tkClose);
    EXPECT_EQ(tokens[2]->Kind, tkOperator);
}

TEST(Tokenizer, OperandsCarryTheirLiteralValues)
{
    const TTokenList tokens = Tokens("'it''s' 3.25 pi @id name x::y , #");
    ASSERT_EQ(tokens.size(), 9u);
    EXPECT_EQ(Describe(tokens[0]->Value), "Text: it");
    EXPECT_EQ(Describe(tokens[1]->Value), "Text: s");
    EXPECT_EQ(tokens[2]->Value.Kind(), vkDouble);
    EXPECT_EQ(tokens[2]->Value.DoubleValue(), 3.25);
    EXPECT_EQ(tokens[3]->Value.DoubleValue(), 3.14159265358979323846);
    EXPECT_EQ(tokens[3]->Op, opNumber);
    EXPECT_EQ(Describe(tokens[4]->Value), "Text: id");
    EXPECT_EQ(Describe(tokens[5]->Value), "Text: ");
    EXPECT_EQ(Describe(tokens[6]->Value), "Text: x::y");
    EXPECT_EQ(Describe(tokens[7]->Value), "Text: ,");
    EXPECT_EQ(tokens[7]->Kind, tkComma);
    EXPECT_EQ(tokens[8]->Kind, tkHash);
}

TEST(Tokenizer, DateAndTimeAreTextFixedWhenTokenized)
{
    const TTokenList tokens = Tokens("date TIME");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0]->Op, opString);
    EXPECT_EQ(tokens[0]->Text, "date");
    EXPECT_TRUE(std::regex_match(tokens[0]->Value.TextValue(), std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}")))
        << tokens[0]->Value.TextValue();
    EXPECT_TRUE(std::regex_match(tokens[1]->Value.TextValue(), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")))
        << tokens[1]->Value.TextValue();
}

TEST(Tokenizer, NumbersReadWithTheDecimalSeparator)
{
    TSettingsGuard guard;
    ProgramSettings().DecimalSeparator = ',';
    EXPECT_EQ(Signature("x = 3.14"), "Word:x EQ:=");
    EXPECT_EQ(Signature("3,5"), "Number:3 Comma:, Number:5");
    EXPECT_EQ(Signature("3."), "");
}

TEST(Tokenizer, AppendsToTheListAndCopiesTokens)
{
    TTokenList tokens;
    TqelXPathTokenizer tokenizer;
    tokenizer.Tokenize("a", tokens);
    tokenizer.Tokenize("'b' + 1", tokens);
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokenizer.Source, "'b' + 1");
    EXPECT_EQ(tokenizer.SourceLength, 7u);

    const auto copy = CopyToken(*tokens[1]);
    EXPECT_EQ(copy->Text, "b");
    EXPECT_EQ(copy->Kind, tkOperand);
    EXPECT_EQ(copy->Op, opString);
    EXPECT_EQ(Describe(copy->Value), "Text: b");
    EXPECT_EQ(copy->Priority, tokens[1]->Priority);
    // An operand keeps the priority the scanner last held.
    EXPECT_EQ(tokens[3]->Priority, 4);
}

// Long and hostile texts: the scanner is a loop and reads only what it may.
TEST(Tokenizer, HandlesLongAndHostileTexts)
{
    std::string longText;
    for (int i = 0; i < 100000; ++i) longText += "a + ";
    longText += "'";
    EXPECT_EQ(Tokens(longText).size(), 200000u);

    std::string bytes;
    for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
    EXPECT_TRUE(Tokens(bytes).empty());
    EXPECT_EQ(Signature(std::string("a\0b", 3)), "Word:a");
    EXPECT_EQ(Signature(std::string(5000, '@')), "Attribute:" + std::string(4999, '@'));
}
