// Selection over a subtree, the single-element test, the replacements for
// expressions inside attributes, and the per-document cache.

#include "XPathTestSupport.h"
#include "xpath/qelXPathParser2.h"

namespace {

const char* const ShopText =
    "<shop id=\"0\">"
    "<item id=\"1\"/>"
    "<group><item id=\"2\"><item id=\"3\"/></item></group>"
    "<other/>"
    "</shop>";

// The ids (or names, for elements without one) of the listed elements.
std::string Ids(const TqelNodeRefList& list)
{
    std::string ids;
    for (const TqelXMLNode2* node : list) {
        if (!ids.empty()) ids += ' ';
        ids += node->HasAttribute("id") ? node->GetAttribute("id") : node->Name;
    }
    return ids;
}

// The ids of the elements selected from start, or the error followed by what was listed before it.
std::string SelectIds(TqelXMLNode2* start, std::string_view expression, bool stopAtMatch = false)
{
    TqelNodeRefList list;
    try {
        SelectNodesDirect(start, list, expression, stopAtMatch);
    } catch (const EVariantError& e) {
        return std::string(e.what()) + " after [" + Ids(list) + "]";
    }
    return Ids(list);
}

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override { Shop = ParseDocument(ShopText); }
    TqelXMLNode2* Element(int index) { return ElementAt(*Shop, index); }

    std::unique_ptr<TqelXMLParser2> Shop;
};

const std::string ConversionError = "Invalid variant type conversion";

}  // namespace

TEST_F(SelectionTest, WalksTheSubtreeInDocumentOrder)
{
    const struct {
        const char* Expression;
        bool StopAtMatch;
        const char* Ids;
    } cases[] = {
        {"name = 'item'", false, "1 2 3"},
        {"name = 'item'", true, "1 2"},
        {"1 = 1", false, "0 1 group 2 3 other"},
        {"1 = 1", true, "0"},
        {"name <> 'item'", false, "0 group other"},
        {"childcount > 0", false, "0 group 2"},
        {"haschild('item')", false, "0 group 2"},
        {"parentname = 'item'", false, "3"},
        {"'0'", false, ""},
        {"'TRUE'", false, "0 1 group 2 3 other"},
    };
    for (const auto& c : cases) EXPECT_EQ(SelectIds(Shop.get(), c.Expression, c.StopAtMatch), c.Ids) << c.Expression;
    EXPECT_EQ(SelectIds(Element(2), "name = 'group' or name = 'item'"), "group 2 3") << "the start element comes first";
    EXPECT_EQ(SelectIds(Element(3), "name = 'item'", true), "2");
    EXPECT_EQ(SelectIds(nullptr, "1 = 1"), "");
}

// A result that is no Boolean stops the walk at that element with the conversion
// error; the list keeps what was appended before.
TEST_F(SelectionTest, StopsAtTheFirstResultThatIsNoBoolean)
{
    EXPECT_EQ(SelectIds(Shop.get(), "name"), ConversionError + " after []");
    EXPECT_EQ(SelectIds(Shop.get(), ""), ConversionError + " after []");
    EXPECT_EQ(SelectIds(Shop.get(), "@id"), ConversionError + " after [1]");
    EXPECT_EQ(SelectIds(Shop.get(), "@id = 3"), ConversionError + " after []");
    // Both operands of "and" are evaluated: the group has no id to compare.
    EXPECT_EQ(SelectIds(Shop.get(), "name = 'item' and @id = 3"), ConversionError + " after []");
    EXPECT_EQ(SelectIds(Shop.get(), "name = 'item' and @id = '3'"), "3");
    EXPECT_EQ(SelectIds(Element(3), "@id &gt; 1 and @id &lt; 3"), "2");
}

TEST_F(SelectionTest, ReplacesOperatorsWrittenForAttributes)
{
    EXPECT_EQ(SelectIds(Element(1), "@id &lt; 5"), "1");
    EXPECT_EQ(SelectIds(Element(2), "@id &lt;= 2 and name = 'item'"), ConversionError + " after []");
    EXPECT_EQ(SelectIds(Element(3), "@id &gt;= 2"), "2 3");
    EXPECT_EQ(SelectIds(Element(3), "@id != 2"), "3");
    EXPECT_EQ(SelectIds(Element(3), "@id&lt;&gt;2"), "3");
    CHECK_VALUE("'a!=b'", "Text", "a<>b");
    CHECK_VALUE("'&lt;&gt;&amp;'", "Text", "<>&amp;");
    CHECK_VALUE("'&amp;lt;'", "Text", "&amp;lt;");
}

