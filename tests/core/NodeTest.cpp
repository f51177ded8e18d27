// Element operations: names, texts, attributes, searches and tree surgery.

#include <gtest/gtest.h>

#include "TestFiles.h"

namespace {

std::unique_ptr<TqelXMLNode2> Element(const std::string& name)
{
    auto node = std::make_unique<TqelXMLNode2>();
    node->SetName(name);
    return node;
}

TEST(NodeNames, PrefixComesFromTheFirstColonAndSurvivesAPlainName)
{
    TqelXMLNode2 node;
    node.SetName("p:item:x");
    EXPECT_EQ(node.Prefix, "p");
    node.SetName("item");
    EXPECT_EQ(node.Name, "item");
    EXPECT_EQ(node.Prefix, "p");
}

TEST(NodeText, NeedsCDataFollowsAngleBracketsOnly)
{
    TqelXMLNode2 node;
    node.SetText("a < b");
    EXPECT_TRUE(node.NeedsCData);
    node.SetText("a > b");
    EXPECT_TRUE(node.NeedsCData);
    node.SetText("fish & chips");
    EXPECT_FALSE(node.NeedsCData);
    node.SetText("&lt;");
    EXPECT_FALSE(node.NeedsCData);
}

TEST(NodeAttributes, SetByNameOverwritesInPlaceAndByIndexNeverAdds)
{
    TqelXMLNode2 node;
    node.SetAttribute("a", "1");
    node.SetAttribute("b", "2");
    node.SetAttribute("a", "3");
    EXPECT_EQ(Signature(node), "[a=3,b=2]");
    node.SetAttribute(5, "x");
    node.SetAttribute(-1, "x");
    EXPECT_EQ(Signature(node), "[a=3,b=2]");
    node.SetAttribute(1, "4");
    EXPECT_EQ(Signature(node), "[a=3,b=4]");

    EXPECT_EQ(node.GetAttribute(0), "3");
    EXPECT_EQ(node.GetAttribute(2), "");
    EXPECT_EQ(node.GetAttribute(-1), "");
    EXPECT_EQ(node.GetAttribute("b"), "4");
    EXPECT_EQ(node.GetAttribute("B"), "");  // names compare with letter case
    EXPECT_EQ(node.IndexOfAttribute("b"), 1);
    EXPECT_EQ(node.IndexOfAttribute("c"), -1);
    EXPECT_TRUE(node.HasAttribute("a"));
    EXPECT_FALSE(node.HasAttribute("c"));
}

TEST(NodeAttributes, RemoveOnlyOwnAttributes)
{
    TqelXMLNode2 a, b;
    a.SetAttribute("x", "1");
    b.SetAttribute("x", "1");
    EXPECT_FALSE(a.RemoveAttribute(b.Attributes[0]));
    EXPECT_EQ(a.Attributes.Count(), 1);
    EXPECT_TRUE(a.RemoveAttribute(a.Attributes[0]));
    EXPECT_EQ(a.Attributes.Count(), 0);
}

// Deep searches test a child, then its whole subtree, then the next sibling.
TEST(NodeSearch, DeepSearchIsPreOrderAndShallowStaysAtChildren)
{
    auto doc = Parsed("<r><b><c id='inner'/></b><c id='outer'/><d/></r>");
    ASSERT_EQ(doc->LastError, "");
    EXPECT_EQ(doc->FindChild("c", true)->GetAttribute("id"), "inner");
    EXPECT_EQ(doc->FindChild("c", false)->GetAttribute("id"), "outer");
    EXPECT_EQ(doc->FindChild("r", true), nullptr);  // the element itself is never tested
    EXPECT_EQ(doc->FindChild("zz", true), nullptr);
    EXPECT_EQ(doc->FindById("outer", true)->Name, "c");
    EXPECT_EQ(doc->FindById("inner", false), nullptr);
    // An empty id finds the first element without an "id" attribute.
    EXPECT_EQ(doc->FindById("", true)->Name, "b");
}

TEST(NodeSearch, AncestorsAndNamespaces)
{
    auto doc = Parsed("<x:root xmlns:x='urn:top'><x:mid xmlns:x=''><x:a/></x:mid><b/></x:root>");
    ASSERT_EQ(doc->LastError, "");
    TqelXMLNode2* a = doc->FindChild("x:a", true);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetNamespaceURI(), "urn:top");
    EXPECT_EQ(doc->FindChild("b", false)->GetNamespaceURI(), "");
    EXPECT_EQ(a->FindAncestor("x:root"), doc.get());
    EXPECT_EQ(a->FindAncestor("x:a"), nullptr);
}

