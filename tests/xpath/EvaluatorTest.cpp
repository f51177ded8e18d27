// Evaluation: the value stack, the operands that read the context element, the
// operators and the edge cases of the value rules.

#include "XPathTestSupport.h"
#include "xpath/qelXPathExpression2.h"

namespace {

const char* const CatalogText =
    "<catalog id=\"c\" xmlns:x=\"urn:x\">"
    "<item id=\"3\" price=\"12.5\"><title lang=\"en\">Book</title><price currency=\"EUR\">10</price></item>"
    "<x:group id=\"03\"><x:sub/></x:group>"
    "<itemitem/>"
    "</catalog>";

class EvaluatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Document = ParseDocument(CatalogText);
        Catalog = Document.get();
        Item = ElementAt(*Catalog, 1);
        Title = ElementAt(*Catalog, 2);
        Group = ElementAt(*Catalog, 4);
        Sub = ElementAt(*Catalog, 5);
        ItemItem = ElementAt(*Catalog, 6);
    }

    std::unique_ptr<TqelXMLParser2> Document;
    TqelXMLNode2* Catalog = nullptr;
    TqelXMLNode2* Item = nullptr;
    TqelXMLNode2* Title = nullptr;
    TqelXMLNode2* Group = nullptr;
    TqelXMLNode2* Sub = nullptr;
    TqelXMLNode2* ItemItem = nullptr;
};

// "1 - (1 - (... 1))" with count operands: all of them are pushed before the first "-".
std::string NestedDifference(int count)
{
    std::string text;
    for (int i = 1; i < count; ++i) text += "1 - (";
    return text + "1" + std::string(static_cast<std::size_t>(count - 1), ')');
}

}  // namespace

TEST_F(EvaluatorTest, NodeOperandsReadTheContextElement)
{
    CheckValues({{"name", "Text", "item"},
                 {"value", "Text", ""},
                 {"parentname", "Text", "catalog"},
                 {"childcount", "Integer", "2"},
                 {"namespace", "Text", ""},
                 {"basename", "Text", "item"},
                 {"@id", "Text", "3"},
                 {"@missing", "Text", ""},
                 {"child::title", "Text", "Book"},
                 {"child::title@lang", "Text", "en"},
                 {"child::price@currency", "Text", "EUR"},
                 {"child::nothing", "Text", ""},
                 {"child::title@nothing", "Text", ""},
                 {"parent::@id", "Text", "c"},
                 {"parent::whatever", "Text", ""},
                 {"Child::title", "Text", ""},
                 {"ancestor::catalog", "Text", ""}},
                Item);
    CheckValues({{"name", "Text", "x:group"},
                 {"namespace", "Text", "x"},
                 {"basename", "Text", "group"},
                 {"namespaceuri", "Text", "urn:x"}},
                Group);
    CHECK_VALUE_AT(Sub, "parentname", "Text", "x:group");
    CHECK_VALUE_AT(Catalog, "parentname", "Text", "");
    CHECK_VALUE_AT(Catalog, "parent::@id", "Text", "");
    CHECK_VALUE_AT(Title, "value", "Text", "Book");
}

TEST(Evaluator, NodeOperandsWithoutContextAreEmpty)
{
    CheckValues({{"name", "Text", ""},
                 {"value", "Text", ""},
                 {"parentname", "Text", ""},
                 {"childcount", "Integer", "0"},
                 {"namespace", "Text", ""},
                 {"basename", "Text", ""},
                 {"namespaceuri", "Text", ""},
                 {"@id", "Text", ""},
                 {"child::a", "Text", ""},
                 {"parent::@a", "Text", ""}});
}

TEST_F(EvaluatorTest, ComparesAttributesAsTextOrNumbers)
{
    CheckValues({{"@id = '3'", "Boolean", "True"},
                 {"@id = 3", "Boolean", "True"},
                 {"@price > 10", "Boolean", "True"},
                 {"childcount > 1", "Boolean", "True"},
                 {"childcount = '2'", "Boolean", "True"},
                 {"name = 'Item'", "Boolean", "False"},
                 {"name like 'ITEM'", "Boolean", "True"},
                 {"@missing = 3", "Null", ""},
                 {"child::title = ''", "Boolean", "False"},
                 {"child::nothing = ''", "Boolean", "True"},
                 {"hasattribute('id') = 1", "Boolean", "False"},
                 {"hasattribute('id') = 'true'", "Boolean", "True"},
                 {"hasattribute('id')", "Boolean", "True"},
                 {"(@id = 1 or @id = 3) and name = 'item'", "Boolean", "True"}},
                Item);
    CHECK_VALUE_AT(Group, "@id = '3'", "Boolean", "False");
    CHECK_VALUE_AT(Group, "@id = 3", "Boolean", "True");
}

