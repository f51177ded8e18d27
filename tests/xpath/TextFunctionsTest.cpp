// The text functions, "format" and "trunc" through the evaluator.

#include "XPathTestSupport.h"

// Positions are 1-based and clamped to the text.
TEST(TextFunctions, CutTextsAtClampedPositions)
{
    CheckValues({{"left('abc', 5)", "Text", "abc"},
                 {"left('abc', 0)", "Text", ""},
                 {"left('abc', 0 - 1)", "Text", ""},
                 {"left('abcdef', '2.5')", "Text", "ab"},
                 {"left('abcdef', 3.5)", "Text", "abcd"},
                 {"right('abc', 5)", "Text", "abc"},
                 {"right('abc', 0)", "Text", ""},
                 {"right('abcdef', 2)", "Text", "ef"},
                 {"mid('abcdef', 0, 2)", "Text", "ab"},
                 {"mid('abcdef', 3, 2)", "Text", "cd"},
                 {"mid('abcdef', 5, 10)", "Text", "ef"},
                 {"mid('abcdef', 7, 1)", "Text", ""},
                 {"mid('abcdef', 2, 0)", "Text", ""},
                 {"mid('abcdef', 2, 0 - 3)", "Text", ""},
                 {"mid(123456, 2, 3)", "Text", "234"},
                 // How the call is written does not matter.
                 {"'abcdef' left 2", "Text", "ab"},
                 {"left 'abcdef', 2", "Text", "ab"},
                 // A comma does not end an argument: an operator or function in an earlier
                 // argument waits for the operands after it unless that argument is bracketed.
                 {"mid('abcdef', 1 + 1, 2)", "Text", "abc"},
                 {"mid('abcdef', (1 + 1), 2)", "Text", "bc"},
                 {"left(lower('ABC'), 2)", "Text", "AB"},
                 {"left((lower('ABC')), 2)", "Text", "ab"},
                 {"left('abc', 'x')", "Null", ""},
                 {"left('abc')", "Null", ""},
                 {"mid('abc', 1)", "Null", ""}});
}

TEST(TextFunctions, SearchAndReplaceIgnoreLetterCase)
{
    CheckValues({{"substr_after('Key=Value', '=')", "Text", "Value"},
                 {"substr_before('Key=Value', '=')", "Text", "Key"},
                 {"substr_before('Key=Value', 'x')", "Text", ""},
                 {"substr_after('Key=Value', 'x')", "Text", ""},
                 {"substr_after('aXb', 'x')", "Text", "b"},
                 {"substr_before('aXbxc', 'x')", "Text", "a"},
                 {"substr_after('abc', '')", "Text", ""},
                 {"substr_before('abc', '')", "Text", ""},
                 // "lower" applies to the argument before it in postfix order: 'X'.
                 {"substr_after(lower('AXB'), 'X')", "Text", "B"},
                 {"replace('aAa', 'a', 'b')", "Text", "bbb"},
                 {"replace('Abc', 'B', 'xx')", "Text", "Axxc"},
                 {"replace('aaa', 'aa', 'b')", "Text", "ba"},
                 {"replace('abc', '', 'x')", "Text", "abc"},
                 {"replace('abab', 'b', '')", "Text", "aa"},
                 {"replace('ab', 'b', 'bb')", "Text", "abb"},
                 {"replace('a\xe4', '\xe4', 'x')", "Text", "ax"},
                 {"replace('abc', 'b')", "Null", ""}});
}

TEST(TextFunctions, ChangeCaseTrimAndMeasure)
{
    CheckValues({{"lower('\xc4" "B')", "Text", "\xc4" "b"},
                 {"upper('abc-\xe4')", "Text", "ABC-\xe4"},
                 {"lower(1 = 1)", "Text", "true"},
                 {"upper(2.50)", "Text", "2.5"},
                 {"trim('  a b  ')", "Text", "a b"},
                 {"trim('')", "Text", ""},
                 {"length('abc')", "Integer", "3"},
                 {"length('')", "Integer", "0"},
                 {"length(12.50)", "Integer", "4"},
                 {"length('\xc4\xe4')", "Integer", "2"},
                 {"soundex('Robert') = soundex('Rupert')", "Boolean", "True"},
                 {"soundex('Robert') = soundex('Tymczak')", "Boolean", "False"},
                 {"lower()", "Null", ""},
                 {"length()", "Null", ""}});
}

TEST(TextFunctions, TrimRemovesControlCharacters)
{
    auto document = ParseDocument("<a/>");
    document->SetText(std::string("\t\r\n \x01 x y \x1f\x20"));
    CHECK_VALUE_AT(document.get(), "trim(value)", "Text", "x y");
    CHECK_VALUE_AT(document.get(), "length(trim(value))", "Integer", "3");
}

