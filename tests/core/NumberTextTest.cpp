#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "core/NumberText.h"

namespace {

TFormatSettings WithDecimalSeparator(char separator)
{
    TFormatSettings settings;
    settings.DecimalSeparator = separator;
    return settings;
}

const TFormatSettings Dot = WithDecimalSeparator('.');
const TFormatSettings Comma = WithDecimalSeparator(',');
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct TFloatCase {
    const char* Text;
    double Value;
};

// Text to number: [spaces] [+|-] mantissa [exponent] [spaces], read to the nearest double.
TEST(TextToFloatTest, AcceptsTheGrammarAndRoundsCorrectly)
{
    const TFloatCase cases[] = {
        {"3", 3}, {"03", 3}, {"+3", 3}, {"  -3  ", -3}, {"3.", 3}, {".5", 0.5}, {"-.5", -0.5},
        {"1e3", 1000}, {"1E+03", 1000}, {"1.5e-3", 0.0015}, {"12.50", 12.5}, {"0", 0}, {"-0.0e0", 0},
        {"0.1", 0.1}, {"123456789012345678901234567890", 1.2345678901234568e29},
        {"1.7976931348623157e308", DBL_MAX}, {"2.2250738585072014E-308", DBL_MIN},
        {"4.9e-324", std::numeric_limits<double>::denorm_min()},
        {"9007199254740993", 9007199254740992.0},  // a tie, to the even neighbour
        // Too small for a double: 0, also with an exponent beyond any integer type.
        {"1e-400", 0}, {"-1e-400", 0}, {"0.0000001e-99999999999999999999", 0},
    };
    for (const TFloatCase& c : cases) {
        double value = -12345;
        EXPECT_TRUE(TextToFloat(c.Text, value, Dot)) << '"' << c.Text << '"';
        EXPECT_EQ(value, c.Value) << '"' << c.Text << '"';
    }
}

TEST(TextToFloatTest, RejectsEverythingElse)
{
    const char* const cases[] = {
        "", "   ", "+", "-", ".", "+.", "1,000", "1 000", "- 3", "3-", "(3)", "--3", "0x1A", "$1A", "&H1A",
        "inf", "-inf", "nan", "infinity", "1e999", "-1e999", "1e99999999999999999999", "1e", "e3", "1e+",
        "1e-", "1.2.3", "1e3.5", "1e3e3", ".e3", "3,5", "\t3", "3\n", "3\r", "1 e3", "12abc", "\xbd",
    };
    for (const char* text : cases) {
        double value = 0;
        EXPECT_FALSE(TextToFloat(text, value, Dot)) << '"' << text << '"';
    }
}

TEST(TextToFloatTest, UsesTheDecimalSeparatorOfTheSettings)
{
    double value = 0;
    EXPECT_TRUE(TextToFloat("3,5", value, Comma));
    EXPECT_EQ(value, 3.5);
    EXPECT_TRUE(TextToFloat(",25e1", value, Comma));
    EXPECT_EQ(value, 2.5);
    EXPECT_FALSE(TextToFloat("3.5", value, Comma));
}

// Text to integer: decimal digits only, from -2147483648 to 2147483647.
TEST(TextToIntTest, ReadsDecimalIntegersInRange)
{
    const struct {
        const char* Text;
        std::int32_t Value;
    } cases[] = {
        {"7", 7}, {"007", 7}, {"+5", 5}, {" -12 ", -12}, {"0", 0}, {"-0", 0},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"000000000002147483647", 2147483647},
    };
    for (const auto& c : cases) {
        std::int32_t value = -1;
        EXPECT_TRUE(TextToInt(c.Text, value)) << '"' << c.Text << '"';
        EXPECT_EQ(value, c.Value) << '"' << c.Text << '"';
    }
}

TEST(TextToIntTest, RejectsFractionsHexadecimalJunkAndOverflow)
{
    const char* const cases[] = {
        "", "  ", "+", "-", "4.0", "4.", "1e3", "0x1F", "$1F", "&H1F", "12abc", "1 2", "- 1", "\t1", "1\n",
        "2147483648", "-2147483649", "99999999999999999999",
    };
    for (const char* text : cases) {
        std::int32_t value = 0;
        EXPECT_FALSE(TextToInt(text, value)) << '"' << text << '"';
    }
}

