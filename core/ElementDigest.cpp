// The digest that tells a changed element from one still as read.

#include <cstring>

#include "core/StandardSource.h"

namespace {

std::uint64_t Mix(std::uint64_t h, std::uint64_t value)
{
    h ^= value;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 31;
    h *= 0x94d049bb133111ebULL;
    return h ^ (h >> 29);
}

// Long runs take one multiply per word; Mix ends the run.
std::uint64_t MixBytes(std::uint64_t h, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 32;
    }
    // The last bytes as a little-endian word, without a call for a short copy.
    std::uint64_t tail = 0;
    for (std::size_t i = 0; i < n; ++i) tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return Mix(h, tail ^ (static_cast<std::uint64_t>(bytes.size()) << 3));
}

}  // namespace

std::uint64_t ElementDigest(const TqelXMLNode2& node)
{
    std::uint64_t h = MixBytes(0x2545f4914f6cdd1dULL, node.Name);
    h = MixBytes(h, node.Text);
    h = Mix(h, static_cast<std::uint64_t>(node.Attributes.Count()));
    for (const auto& attribute : node.Attributes) {
        h = MixBytes(h, attribute->Name);
        h = MixBytes(h, attribute->Value);
    }
    h = Mix(h, static_cast<std::uint64_t>(node.Children.Count()));
    for (const auto& child : node.Children) h = Mix(h, reinterpret_cast<std::uintptr_t>(child.get()));
    return h;
}

bool HasSourceSpan(const TqelXMLParser2& document, const TqelXMLNode2& node)
{
    if (!(node.SourceFlags & SourceHasSpan)) return false;
    return &node == &document || node.Document == &document;
}

std::size_t SourceEnd(std::string_view source, const TqelXMLNode2& node)
{
    if (node.SourceFlags & SourceEmptyTag) return node.SourceContent();
    const std::size_t gt = source.find('>', node.SourceEndTag());
    return gt == std::string_view::npos ? source.size() : gt + 1;
}
