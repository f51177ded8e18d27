// Huge inputs load, write, copy and die without trouble.

#include <gtest/gtest.h>

#include "TestFiles.h"

namespace {

TEST(HostileInputStress, AHundredMegabyteTextInOneElement)
{
    const std::size_t size = 100u << 20;
    std::string text = "<big>";
    text.append(size, 'x');
    text += "</big>";
    auto doc = Parsed(text);
    ASSERT_EQ(doc->LastError, "");
    EXPECT_EQ(doc->Text.size(), size);
    EXPECT_FALSE(doc->NeedsCData);
    const std::string written = doc->GetXMLText();
    EXPECT_EQ(written.size(), text.size() + 46);  // the declaration line
    auto copy = doc->Clone();
    EXPECT_EQ(copy->Text.size(), size);

    doc->LoadFromText(text, TqelXMLReading::Standard);
    ASSERT_EQ(doc->LastError, "");
    EXPECT_EQ(doc->Text.size(), size);
    EXPECT_EQ(doc->GetXMLText(), text);
}

TEST(HostileInputStress, AMillionAttributes)
{
    const int count = 1000000;
    std::string text = "<a";
    for (int i = 0; i < count; ++i) text += " n" + std::to_string(i) + "='" + std::to_string(i) + "'";
    text += " n7='again'/>";
    auto doc = Parsed(text);
    ASSERT_EQ(doc->LastError, "");
    ASSERT_EQ(doc->Attributes.Count(), count);
    EXPECT_EQ(doc->GetAttribute("n7"), "again");
    EXPECT_EQ(doc->GetAttribute(count - 1), std::to_string(count - 1));
    const std::string written = doc->GetXMLText();
    auto again = Parsed(written);
    EXPECT_EQ(again->Attributes.Count(), count);
    EXPECT_EQ(again->GetAttribute("n999999"), "999999");
}

TEST(HostileInputStress, AMillionSiblings)
{
    std::string text = "<list>";
    for (int i = 0; i < 1000000; ++i) text += "<i/>";
    text += "</list>";
    auto doc = Parsed(text);
    ASSERT_EQ(doc->LastError, "");
    EXPECT_EQ(doc->Children.Count(), 1000000);
}

// Every byte value, NUL included, goes through the scanner without harm.
TEST(HostileInput, EveryByteValue)
{
    auto doc = std::make_unique<TqelXMLParser2>();
    std::string bytes;
    for (int round = 0; round < 4; ++round)
        for (int c = 0; c < 256; ++c) bytes.push_back(static_cast<char>(c));
    for (std::size_t cut = 0; cut < bytes.size(); cut += 37) {
        doc->LoadFromText(bytes.substr(cut) + bytes.substr(0, cut));
        EXPECT_NE(doc->LastError, "");
    }
}

}  // namespace