TEST(Evaluator, AppliesTheValueRules)
{
    CheckValues({{"'ab' + 'cd'", "Text", "abcd"},
                 {"'2' + 3", "Double", "5"},
                 {"'2' + '3'", "Text", "23"},
                 {"7 / 2", "Double", "3.5"},
                 {"1 - 2 + 3", "Double", "-4"},
                 {"8 / 2 * 2", "Double", "2"},
                 {"2 * 3 + 1", "Double", "7"},
                 {"pi > 3.14", "Boolean", "True"},
                 {"1 / 0", "Null", ""},
                 {"0 / 0", "Null", ""},
                 {"'x' * 2", "Null", ""},
                 {"= 1", "Boolean", "False"},
                 {"-5", "Null", ""},
                 {"not 1 = 1", "Boolean", "False"},
                 {"not (1 = 2)", "Boolean", "True"},
                 {"not 0", "Integer", "-1"},
                 {"not", "Null", ""},
                 {"6 and 3", "Integer", "2"},
                 {"1 = 1 or 'x'", "Null", ""},
                 {"1 = 1 and 'TRUE'", "Boolean", "True"},
                 {"name value", "Text", ""},
                 {"'a' 'b'", "Text", "b"},
                 {"'a' word", "Text", "a"},
                 {"word", "Null", ""},
                 {"", "Null", ""},
                 {"!", "Null", ""},
                 {"name = 'x')", "Boolean", "False"},
                 {"'x' = 'x') or 1 = 2", "Boolean", "True"}});
}

// "like": "%" at the start, the end or both; letter case ignored; no other wildcard.
TEST(Evaluator, LikeMatchesPatterns)
{
    CheckValues({{"'item' like '%em'", "Boolean", "True"},
                 {"'itemitem' like '%em'", "Boolean", "True"},
                 {"'item' like '%EM'", "Boolean", "True"},
                 {"'Item' like 'it%'", "Boolean", "True"},
                 {"'abc' like 'abc%'", "Boolean", "True"},
                 {"'abc' like '%ABC'", "Boolean", "True"},
                 {"'item' like 'em%'", "Boolean", "False"},
                 {"'item' like '%te%'", "Boolean", "True"},
                 {"'item' like '%x%'", "Boolean", "False"},
                 {"'item' like '%'", "Boolean", "False"},
                 {"'item' like '%%'", "Boolean", "False"},
                 {"'' like '%'", "Boolean", "False"},
                 {"'item' like 'i%m'", "Boolean", "False"},
                 {"'a%b' like '%%b'", "Boolean", "True"},
                 {"'ab' like '%%b'", "Boolean", "False"},
                 {"'item' like 'ITEM'", "Boolean", "True"},
                 {"'item' like 'items'", "Boolean", "False"},
                 {"'m' like '%em'", "Boolean", "False"},
                 {"'' like ''", "Boolean", "True"},
                 {"(1 = 1) like 'true'", "Boolean", "True"},
                 {"1 = 1 like 'true'", "Boolean", "False"},
                 {"'x' like", "Null", ""}});
}

TEST(Evaluator, InTestsCommaLists)
{
    CheckValues({{"'b' in 'a,b,c'", "Boolean", "True"},
                 {"'b' in 'a, b, c'", "Boolean", "False"},
                 {"'a,b' in 'a,b,c'", "Boolean", "True"},
                 {"'B' in 'a,b,c'", "Boolean", "False"},
                 {"'' in 'a,,c'", "Boolean", "True"},
                 {"'' in 'a'", "Boolean", "False"},
                 {"3 in '1,2,3'", "Boolean", "True"},
                 {"(1 = 1) in 'True,False'", "Boolean", "True"},
                 {"'a' in", "Null", ""}});
}

// A left operand that decides "and" or "or" gives the same value as running the
// right one would: Null where the right one fails or is no Boolean, and the
// attribute hook still runs.
TEST_F(EvaluatorTest, DecidedLogicGivesWhatTheRightOperandWouldHaveGiven)
{
    std::string overflow;
    for (int i = 0; i < 99; ++i) overflow += "'a' ";
    CheckValues({{"1 = 2 and childcount > 1", "Boolean", "False"},
                 {"@id = '3' or name = 'x' and value = ''", "Boolean", "True"},
                 {"1 = 2 and @missing = 3", "Null", ""},
                 {"1 = 2 and 6", "Integer", "0"},
                 {"1 = 2 and not 0", "Integer", "0"}},
                Item);
    CHECK_NULL_AT(Item, overflow + "1 = 2 and 1 = 1");  // the right operand overflows the stack

    TqelXPathExpression2 expression;
    expression.SetExpression("1 = 2 and @id = '3'");
    expression.SetNode(Item);
    int calls = 0;
    expression.SetOnGetAttribute([&calls](TqelXPathExpression2&, const std::string&, Variant& value, bool& handled) {
        ++calls;
        value = Variant::FromText("3");
        handled = true;
    });
    Variant result;
    expression.Evaluate(result);
    EXPECT_EQ(Describe(result), "Boolean: False");
    EXPECT_EQ(calls, 1);
}

