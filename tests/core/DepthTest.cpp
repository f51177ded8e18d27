// Documents nested a million levels deep load, write, clone, search and die
// without exhausting the call stack.

#include <gtest/gtest.h>

#include "TestFiles.h"

namespace {

constexpr int Depth = 1000000;

std::string DeepText()
{
    std::string text;
    text.reserve(static_cast<std::size_t>(Depth) * 9 + 32);
    for (int i = 0; i < Depth; ++i) text += "<e>";
    text += "<leaf id='bottom'/>";
    for (int i = 0; i < Depth; ++i) text += "</e>";
    return text;
}

int DepthOf(const TqelXMLNode2& root)
{
    int depth = 0;
    for (const TqelXMLNode2* node = &root; node->Children.Count() > 0; node = node->Children[0]) ++depth;
    return depth;
}

TEST(DepthStress, AMillionLevels)
{
    auto doc = Parsed(DeepText());
    ASSERT_EQ(doc->LastError, "");
    EXPECT_EQ(DepthOf(*doc), Depth);

    TqelXMLNode2* leaf = doc->FindChild("leaf", true);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(doc->FindById("bottom", true), leaf);
    EXPECT_EQ(leaf->FindAncestor("nothing"), nullptr);

    {
        auto copy = doc->Clone();
        EXPECT_EQ(DepthOf(*copy), Depth);
    }  // and destroyed again

    const std::string written = doc->GetXMLText();
    EXPECT_NE(written.find("<leaf id='bottom'/>"), std::string::npos);
    doc->LoadFromText(written);
    ASSERT_EQ(doc->LastError, "");
    EXPECT_EQ(DepthOf(*doc), Depth);

    // A failed parse of a deep text reports the partial tree, written without recursion.
    doc->LoadFromText(DeepText().substr(0, static_cast<std::size_t>(Depth) * 3));
    EXPECT_EQ(doc->LastError.substr(0, 17), "Expected < when p");
    EXPECT_EQ(DepthOf(*doc), Depth - 1);
}

}  // namespace
