#include "xslt/TextCollation.h"

#include <algorithm>

#include "core/qelStrings.h"

namespace {

int Weight(unsigned char c)
{
    if (c >= 128) return 0x300 + UpperCaseChar(c);
    if (c >= '0' && c <= '9') return 0x100 + c;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return 0x200 + UpperCaseChar(c);
    return c;
}

bool IsSmallLetter(unsigned char c) { return UpperCaseChar(c) != c; }

}  // namespace

int CollateText(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int wa = Weight(static_cast<unsigned char>(a[i]));
        const int wb = Weight(static_cast<unsigned char>(b[i]));
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return IsSmallLetter(ca) ? -1 : 1;
    }
    return 0;
}
