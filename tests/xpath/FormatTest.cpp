// The directive parser behind "format" and "trunc", called directly.

#include "XPathTestSupport.h"
#include "xpath/qelXPathFormat.h"

namespace {

const std::string Refused = "(refused)";

std::string Integer(std::string_view pattern, std::int32_t value)
{
    std::string result;
    return FormatInteger(pattern, value, result) ? result : Refused;
}

std::string Float(std::string_view pattern, double value)
{
    std::string result;
    return FormatFloat(pattern, value, result) ? result : Refused;
}

std::string Text(std::string_view pattern, std::string_view value)
{
    std::string result;
    return FormatText(pattern, value, result) ? result : Refused;
}

}  // namespace

TEST(FormatDirective, KindComesFromTheLastByte)
{
    EXPECT_EQ(FormatKindOf("%5d"), fkInteger);
    EXPECT_EQ(FormatKindOf("%x"), fkInteger);
    EXPECT_EQ(FormatKindOf("%d items"), fkText);
    EXPECT_EQ(FormatKindOf("[%d]"), fkFloat);
    EXPECT_EQ(FormatKindOf("%.2f"), fkFloat);
    EXPECT_EQ(FormatKindOf(""), fkFloat);
}

// Flags, width and precision within their bounds; each flag only where it applies.
TEST(FormatDirective, AcceptsTheSubset)
{
    const struct {
        const char* Pattern;
        std::int32_t Value;
        const char* Result;
    } integers[] = {
        {"%d", -42, "-42"},       {"%5d", 42, "   42"},     {"%-5d|", 42, "42   |"},
        {"[%-5d]d", 42, "[42   ]d"}, {"%+d", 5, "+5"},    {"% d", 5, " 5"},
        {"%05d", -5, "-0005"},    {"%.3d", 7, "007"},       {"%x", 255, "ff"},
        {"%#x", 255, "0xff"},     {"%08x", 255, "000000ff"}, {"%x", -1, "ffffffff"},
        {"%d", -2147483647 - 1, "-2147483648"},             {"%%%d%%d", 1, "%1%d"},
        {"%255d", 1, nullptr},    {"%.99d", 1, nullptr},    {"%256d", 1, Refused.c_str()},
        {"%.100d", 1, Refused.c_str()}, {"%+x", 1, Refused.c_str()}, {"%#d", 1, Refused.c_str()},
        {"%s", 1, Refused.c_str()}, {"%f", 1, Refused.c_str()}, {"%d%d", 1, Refused.c_str()},
    };
    for (const auto& c : integers) {
        const std::string got = Integer(c.Pattern, c.Value);
        if (c.Result != nullptr)
            EXPECT_EQ(got, c.Result) << c.Pattern;
        else
            EXPECT_NE(got, Refused) << c.Pattern;
    }

    EXPECT_EQ(Float("%.2f", 3.14159), "3.14");
    EXPECT_EQ(Float("%+.1e", 31415.9), "+3.1e+04");
    EXPECT_EQ(Float("%#.0f", 3.0), "3.");
    EXPECT_EQ(Float("%G", 1e-10), "1E-10");
    EXPECT_EQ(Float("%010.3f", -3.14159), "-00003.142");
    EXPECT_EQ(Float("%.0f", 0.5), "0");
    EXPECT_EQ(Float("%.0f", 1.5), "2");
    EXPECT_EQ(Float("%.99f", 1e308).size(), 409u);
    EXPECT_EQ(Float("%255.99f", -1e308).size(), 410u);
    EXPECT_EQ(Float("%d", 1.0), Refused);

    EXPECT_EQ(Text("%s", "abc"), "abc");
    EXPECT_EQ(Text("%-5s|s", "ab"), "ab   |s");
    EXPECT_EQ(Text("%5s", "ab"), "   ab");
    EXPECT_EQ(Text("%.1s", "ab"), "a");
    EXPECT_EQ(Text("%3.1s", "ab"), "  a");
    EXPECT_EQ(Text("%s", std::string("a\0b", 3)), std::string("a\0b", 3)) << "no byte is lost";
    EXPECT_EQ(Text("%+s", "ab"), Refused);
    EXPECT_EQ(Text("%ls", "ab"), Refused);
}

TEST(FormatDirective, RefusesWhatIsOutsideTheSubset)
{
    const char* const patterns[] = {
        "%n",   "%s%s%s", "%999999999d", "%.9999999f", "%",    "%ls",  "%*d", "%.*f", "%1$d", "%ld",
        "%lld", "%hhd",   "%hd",         "%zd",        "%jd",  "%td",  "%Lf", "%lf",  "%qd",  "%p",
        "%c",   "%i",     "%u",          "%o",         "%X",   "%a",   "%A",  "%F",   "%.f",  "%5.d",
        "%--d", "%00d",   "abc",        "",     "%%",   "100%", "%d %", "% ",  "%#",
    };
    for (const char* pattern : patterns) {
        EXPECT_EQ(Integer(pattern, 7), Refused) << pattern;
        EXPECT_EQ(Float(pattern, 7.0), Refused) << pattern;
        EXPECT_EQ(Text(pattern, "x"), Refused) << pattern;
    }
}

TEST(FormatDirective, ValueTextFollowsTheKind)
{
    std::string result;
    EXPECT_TRUE(FormatValueText("%d", " 42 ", result));
    EXPECT_EQ(result, "42");
    EXPECT_FALSE(FormatValueText("%d", "4.0", result));
    EXPECT_FALSE(FormatValueText("%d", "2147483648", result));
    EXPECT_FALSE(FormatValueText("%x", "0x1F", result));
    EXPECT_TRUE(FormatValueText("%.1f", "1e3", result));
    EXPECT_EQ(result, "1000.0");
    EXPECT_FALSE(FormatValueText("%f", "inf", result));
    EXPECT_FALSE(FormatValueText("%f", "", result));
}