TEST_F(EvaluatorTest, AttributeHookDecidesWhatReferencesGive)
{
    TqelXPathExpression2 expression;
    expression.SetExpression("@price + @id");
    expression.SetNode(Item);
    Variant result;
    expression.Evaluate(result);
    EXPECT_EQ(Describe(result), "Text: 12.53");

    expression.SetOnGetAttribute([](TqelXPathExpression2&, const std::string& name, Variant& value, bool& handled) {
        if (name == "price") {
            value = Variant::FromText("P");
            handled = true;
        }
    });
    expression.Evaluate(result);
    EXPECT_EQ(Describe(result), "Text: Pid") << "an unhandled reference gives its name";

    expression.SetOnGetAttribute(nullptr);
    expression.Evaluate(result);
    EXPECT_EQ(Describe(result), "Text: priceid");
}

// Names, attribute values and literals are read without copying while the
// expression runs; a result must not depend on them afterwards.
TEST_F(EvaluatorTest, ResultsKeepTheirTextWhenTheSourceChanges)
{
    TqelXPathExpression2 expression;
    expression.SetNode(Item);
    Variant name;
    Variant attribute;
    Variant literal;
    expression.SetExpression("name");
    expression.Evaluate(name);
    expression.SetExpression("@price");
    expression.Evaluate(attribute);
    expression.SetExpression("'literal'");
    expression.Evaluate(literal);
    expression.SetExpression("");
    Item->SetName("renamed");
    Item->SetAttribute("price", "9");

    EXPECT_EQ(Describe(name), "Text: item");
    EXPECT_EQ(Describe(attribute), "Text: 12.5");
    EXPECT_EQ(Describe(literal), "Text: literal");
}

// The stack holds 101 values; a 102nd push ends the evaluation with Null.
TEST(Evaluator, ValueStackHoldsOneHundredAndOneValues)
{
    CHECK_VALUE(NestedDifference(101), "Double", "1");
    CHECK_NULL(NestedDifference(102));
    CHECK_NULL(NestedDifference(5000));

    std::string operands;
    for (int i = 0; i < 101; ++i) operands += "1 ";
    CHECK_VALUE(operands + "'last'", "Null", "");
    CHECK_VALUE(operands.substr(2) + "'last'", "Text", "last");
}

TEST_F(EvaluatorTest, EvaluationsStartFromAnEmptyStack)
{
    TqelXPathExpression2 expression;
    Variant result = Variant::FromText("stale");
    expression.Evaluate(result);
    EXPECT_EQ(Describe(result), "Null") << "an empty expression";

    expression.SetExpression("'a' 'b'");
    expression.Evaluate(result);
    EXPECT_EQ(Describe(result), "Text: b");
    expression.SetExpression("+ 'c'");
    expression.Evaluate(result);
    EXPECT_EQ(Describe(result), "Null") << "values of an earlier run are gone";

    expression.SetExpression("name");
    for (TqelXMLNode2* node : {Item, Title, Group}) {
        expression.SetNode(node);
        expression.Evaluate(result);
        EXPECT_EQ(Describe(result), "Text: " + node->Name);
    }
    EXPECT_EQ(expression.StackCount, 0);
    EXPECT_EQ(Describe(expression.Pop()), "Null");
}

TEST(Evaluator, NeverRaisesOnHostileText)
{
    const std::string hostile[] = {
        "((((", "))))", ") ( ) (", "= = = =", "and or not", "like like in in", "@ @ @ @",
        "lower upper trim", "'a' + + + +", "mid left right", "::", "a::b::c@@d", "1e999",
        "99999999999999999999999999999 * 99999999999999999999999999999",
        "format format format", "dateadd dateadd", "assign get", "#,#,#", "replace('a', '', 'b')",
    };
    for (const auto& text : hostile) EXPECT_NO_THROW(EvaluateAt(text, nullptr)) << text;
    CHECK_NULL(std::string(300, '9') + " * " + std::string(300, '9'));
}
