#include "core/qelStrings.h"

#include <array>

namespace {

// a-z onto A-Z; in the upper half the small Cyrillic letters onto their capitals.
constexpr std::array<unsigned char, 256> MakeUpperTable()
{
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 32);
    for (int c = 224; c <= 255; ++c) table[c] = static_cast<unsigned char>(c - 32);
    constexpr int pairs[][2] = {{131, 129}, {144, 128}, {154, 138}, {156, 140}, {157, 141}, {158, 142},
                                {159, 143}, {162, 161}, {179, 178}, {180, 165}, {184, 168}, {186, 170},
                                {188, 163}, {190, 189}, {191, 175}};
    for (const auto& pair : pairs) table[pair[0]] = static_cast<unsigned char>(pair[1]);
    return table;
}
constexpr std::array<unsigned char, 256> UpperTable = MakeUpperTable();

// Phonetic digits of the letters A to Z.
constexpr std::string_view PhoneticDigits = "01230120022455012623010202";

int PhoneticDigit(unsigned char c)
{
    c = UpperTable[c];
    return c >= 'A' && c <= 'Z' ? PhoneticDigits[c - 'A'] - '0' : 0;
}

template <class Equal>
int FindWith(std::string_view sub, std::string_view s, int start, Equal equal)
{
    if (sub.empty() || s.empty() || start < 1) return 0;
    const auto from = static_cast<std::size_t>(start - 1);
    if (from > s.size() || sub.size() > s.size() - from) return 0;
    const std::size_t last = s.size() - sub.size();
    for (std::size_t i = from; i <= last; ++i) {
        std::size_t k = 0;
        while (k < sub.size() && equal(sub[k], s[i + k])) ++k;
        if (k == sub.size()) return static_cast<int>(i + 1);
    }
    return 0;
}

}  // namespace

unsigned char UpperCaseChar(unsigned char c) { return UpperTable[c]; }

int FindFrom(std::string_view sub, std::string_view s, int start)
{
    if (sub.empty() || s.empty() || start < 1) return 0;
    const auto from = static_cast<std::size_t>(start - 1);
    if (from > s.size()) return 0;
    const std::size_t found = s.find(sub, from);
    return found == std::string_view::npos ? 0 : static_cast<int>(found + 1);
}

int FindTextFrom(std::string_view sub, std::string_view s, int start)
{
    return FindWith(sub, s, start, [](char a, char b) {
        return UpperTable[static_cast<unsigned char>(a)] == UpperTable[static_cast<unsigned char>(b)];
    });
}

std::string ReplaceAll(std::string_view source, std::string_view find, std::string_view replacement)
{
    if (find.empty()) return std::string(source);
    std::string result;
    std::size_t from = 0;
    for (std::size_t found = source.find(find); found != std::string_view::npos; found = source.find(find, from)) {
        result.append(source.substr(from, found - from));
        result.append(replacement);
        from = found + find.size();
    }
    result.append(source.substr(from));
    return result;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperTable[static_cast<unsigned char>(a[i])] != UpperTable[static_cast<unsigned char>(b[i])]) return false;
    return true;
}

std::string VisibleControlBytes(std::string_view message)
{
    constexpr std::string_view Hex = "0123456789abcdef";
    std::string shown;
    shown.reserve(message.size());
    for (const char c : message) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 32 || c == '\t' || c == '\r' || c == '\n') {
            shown += c;
        } else if (code == 0) {
            shown += "\\0";
        } else {
            shown += "\\x";
            shown += Hex[code >> 4];
            shown += Hex[code & 15];
        }
    }
    return shown;
}

std::string ReplaceAllText(std::string_view source, std::string_view find, std::string_view replacement)
{
    if (find.empty()) return std::string(source);
    auto folded = [](std::string_view text) {
        std::string result(text);
        for (char& c : result) c = static_cast<char>(UpperTable[static_cast<unsigned char>(c)]);
        return result;
    };
    const std::string foldedSource = folded(source);
    const std::string foldedFind = folded(find);
    std::string result;
    std::size_t from = 0;
    for (auto at = foldedSource.find(foldedFind); at != std::string::npos; at = foldedSource.find(foldedFind, from)) {
        result.append(source.substr(from, at - from));
        result.append(replacement);
        from = at + find.size();
    }
    result.append(source.substr(from));
    return result;
}

std::string PairName(std::string_view text)
{
    const std::size_t eq = text.find('=');
    return std::string(eq == std::string_view::npos ? text : text.substr(0, eq));
}

std::string PairValue(std::string_view text)
{
    const std::size_t eq = text.find('=');
    return std::string(eq == std::string_view::npos ? text : text.substr(eq + 1));
}

void ExtractBracketedItems(std::string_view text, std::vector<std::string>& items)
{
    items.clear();
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = text.find('[', from);
        if (open == std::string_view::npos) return;
        const std::size_t close = text.find(']', open + 1);
        if (close == std::string_view::npos) return;
        items.emplace_back(text.substr(open + 1, close - open - 1));
        from = close;
    }
}

int PhoneticCode(std::string_view text)
{
    if (text.empty()) return 0;
    auto first = static_cast<unsigned char>(text[0]);
    if (first >= 'a' && first <= 'z') first = static_cast<unsigned char>(first - 32);
    int result = first;
    int multiplier = 26;
    int previous = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const int digit = PhoneticDigit(static_cast<unsigned char>(text[i]));
        if (digit == 0 || digit == previous) continue;
        result += digit * multiplier;
        if (multiplier == 936) break;
        multiplier *= 6;
        previous = digit;
    }
    return result;
}