TEST(IntToTextTest, WritesDecimalDigits)
{
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(42), "42");
    EXPECT_EQ(IntToText(-5), "-5");
    EXPECT_EQ(IntToText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

// The general form: 15 significant digits, fixed for decimal exponents -4 to 14.
TEST(FloatToTextTest, WritesTheGeneralForm)
{
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {0.1, "0.1"}, {1e20, "1E20"}, {1e-7, "1E-7"}, {3.0, "3"}, {-0.5, "-0.5"},
        {123456789012345678.0, "1.23456789012346E17"}, {0.1 + 0.2, "0.3"}, {-0.0, "0"}, {0.0, "0"},
        {0.0001, "0.0001"}, {0.00001, "1E-5"}, {1.5e-10, "1.5E-10"}, {1e15, "1E15"},
        {999999999999999.0, "999999999999999"}, {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"},
        {2147483648.0, "2147483648"}, {-1234.5, "-1234.5"}, {1e14, "100000000000000"},
        {999999999999999.9, "1E15"},  // rounding to 15 digits raises the exponent
        {0.000123456789012345678, "0.000123456789012346"}, {1e100, "1E100"}, {-1.5e-300, "-1.5E-300"},
        {DBL_MAX, "1.79769313486232E308"}, {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    for (const auto& c : cases) {
        std::string text = "unchanged";
        EXPECT_TRUE(FloatToText(c.Value, text, Dot)) << c.Text;
        EXPECT_EQ(text, c.Text);
    }
}

TEST(FloatToTextTest, UsesTheDecimalSeparatorAndRefusesNonFiniteValues)
{
    std::string text;
    EXPECT_TRUE(FloatToText(3.5, text, Comma));
    EXPECT_EQ(text, "3,5");
    EXPECT_TRUE(FloatToText(1.5e-10, text, Comma));
    EXPECT_EQ(text, "1,5E-10");
    for (double value : {Infinity, -Infinity, NaN})
        EXPECT_FALSE(FloatToText(value, text, Dot)) << value;
}

TEST(FloatToTextTest, TheGeneralFormReadsBack)
{
    for (double value : {1e20, 1.5e-10, -1234.5, 1.0 / 3, 123456789012345678.0}) {
        std::string text;
        ASSERT_TRUE(FloatToText(value, text, Comma));
        double back = 0;
        ASSERT_TRUE(TextToFloat(text, back, Comma)) << text;
        std::string again;
        ASSERT_TRUE(FloatToText(back, again, Comma));
        EXPECT_EQ(again, text);
    }
}

// Double to 32-bit integer: halves to even, then the range check.
TEST(RoundToInt32Test, RoundsHalvesToEvenWithinRange)
{
    const struct {
        double Value;
        std::int32_t Result;
    } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2},
        {2.5000001, 3}, {-2.6, -3}, {2147483647.4, 2147483647}, {-2147483648.5, -2147483647 - 1}, {-0.0, 0},
    };
    for (const auto& c : cases) {
        std::int32_t result = -99;
        EXPECT_TRUE(RoundToInt32(c.Value, result)) << c.Value;
        EXPECT_EQ(result, c.Result) << c.Value;
    }
    for (double value : {2147483647.5, -2147483648.6, 1e300, -1e300, Infinity, -Infinity, NaN}) {
        std::int32_t result = 0;
        EXPECT_FALSE(RoundToInt32(value, result)) << value;
    }
}

}  // namespace

namespace {

// Text to Boolean: the words in any letter case, else a number that is not zero.
TEST(TextToBooleanRule, WordsNumbersAndFailures)
{
    const std::pair<const char*, bool> accepted[] = {
        {"true", true}, {"TRUE", true}, {" False ", false}, {"1", true}, {"-1", true}, {"2.5", true},
        {"0", false},   {" 0 ", false}, {"0.0", false},      {"1e-400", false},
    };
    for (const auto& [text, expected] : accepted) {
        bool value = !expected;
        EXPECT_TRUE(TextToBoolean(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"yes", "on", "", "T", "\ttrue", "true1"}) {
        bool value = false;
        EXPECT_FALSE(TextToBoolean(text, value)) << text;
    }
}

}  // namespace
