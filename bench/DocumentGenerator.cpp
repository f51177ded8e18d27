#include "bench/DocumentGenerator.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace brindle::bench {

namespace {

const char* const KDeclaration = "<?xml version='1.0' encoding='UTF-8' ?>\n";

// xorshift64: the same sequence on every run and every platform.
class TSequence {
public:
    std::uint64_t Next()
    {
        FState ^= FState << 13;
        FState ^= FState >> 7;
        FState ^= FState << 17;
        return FState;
    }
    std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(Next() % bound); }

private:
    std::uint64_t FState = 0x9E3779B97F4A7C15ULL;
};

constexpr std::array<std::string_view, 16> KWords = {
    "amber", "blue",  "copper", "dune",  "ember", "fern",  "granite", "harbor",
    "ivory", "jade",  "kestrel", "linen", "maple", "north", "olive",   "pepper"};

constexpr std::array<std::string_view, 6> KKinds = {"book", "lamp", "chair", "plate", "clock", "vase"};

void AppendNumber(std::string& out, std::size_t value) { out += std::to_string(value); }

// Two digits with a leading zero.
void AppendTwoDigits(std::string& out, std::size_t value)
{
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

void AppendPrice(std::string& out, TSequence& sequence)
{
    AppendNumber(out, 1 + sequence.Below(500));
    out += '.';
    AppendTwoDigits(out, sequence.Below(100));
}

}  // namespace

TGeneratedDocument GenerateRecords(std::size_t targetBytes)
{
    TGeneratedDocument result;
    std::string& out = result.Text;
    out.reserve(targetBytes + 512);
    TSequence sequence;
    out += KDeclaration;
    out += "<records>\n";
    result.Elements = 1;
    for (std::size_t id = 1; out.size() < targetBytes; ++id) {
        out += "  <item id='";
        AppendNumber(out, id);
        out += "' kind='";
        out += KKinds[sequence.Below(KKinds.size())];
        out += "'>\n    <name>";
        out += KWords[sequence.Below(KWords.size())];
        out += ' ';
        out += KWords[sequence.Below(KWords.size())];
        out += "</name>\n    <price>";
        AppendPrice(out, sequence);
        out += "</price>\n    <quantity>";
        AppendNumber(out, sequence.Below(1000));
        out += "</quantity>\n    <date>20";
        AppendTwoDigits(out, sequence.Below(30));
        out += '-';
        AppendTwoDigits(out, 1 + sequence.Below(12));
        out += '-';
        AppendTwoDigits(out, 1 + sequence.Below(28));
        out += "</date>\n    <note>";
        out += KWords[sequence.Below(KWords.size())];
        out += " and ";
        out += KWords[sequence.Below(KWords.size())];
        out += "</note>\n  </item>\n";
        result.Elements += 6;
        result.Attributes += 2;
    }
    out += "</records>\n";
    return result;
}

TGeneratedDocument GenerateAttributeHeavy(std::size_t targetBytes)
{
    TGeneratedDocument result;
    std::string& out = result.Text;
    out.reserve(targetBytes + 512);
    TSequence sequence;
    out += KDeclaration;
    out += "<table>\n";
    result.Elements = 1;
    for (std::size_t id = 1; out.size() < targetBytes; ++id) {
        out += "  <row id='";
        AppendNumber(out, id);
        out += "' code='";
        for (int i = 0; i < 4; ++i) out += static_cast<char>('A' + sequence.Below(26));
        out += "' name='";
        out += KWords[sequence.Below(KWords.size())];
        out += "' kind='";
        out += KKinds[sequence.Below(KKinds.size())];
        out += "' color='";
        out += KWords[sequence.Below(KWords.size())];
        out += "' size='";
        AppendNumber(out, sequence.Below(100));
        out += "' price='";
        AppendPrice(out, sequence);
        out += "' stock='";
        AppendNumber(out, sequence.Below(10000));
        out += "' zone='";
        out += static_cast<char>('A' + sequence.Below(8));
        out += "' flag='";
        out += sequence.Below(2) == 0 ? "yes" : "no";
        out += "' rank='";
        AppendNumber(out, sequence.Below(50));
        // One value in double quotes, as both quote characters occur in real files.
        out += "' note=\"";
        out += KWords[sequence.Below(KWords.size())];
        out += "\"/>\n";
        result.Elements += 1;
        result.Attributes += 12;
    }
    out += "</table>\n";
    return result;
}

TGeneratedDocument GenerateDeep(std::size_t levels)
{
    TGeneratedDocument result;
    std::string& out = result.Text;
    out.reserve(levels * 20 + 64);
    out += KDeclaration;
    for (std::size_t level = 1; level <= levels; ++level) {
        out += "<level n='";
        AppendNumber(out, level);
        out += "'>\n";
    }
    for (std::size_t level = 0; level < levels; ++level) out += "</level>\n";
    result.Elements = levels;
    result.Attributes = levels;
    return result;
}

}  // namespace brindle::bench
