// The lossless save: an edit changes the bytes of the edited element only.

#include <functional>

#include <gtest/gtest.h>

#include "TestFiles.h"

namespace {

const std::string Document =
    "<?xml version=\"1.0\"?>\n"
    "<!-- head -->\n"
    "<list\tkind='a'>\n"
    "  <item id=\"1\" n='x'>one</item>\n"
    "  <!-- keep -->\n"
    "  <item id=\"2\">two<sub/>tail</item>\n"
    "</list>\n";

// Document with the first occurrence of from replaced by to.
std::string Replaced(const std::string& from, const std::string& to)
{
    std::string text = Document;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

struct TEditCase {
    const char* Edit;
    std::function<void(TqelXMLParser2& list, TqelXMLNode2& one, TqelXMLNode2& two)> Apply;
    std::string Expected;
};

TEST(LosslessSave, EachEditChangesOnlyTheEditedElement)
{
    const TEditCase cases[] = {
        {"rename", [](auto&, auto& one, auto&) { one.SetName("entry"); },
         Replaced("<item id=\"1\" n='x'>one</item>", "<entry id=\"1\" n='x'>one</entry>")},
        {"set an attribute, escaped in its own quotes", [](auto&, auto& one, auto&) { one.SetAttribute("n", "a&b\"'<"); },
         Replaced("n='x'", "n='a&amp;b\"&apos;&lt;'")},
        {"add an attribute in the quote the document uses most",
         [](auto&, auto&, auto& two) { two.SetAttribute("new", "v"); }, Replaced("id=\"2\">", "id=\"2\" new=\"v\">")},
        {"remove an attribute", [](auto&, auto& one, auto&) { one.RemoveAttribute(one.Attributes[0]); },
         Replaced("<item id=\"1\" n='x'>", "<item n='x'>")},
        {"set the text", [](auto&, auto& one, auto&) { one.SetText("1 < 2 & 3"); },
         Replaced(">one<", ">1 &lt; 2 &amp; 3<")},
        {"text of an element whose first child follows", [](auto&, auto&, auto& two) { two.SetText("2"); },
         Replaced(">two<sub/>tail", ">2<sub/>tail")},
        {"add a child, indented like its siblings",
         [](auto& list, auto&, auto&) {
             auto child = std::make_unique<TqelXMLNode2>();
             child->SetName("new");
             child->SetAttribute("k", "v");
             child->AddChild(std::make_unique<TqelXMLNode2>())->SetName("inner");
             list.AddChild(std::move(child));
         },
         Replaced("tail</item>\n", "tail</item>\n  <new k=\"v\">\n    <inner/>\n  </new>\n")},
        {"add a child to an empty-element tag",
         [](auto&, auto&, auto& two) { two.Children[0]->AddChild(std::make_unique<TqelXMLNode2>())->SetName("c"); },
         Replaced("<sub/>", "<sub>\n    <c/>\n  </sub>")},
        {"delete a child: its line goes, the comment stays",
         [](auto& list, auto& one, auto&) { list.DeleteChild(&one); },
         Replaced("\n  <item id=\"1\" n='x'>one</item>", "")},
        {"move a child to the end", [](auto& list, auto& one, auto&) { one.MoveTo(&list); },
         Replaced("\n  <item id=\"1\" n='x'>one</item>\n  <!-- keep -->\n  <item id=\"2\">two<sub/>tail</item>",
                  "\n  <!-- keep -->\n  <item id=\"2\">two<sub/>tail</item>\n  <item id=\"1\" n='x'>one</item>")},
        {"undo of a move: the same element back in its place",
         [](auto& list, auto& one, auto&) {
             one.MoveTo(&list);
             list.Children.Insert(0, list.Children.Delete(1));
         },
         Document},
        {"undo of a delete and of attribute edits",
         [](auto& list, auto& one, auto& two) {
             auto taken = list.Children.Delete(1);
             list.Children.Insert(1, std::move(taken));
             one.RemoveAttribute(one.Attributes[1]);
             one.Attributes.Insert(1, std::make_unique<TqelXMLAttribute2>("n", "x"));
             two.SetText("changed");
             two.SetText("two");
         },
         Document},
        {"an element's unchanged source applied again",
         [](auto& list, auto& one, auto&) { list.ParseFragment(&one, list.GetNodeXML(&one)); }, Document},
        {"an element rebuilt from new source text",
         [](auto& list, auto& one, auto&) { list.ParseFragment(&one, "<item  id='9'>nine<b/></item>"); },
         Replaced("<item id=\"1\" n='x'>one</item>", "<item  id='9'>nine<b/></item>")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Edit);
        TqelXMLParser2 list;
        list.LoadFromText(Document, TqelXMLReading::Standard);
        ASSERT_EQ(list.LastError, "");
        c.Apply(list, *list.Children[0], *list.Children[1]);
        ASSERT_EQ(list.LastError, "");
        EXPECT_EQ(list.GetXMLText(), c.Expected);
    }
}

// Rule: an element's text in the window is its lossless text, in UTF-8.
TEST(LosslessSave, ElementTextIsItsSource)
{
    TqelXMLParser2 list;
    list.LoadFromText(Document, TqelXMLReading::Standard);
    EXPECT_EQ(list.GetNodeXML(list.Children[1]), "<item id=\"2\">two<sub/>tail</item>");
    EXPECT_EQ(list.GetNodeXML(&list), Document);
}

}  // namespace