TEST(NodeTree, ForceChildFindsOrCreates)
{
    TqelXMLNode2 root;
    TqelXMLNode2* made = root.ForceChild("vars");
    EXPECT_EQ(root.ForceChild("vars"), made);
    EXPECT_EQ(made->Parent, &root);
    EXPECT_EQ(root.Children.Count(), 1);
}

TEST(NodeTree, MoveToKeepsTheTreeATree)
{
    auto doc = Parsed("<r><a><a1/></a><b/></r>");
    TqelXMLNode2* a = doc->FindChild("a", false);
    TqelXMLNode2* a1 = doc->FindChild("a1", true);
    TqelXMLNode2* b = doc->FindChild("b", false);
    EXPECT_FALSE(doc->MoveTo(b));  // no parent
    EXPECT_FALSE(a->MoveTo(a));
    EXPECT_FALSE(a->MoveTo(a1));
    EXPECT_EQ(Signature(*doc), "r(a(a1),b)");
    EXPECT_TRUE(a->MoveTo(b));
    EXPECT_EQ(a->Parent, b);
    EXPECT_EQ(Signature(*doc), "r(b(a(a1)))");
}

TEST(NodeTree, DeleteChildOnlyDeletesDirectChildren)
{
    auto doc = Parsed("<r><a><a1/></a><b/></r>");
    doc->DeleteChild(doc->FindChild("a1", true));
    EXPECT_EQ(Signature(*doc), "r(a(a1),b)");
    doc->DeleteChild(doc->FindChild("a", false));
    EXPECT_EQ(Signature(*doc), "r(b)");
}

TEST(NodeTree, CloneIsDetachedAndDeep)
{
    auto doc = Parsed("<r><a k='v' j='w'>t<b>u</b><c/></a></r>");
    const TqelXMLNode2* a = doc->FindChild("a", false);
    ASSERT_EQ(a->Document, doc.get());
    auto copy = a->Clone();
    EXPECT_EQ(Signature(*copy), Signature(*a));
    EXPECT_EQ(copy->Parent, nullptr);
    EXPECT_EQ(copy->Document, nullptr);
    EXPECT_EQ(copy->Children[0]->Parent, copy.get());
    EXPECT_EQ(copy->Children[0]->Document, nullptr);
}

TEST(NodeList, DeleteHandsTheItemBack)
{
    TqelXMLNode2 root;
    TqelXMLNode2* a = root.AddChild(Element("a"));
    root.AddChild(Element("b"));
    EXPECT_EQ(root.Children.IndexOf(a), 0);
    std::unique_ptr<TqelXMLNode2> taken = root.Children.Delete(0);
    EXPECT_EQ(taken.get(), a);
    EXPECT_EQ(root.Children.Count(), 1);
    EXPECT_EQ(root.Children.IndexOf(a), -1);
    root.Children.Clear();
    EXPECT_EQ(root.Children.Count(), 0);
}

// The items sit in one block that moves as the list grows: positions hold across
// inserts, deletes and exchanges on either side of a move.
TEST(NodeList, PositionsHoldWhileTheListGrows)
{
    TqelXMLNode2 root;
    for (const char* name : {"b", "d", "e"}) root.AddChild(Element(name));
    root.Children.Insert(0, Element("a"));
    root.Children.Insert(2, Element("c"));  // moves the items to a larger block
    root.Children.Insert(5, Element("f"));  // at Count: appends
    root.Children.Exchange(0, 5);
    EXPECT_EQ(root.Children.Delete(1)->Name, "b");
    std::string names;
    for (const auto& child : root.Children) names += child->Name;
    EXPECT_EQ(names, "fcdea");
    EXPECT_EQ(root.Children.Last()->Name, "a");
}

}  // namespace