// "format" with one directive; anything it cannot apply leaves the text of the value.
TEST(TextFunctions, FormatAppliesOneDirective)
{
    CheckValues({{"format(42, '%5d')", "Text", "   42"},
                 {"format(42, '%-5d|')", "Text", "42"},
                 {"format(42, '[%d]')", "Text", "42"},
                 {"format(42, '%.3d')", "Text", "042"},
                 {"format(42, '%05d')", "Text", "00042"},
                 {"format(42, '%+d')", "Text", "+42"},
                 {"format(42, 'Total: %d')", "Text", "Total: 42"},
                 {"format(42, '%d items')", "Text", "42"},
                 {"format(255, '%x')", "Text", "ff"},
                 {"format(255, '%#x')", "Text", "0xff"},
                 {"format((0 - 1), '%x')", "Text", "ffffffff"},
                 {"format(' 7 ', '%d')", "Text", "7"},
                 {"format('abc', '%-10s')", "Text", "abc       "},
                 {"format('abc', '%10s')", "Text", "       abc"},
                 {"format('abc', '%.2s')", "Text", "ab"},
                 {"format('abc', '<%s>%%s')", "Text", "<abc>%s"},
                 {"format(3.14159, '%.2f')", "Text", "3.14"},
                 {"format(3.14159, '%f')", "Text", "3.141590"},
                 {"format(3.14159, '%e')", "Text", "3.141590e+00"},
                 {"format(3.14159, '%G')", "Text", "3.14159"},
                 {"format(3.14159, '%.1f%%')", "Text", "3.1%"},
                 {"format(3.14159, '%5d%%')", "Text", "3.14159"},
                 {"format(100000000000000000000, '%.0f')", "Text", "100000000000000000000"},
                 {"format(7, '')", "Text", "7"},
                 {"format('abc', '%d')", "Text", "abc"},
                 {"format((0 - 0.5), '%d')", "Text", "-0.5"},
                 {"format(10000000000, '%d')", "Text", "10000000000"},
                 {"format(7, '100%')", "Text", "7"},
                 {"format(7, 'abc')", "Text", "7"},
                 {"format((1 = 1), '%s!')", "Text", "True"},
                 {"format((1 = 1), '%5s')", "Text", " True"},
                 {"format(7)", "Null", ""},
                 {"format()", "Null", ""}});
}

// Patterns are user input: whatever is not exactly one accepted directive falls back.
TEST(TextFunctions, FormatRefusesHostilePatterns)
{
    const char* const patterns[] = {
        "%n", "%s%s%s", "%999999999d", "%.9999999f", "%", "%ls", "%*d", "%1$d", "%ld", "%lld", "%hhd",
        "%d%d", "%zd", "%jd", "%qd", "%Lf", "%p", "%c", "%i", "%u", "%o", "%X", "%a", "%F", "%.d",
        "%256d", "%1000d", "%.100f", "%--5d", "%+x", "% x", "%#d", "%+s", "%0s", "%#s", "%5.f", "%-",
        "%.*f", "%I64d", "%%", "%%d", "%%%",
    };
    for (const char* pattern : patterns) {
        const std::string expression = std::string("format(7, '") + pattern + "')";
        CHECK_VALUE(expression, "Text", "7");
        CHECK_VALUE(std::string("format('x', '") + pattern + "')", "Text", "x");
    }
    CHECK_VALUE("format(1, '%255d')", "Text", std::string(254, ' ') + "1");
    CHECK_VALUE("format(1, '%.99f')", "Text", "1." + std::string(99, '0'));
}

TEST(TextFunctions, TruncRoundsToDecimals)
{
    CheckValues({{"trunc(2.71828, 3)", "Text", "2.718"},
                 {"fix(2.71828, 1)", "Text", "2.7"},
                 {"trunc(2.5, 0)", "Text", "2"},
                 {"trunc(3.5, 0)", "Text", "4"},
                 {"trunc(2.675, 2)", "Text", "2.67"},
                 {"trunc((0 - 0.4), 0)", "Text", "-0"},
                 {"trunc(7, 2)", "Text", "7.00"},
                 {"trunc('2.5', '01')", "Text", "2.5"},
                 {"trunc((1 = 1), 1)", "Text", "-1.0"},
                 {"trunc('abc', 2)", "Text", "abc"},
                 {"trunc(1.5, 100)", "Text", "1.5"},
                 {"trunc(1.5, 2.5)", "Text", "1.5"},
                 {"trunc(1.5, 0 - 1)", "Text", "1.5"},
                 {"trunc(1.5, '')", "Text", "1.5"},
                 {"trunc(1.5, 'n')", "Text", "1.5"},
                 {"trunc(1.5, '2f%n')", "Text", "1.5"},
                 {"trunc(1.5)", "Null", ""}});
}

TEST(TextFunctions, FormatWritesTheDecimalSeparator)
{
    TSettingsGuard guard;
    ProgramSettings().DecimalSeparator = ',';
    CheckValues({{"format((asnumber('3,14159')), '%.2f')", "Text", "3,14"},
                 {"format('3,5', '%.1f')", "Text", "3,5"},
                 {"format('3.5', '%.1f')", "Text", "3.5"},
                 {"trunc('2,5', 2)", "Text", "2,50"}});
}
