// Text search, replacement, pairs, brackets, case folding and the phonetic code.

#include <gtest/gtest.h>

#include <sstream>

#include "core/qelStrings.h"

namespace {

struct TFindCase {
    const char* Sub;
    const char* S;
    int Start;
    int Exact;     // FindFrom
    int Folded;    // FindTextFrom
};

const TFindCase FindCases[] = {
    {"abc", "xabcx", 1, 2, 2},
    {"abc", "xABCx", 1, 0, 2},
    {"a", "banana", 3, 4, 4},
    {"a", "banana", 7, 0, 0},    // start past the end
    {"na", "banana", 6, 0, 0},   // does not fit any more
    {"na", "banana", 5, 5, 5},
    {"", "banana", 1, 0, 0},     // an empty sub is never found
    {"a", "", 1, 0, 0},
    {"\xe0\xe1", "x\xc0\xc1", 1, 0, 2},  // small Cyrillic letters fold onto capitals
    {"\x9a", "\x8a", 1, 0, 1},
};

TEST(StringsFind, ExactAndFolded)
{
    for (const auto& c : FindCases) {
        EXPECT_EQ(FindFrom(c.Sub, c.S, c.Start), c.Exact) << c.Sub << " in " << c.S << " from " << c.Start;
        EXPECT_EQ(FindTextFrom(c.Sub, c.S, c.Start), c.Folded) << c.Sub << " in " << c.S << " from " << c.Start;
    }
}

TEST(StringsFind, UpperCaseTableFoldsOnlyItsLetters)
{
    EXPECT_EQ(UpperCaseChar('a'), 'A');
    EXPECT_EQ(UpperCaseChar('z'), 'Z');
    EXPECT_EQ(UpperCaseChar('A'), 'A');
    EXPECT_EQ(UpperCaseChar('{'), '{');
    EXPECT_EQ(UpperCaseChar(0xFF), 0xDF);
    EXPECT_EQ(UpperCaseChar(0xE0), 0xC0);
    EXPECT_EQ(UpperCaseChar(0xDF), 0xDF);
    EXPECT_EQ(UpperCaseChar(184), 168);
    EXPECT_EQ(UpperCaseChar(191), 175);
    EXPECT_EQ(UpperCaseChar(168), 168);
    EXPECT_EQ(UpperCaseChar(0xE9), 0xC9);
}

TEST(StringsReplace, LeftToRightWithoutOverlapOrRescan)
{
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceAll("a&lt;b&lt;", "&lt;", "<"), "a<b<");
    EXPECT_EQ(ReplaceAll("abc", "x", "y"), "abc");
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("abc", "", "y"), "abc");
    EXPECT_EQ(ReplaceAll("Abc", "a", "x"), "Abc");
}

TEST(StringsPairs, NameAndValue)
{
    EXPECT_EQ(PairName("k=v=w"), "k");
    EXPECT_EQ(PairValue("k=v=w"), "v=w");
    EXPECT_EQ(PairName("plain"), "plain");
    EXPECT_EQ(PairValue("plain"), "plain");
    EXPECT_EQ(PairName("=v"), "");
    EXPECT_EQ(PairValue("k="), "");
}

TEST(StringsBrackets, ItemsInOrderWithoutNesting)
{
    std::vector<std::string> items{"stale"};
    ExtractBracketedItems("[a] x [b c][] [d", items);
    EXPECT_EQ(items, (std::vector<std::string>{"a", "b c", ""}));
    ExtractBracketedItems("[a[b]c]", items);
    EXPECT_EQ(items, (std::vector<std::string>{"a[b"}));
    ExtractBracketedItems("none", items);
    EXPECT_TRUE(items.empty());
}

TEST(StringsPhonetic, Codes)
{
    EXPECT_EQ(PhoneticCode(""), 0);
    EXPECT_EQ(PhoneticCode("Robert"), 82 + 1 * 26 + 6 * 156 + 3 * 936);
    EXPECT_EQ(PhoneticCode("robert"), PhoneticCode("Robert"));
    EXPECT_EQ(PhoneticCode("Rupert"), PhoneticCode("Robert"));
    EXPECT_EQ(PhoneticCode("A"), 65);
    EXPECT_EQ(PhoneticCode("Abb"), 65 + 26);          // a repeated digit counts once
    EXPECT_EQ(PhoneticCode("Abab"), 65 + 26);         // vowels keep the previous digit
    EXPECT_EQ(PhoneticCode("Bb"), 66 + 26);           // the first letter's digit is not compared
    EXPECT_EQ(PhoneticCode("1x"), '1' + 2 * 26);
    // Long texts are scanned to their end.
    EXPECT_EQ(PhoneticCode("A" + std::string(300, 'e') + "m"), 65 + 5 * 26);
}

TEST(StringsStreams, WriteAtPositionAndReadFromStart)
{
    std::stringstream stream;
    WriteStringToStream("hello", stream);
    WriteStringToStream(std::string("\0\r\n", 3), stream);
    EXPECT_EQ(ReadStreamText(stream), std::string("hello\0\r\n", 8));
    std::stringstream empty;
    EXPECT_EQ(ReadStreamText(empty), "");
}

}  // namespace

namespace {

TEST(StringsFolded, SameTextAndReplaceIgnoringCase)
{
    EXPECT_TRUE(SameText("True", "tRUE"));
    EXPECT_TRUE(SameText("\xe0x", "\xc0X"));
    EXPECT_FALSE(SameText("true", "true "));
    EXPECT_FALSE(SameText("a", "b"));
    EXPECT_EQ(ReplaceAllText("aAa", "a", "b"), "bbb");
    EXPECT_EQ(ReplaceAllText("Abc", "B", "xx"), "Axxc");
    EXPECT_EQ(ReplaceAllText("aaaa", "AA", "a"), "aa");
    EXPECT_EQ(ReplaceAllText("abc", "", "x"), "abc");
}

// Control bytes in a message are shown, not dropped; TAB, CR and LF and every
// byte from 32 up stay as they are.
TEST(StringsMessages, ControlBytesAreShownVisibly)
{
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"near <\0\0a\0"s, "near <\\0\\0a\\0"},
        {"\x01\x1f\x7f\xe9"s, "\\x01\\x1f\x7f\xe9"},
        {"a\tb\r\nc"s, "a\tb\r\nc"},
    };
    for (const auto& [message, shown] : cases) EXPECT_EQ(VisibleControlBytes(message), shown) << shown;
}

}  // namespace
