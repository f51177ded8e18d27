// The text functions of the expression language. Each pops its arguments, the
// last-written first, and pushes one result; positions are 1-based and clamped.

#include "core/qelStrings.h"
#include "xpath/qelXPathExpression2.h"
#include "xpath/qelXPathFormat.h"

namespace {

std::string ChangeAsciiCase(std::string text, char first, char last, int shift)
{
    for (char& c : text)
        if (c >= first && c <= last) c = static_cast<char>(c + shift);
    return text;
}

std::string TrimControls(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}

std::size_t Count(std::int32_t n)
{
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::string LeftOf(const std::string& text, std::int32_t n)
{
    return text.substr(0, Count(n));
}

std::string RightOf(const std::string& text, std::int32_t n)
{
    const std::size_t count = Count(n);
    return count >= text.size() ? text : text.substr(text.size() - count);
}

std::string MidOf(const std::string& text, std::int32_t start, std::int32_t count)
{
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) return {};
    return text.substr(from, Count(count));
}

std::string SubstrAfter(const std::string& text, const std::string& find)
{
    const int position = FindTextFrom(find, text, 1);
    return position == 0 ? std::string() : text.substr(static_cast<std::size_t>(position) - 1 + find.size());
}

std::string SubstrBefore(const std::string& text, const std::string& find)
{
    const int position = FindTextFrom(find, text, 1);
    return position == 0 ? std::string() : text.substr(0, static_cast<std::size_t>(position) - 1);
}

std::int32_t TextLength(const std::string& text)
{
    return text.size() > 0x7fffffffU ? 0x7fffffff : static_cast<std::int32_t>(text.size());
}

}  // namespace

void TqelXPathExpression2::ExecuteTextFunction(TTokenOp op)
{
    switch (op) {
    case opLower:
        Push(Variant::FromText(ChangeAsciiCase(PopText(), 'A', 'Z', 'a' - 'A')));
        break;
    case opUpper:
        Push(Variant::FromText(ChangeAsciiCase(PopText(), 'a', 'z', 'A' - 'a')));
        break;
    case opTrim:
        Push(Variant::FromText(TrimControls(PopText())));
        break;
    case opLength:
        Push(Variant::FromInteger(TextLength(PopText())));
        break;
    case opSoundex:
        Push(Variant::FromInteger(PhoneticCode(PopText())));
        break;
    case opLeft:
    case opRight: {
        const std::int32_t n = Pop().ToInteger();
        const std::string text = PopText();
        Push(Variant::FromText(op == opLeft ? LeftOf(text, n) : RightOf(text, n)));
        break;
    }
    case opMid: {
        const std::int32_t count = Pop().ToInteger();
        const std::int32_t start = Pop().ToInteger();
        Push(Variant::FromText(MidOf(PopText(), start, count)));
        break;
    }
    case opSubstrAfter:
    case opSubstrBefore: {
        const std::string find = PopText();
        const std::string text = PopText();
        Push(Variant::FromText(op == opSubstrAfter ? SubstrAfter(text, find) : SubstrBefore(text, find)));
        break;
    }
    case opReplace: {
        const std::string replacement = PopText();
        const std::string find = PopText();
        Push(Variant::FromText(ReplaceAllText(PopText(), find, replacement)));
        break;
    }
    case opFormat: {
        const std::string pattern = PopText();
        std::string text = PopText();
        std::string formatted;
        if (!pattern.empty() && FormatValueText(pattern, text, formatted)) text = std::move(formatted);
        Push(Variant::FromText(std::move(text)));
        break;
    }
    case opTrunc: {
        const std::string decimals = PopText();
        const Variant value = Pop();
        std::string text = value.ToText();
        std::string formatted;
        try {
            if (FormatFloat("%." + decimals + "f", value.ToDouble(), formatted)) text = std::move(formatted);
        } catch (const EVariantError&) {
            // Not a number: the text stands.
        }
        Push(Variant::FromText(std::move(text)));
        break;
    }
    default:
        break;
    }
}