TEST_F(SelectionTest, TestConvertsTheResultToBoolean)
{
    TqelXPathParser2 parser;
    parser.SetExpression("@id = '2'");
    EXPECT_TRUE(parser.Test(Element(3)));
    EXPECT_FALSE(parser.Test(Element(1)));
    EXPECT_EQ(parser.Expression->Node, Element(1));
    parser.SetExpression("@id");
    EXPECT_TRUE(parser.Test(Element(3)));
    EXPECT_FALSE(parser.Test(Shop.get()));
    try {
        parser.Test(Element(2));
        ADD_FAILURE() << "empty text is no Boolean";
    } catch (const EVariantError& e) {
        EXPECT_EQ(std::string(e.what()), ConversionError);
    }
    parser.SetExpression("1 / 0");
    EXPECT_THROW(parser.Test(nullptr), EVariantError);
}

TEST_F(SelectionTest, CachesCompiledExpressionsPerDocumentAndText)
{
    TqelXPathParser2& first = Shop->GetXPathParser("name='A'");
    EXPECT_EQ(&Shop->GetXPathParser("name='A'"), &first);
    TqelXPathParser2& other = Shop->GetXPathParser("name='a'");
    EXPECT_NE(&other, &first);
    ASSERT_TRUE(Shop->PathCache);
    EXPECT_EQ(Shop->PathCache->Count(), 2);
    EXPECT_EQ(Shop->PathCache->Strings(1), "name='a'");
    EXPECT_EQ(Shop->PathCache->Objects(0), &first);

    TqelNodeRefList list;
    Element(1)->SelectNodes(*Shop, list, false, "@id &lt; 5");
    EXPECT_EQ(Ids(list), "1");
    EXPECT_EQ(Shop->PathCache->IndexOf("@id &lt; 5"), 2) << "cached under the text as given";
    Element(3)->SelectNodes(*Shop, list, false, "@id &lt; 5");
    EXPECT_EQ(Ids(list), "1 2 3") << "appends, never clears";
    EXPECT_EQ(Shop->PathCache->Count(), 3);

    auto second = ParseDocument("<a/>");
    EXPECT_NE(&second->GetXPathParser("name='A'"), &first);

    SelectIds(Shop.get(), "name = 'unused'");
    EXPECT_EQ(Shop->PathCache->IndexOf("name = 'unused'"), -1) << "a direct selection compiles for itself";

    Shop->LoadFromText("<b/>");
    EXPECT_TRUE(!Shop->PathCache || Shop->PathCache->Count() == 0) << "a whole-document parse empties the cache";
    EXPECT_TRUE(Shop->GetXPathParser("name='b'").Test(Shop.get()));
    EXPECT_EQ(Shop->PathCache->Count(), 1);
}

// The walk keeps its own stack: the depth of the tree never reaches the call stack.
TEST(SelectionStress, WalksVeryDeepDocuments)
{
    constexpr int Depth = 1000000;
    TqelXMLNode2 root;
    TqelXMLNode2* middle = nullptr;
    TqelXMLNode2* node = &root;
    for (int i = 1; i < Depth; ++i) {
        node = node->AddChild(std::make_unique<TqelXMLNode2>());
        if (i == Depth / 2) middle = node;
    }
    middle->SetText("m");

    TqelNodeRefList list;
    SelectNodesDirect(&root, list, "childcount = 0", false);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], node);

    list.clear();
    SelectNodesDirect(&root, list, "value = 'm'", true);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], middle);
}

TEST(Selection, ParserListOwnsItsEntries)
{
    TqelXPathParserList2 cache;
    EXPECT_EQ(cache.IndexOf("x"), -1);
    EXPECT_EQ(cache.AddObject("x", std::make_unique<TqelXPathParser2>()), 0);
    EXPECT_EQ(cache.AddObject("X", std::make_unique<TqelXPathParser2>()), 1);
    EXPECT_EQ(cache.IndexOf("X"), 1);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
}
