// The functions that look at the context element and the XEL variables.

#include "XPathTestSupport.h"

namespace {

const char* const ProgramText =
    "<root>"
    "<xel:program>"
    "<xel:var id=\"count\">3</xel:var>"
    "<xel:var id=\"shared\">p</xel:var>"
    "<other id=\"blocked\"/><xel:var id=\"blocked\">hidden</xel:var>"
    "<xel:function id=\"f\">"
    "<xel:var id=\"local\">L</xel:var>"
    "<xel:do id=\"shared\"/>"
    "<xel:do act=\"in f\"/>"
    "<xel:function id=\"inner\"><xel:var id=\"count\">inner</xel:var><xel:if><xel:do act=\"deep\"/></xel:if></xel:function>"
    "</xel:function>"
    "<xel:function id=\"g\"><xel:do act=\"in g\"/></xel:function>"
    "<xel:do act=\"in program\"/>"
    "</xel:program>"
    "<outside/>"
    "</root>";

class ContextFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override { Document = ParseDocument(ProgramText); }
    // The first element whose "act" attribute is act, or whose name is act.
    TqelXMLNode2* Find(std::string_view act)
    {
        for (int i = 0;; ++i) {
            TqelXMLNode2* node = ElementAt(*Document, i);
            if (node == nullptr || node->GetAttribute("act") == act || node->Name == act) return node;
        }
    }
    std::unique_ptr<TqelXMLParser2> Document;
};

}  // namespace

TEST_F(ContextFunctionsTest, HasAttributeAndHasChildTestTheContextElement)
{
    auto document = ParseDocument("<a id=\"1\" X=\"\"><b><c/></b><x:d/></a>");
    CheckValues({{"hasattribute('id')", "Boolean", "True"},
                 {"hasattribute('X')", "Boolean", "True"},
                 {"hasattribute('x')", "Boolean", "False"},
                 {"haschild('b')", "Boolean", "True"},
                 {"haschild('x:d')", "Boolean", "True"},
                 {"haschild('c')", "Boolean", "False"},
                 {"haschild('B')", "Boolean", "False"},
                 {"haschild()", "Null", ""}},
                document.get());
    CheckValues({{"hasattribute('id')", "Boolean", "False"}, {"haschild('b')", "Boolean", "False"}});
}

// Scope is lexical: the enclosing functions, nearest first, then the program.
TEST_F(ContextFunctionsTest, GetFindsTheVisibleVariable)
{
    CheckValues({{"get('local')", "Text", "L"},
                 {"get('count')", "Text", "3"},
                 {"get('shared')", "Text", "p"},
                 {"get('nothing')", "Text", ""}},
                Find("in f"));
    CheckValues({{"get('count')", "Text", "inner"}, {"get('local')", "Text", "L"}, {"get('shared')", "Text", "p"}},
                Find("deep"));
    CheckValues({{"get('local')", "Text", ""}, {"get('count')", "Text", "3"}}, Find("in g"));
    CheckValues({{"get('count')", "Text", "3"}, {"get('local')", "Text", ""}}, Find("in program"));
    // The first child with the id decides; an element that is not a variable hides the later one.
    CHECK_VALUE_AT(Find("in program"), "get('blocked')", "Text", "");
    // The context element itself is never searched.
    CHECK_VALUE_AT(Find("xel:program"), "get('count')", "Text", "");
    CHECK_VALUE_AT(Find("outside"), "get('count')", "Text", "");
    CHECK_VALUE("get('count')", "Text", "");
    CHECK_NULL_AT(Find("in f"), "get()");
}

TEST_F(ContextFunctionsTest, AssignSetsTheVisibleVariable)
{
    TqelXMLNode2* action = Find("in f");
    TqelXMLNode2* count = action->FindXelVariable("count");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->Name, "xel:var");

    CHECK_VALUE_AT(action, "assign('count', get('count') + 1)", "Boolean", "True");
    EXPECT_EQ(count->Text, "4");
    CHECK_VALUE_AT(Find("in g"), "assign('count', get('count') + 1)", "Boolean", "True");
    EXPECT_EQ(count->Text, "5");
    CHECK_VALUE_AT(action, "assign('count', get('count') + '1')", "Boolean", "True");
    EXPECT_EQ(count->Text, "51") << "Text + Text joins";
    CHECK_VALUE_AT(action, "assign('count', 1 = 1)", "Boolean", "True");
    EXPECT_EQ(count->Text, "True");
    CHECK_VALUE_AT(action, "assign('count', '<b>')", "Boolean", "True");
    EXPECT_TRUE(count->NeedsCData);

    CHECK_VALUE_AT(Find("deep"), "assign('count', 'x')", "Boolean", "True");
    EXPECT_EQ(Find("deep")->FindXelVariable("count")->Text, "x");
    EXPECT_EQ(count->Text, "<b>") << "the inner function's own variable took it";

    CHECK_VALUE_AT(action, "assign('nothing', 1)", "Boolean", "False");
    CHECK_VALUE_AT(Find("outside"), "assign('count', 1)", "Boolean", "False");
    CHECK_VALUE("assign('x', 1)", "Boolean", "False");
    CHECK_NULL_AT(action, "assign('count')");
    CHECK_NULL_AT(action, "assign('count', 1 / 0)");
    EXPECT_EQ(count->Text, "<b>");
}
