// The XML scanner of the document class.
//
// It knows start tags, end tags, empty-element tags, attributes in single or
// double quotes, one text per element, CDATA sections and a leading declaration.
// Entity references stay as written; end tags close the open element whatever
// their name; text after a child element is skipped.
//
//   document  := [anything] ["<?xml" decl "?>"] element [anything]
//   element   := "<" name [" " attributes] ("/>" | ">" [text | cdata] content "</" anything ">")
//   attribute := name "=" quote value quote           (no blank after "=")

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/PendingChildren.h"
#include "core/SourceMarkup.h"
#include "core/StandardSource.h"
#include "core/qelXMLParser2.h"

namespace {

// An error inside a scan; the document turns it into its composed message.
class EScanError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string_view Trim(std::string_view s) { return TrimControls(s); }

constexpr std::string_view CDataStart = "<![CDATA[";
constexpr std::string_view CDataEnd = "]]>";

// Elements with many attributes look names up in a hash table while a tag is read,
// so that a tag with a huge number of attributes reads in linear time.
constexpr int AttributeIndexThreshold = 16;

// The offset of the first c at or after from, or npos. Tags, texts and the blanks
// between tags are mostly short: eight bytes are tested at a time in a word, which
// is cheaper than the library's call, and the library takes over for long runs.
[[gnu::always_inline]] inline std::size_t Find(std::string_view s, char c, std::size_t from)
{
    constexpr std::size_t ShortRun = 64;
    if (from >= s.size()) return std::string_view::npos;
    const std::size_t stop = s.size() - from > ShortRun ? from + ShortRun : s.size();
    std::size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t Ones = 0x0101010101010101ULL;
        constexpr std::uint64_t Highs = 0x8080808080808080ULL;
        const std::uint64_t pattern = Ones * static_cast<unsigned char>(c);
        for (; i + 8 <= stop; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, s.data() + i, sizeof word);
            word ^= pattern;  // a byte equal to c is now zero
            // The lowest byte marked is the first zero byte: a false mark can only
            // follow a true one.
            if (const std::uint64_t zeros = (word - Ones) & ~word & Highs)
                return i + static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
        }
    }
    for (; i < stop; ++i)
        if (s[i] == c) return i;
    return stop == s.size() ? std::string_view::npos : s.find(c, stop);
}

using TAttributePairs = std::vector<std::pair<std::string_view, std::string_view>>;

// True when no two names of the pairs are equal. A mask of hashed names settles
// most pairs at once; only names whose bit is taken are compared with the others.
bool DistinctNames(const TAttributePairs& pairs)
{
    // Beyond a few names the mask fills up; the hash table of ParseAttributes takes over.
    if (pairs.size() > static_cast<std::size_t>(AttributeIndexThreshold)) return false;
    std::uint64_t seen = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const std::string_view name = pairs[i].first;
        std::uint64_t h = name.size();
        if (!name.empty())
            h = h * 0x9E3779B97F4A7C15ULL + static_cast<unsigned char>(name.front()) * 0x100 +
                static_cast<unsigned char>(name[name.size() / 2]) * 0x10000 + static_cast<unsigned char>(name.back());
        const std::uint64_t bit = std::uint64_t{1} << ((h * 0x9E3779B97F4A7C15ULL) >> 58);
        if (seen & bit)
            for (std::size_t j = 0; j < i; ++j)
                if (pairs[j].first == name) return false;
        seen |= bit;
    }
    return true;
}

}  // namespace

std::string TqelXMLParser2::Parse()
{
    FStandard.reset();
    Attributes.Clear();
    Children.Clear();
    PathCache.reset();
    Name.clear();
    SetText({});
    Position = 1;
    ParseRoot = this;
    const std::string_view source = Source;
    try {
        const std::size_t lt = source.find('<');
        if (lt != std::string_view::npos && source.substr(lt, 5) == "<?xml") {
            const std::size_t end = source.find("?>", lt);
            if (end == std::string_view::npos) return "Missing ?> in xml declaration.";
            Position = static_cast<std::ptrdiff_t>(end) + 3;
            const std::size_t from = lt + 6;
            if (from < end) {
                const std::string_view declaration = Trim(source.substr(from, end - from));
                if (!declaration.empty()) ParseAttributes(Declaration.get(), declaration);
            }
        }
        ParseElement(nullptr, nullptr);
    } catch (const EScanError& error) {
        return ComposeParseError(error.what());
    }
    return {};
}

void TqelXMLParser2::ParseFragment(TqelXMLNode2* node, std::string text)
{
    if (FStandard) return ParseStandardFragment(node, std::move(text));
    Source = std::move(text);
    Position = 1;
    ParseRoot = node;
    if (!node) {
        LastError = "Invalid parameter pNode";
        return;
    }
    node->Children.Clear();
    try {
        ParseElement(node->Parent, node->Parent);
        LastError.clear();
    } catch (const EScanError& error) {
        LastError = ComposeParseError(error.what());
    }
}

void TqelXMLParser2::ParseElement(TqelXMLNode2* cur, TqelXMLNode2* stop)
{
    const std::string_view source = Source;
    TqelPendingChildren pending;
    try {
        for (;;) {
            const std::size_t lt = Find(source, '<', static_cast<std::size_t>(Position - 1));
            if (lt == std::string_view::npos) {
                Position = 0;
                throw EScanError("Missing <");
            }
            Position = static_cast<std::ptrdiff_t>(lt) + 1;
            const std::size_t gt = Find(source, '>', lt);
            if (gt == std::string_view::npos) throw EScanError("Missing >");
            std::string_view tag = source.substr(lt + 1, gt - lt - 1);
            Position = static_cast<std::ptrdiff_t>(gt) + 2;

            const bool atTop = cur == stop;  // no element of the text is open
            if (!tag.empty() && tag.front() == '/') {
                if (atTop) throw EScanError("End tag without an open element");
                // The open elements are the pending ones below stop.
                TqelXMLNode2* open = pending.Close();
                if (!open) return;
                cur = open;
                continue;
            }

            const bool empty = !tag.empty() && tag.back() == '/';
            if (empty) tag = Trim(tag.substr(0, tag.size() - 1));
            std::string_view name = tag;
            std::string_view attributes;
            if (const std::size_t space = Find(tag, ' ', 0); space != std::string_view::npos) {
                name = tag.substr(0, space);
                attributes = Trim(tag.substr(space + 1));
            }

            TqelXMLNode2* element = ParseRoot;
            if (!atTop) {
                auto created = std::make_unique<TqelXMLNode2>();
                created->Document = this;
                element = pending.Add(std::move(created));
            }
            element->AssignName(name);
            if (!attributes.empty()) ParseAttributes(element, attributes);

            if (empty) {
                if (atTop) return;
                continue;
            }
            ParseText(element);
            pending.Open(element);
            cur = element;
        }
    } catch (...) {
        pending.CloseAll();  // the message shows the tree read so far
        throw;
    }
}

void TqelXMLParser2::ParseAttributes(TqelXMLNode2* node, std::string_view text)
{
    // The pairs are scanned first so that the list is allocated once; what was read
    // before an error is still stored, as the message shows the tree read so far.
    thread_local TAttributePairs pairs;
    pairs.clear();
    const char* error = nullptr;
    std::string delimiterError;
    text = Trim(text);
    while (!text.empty()) {
        const std::size_t eq = Find(text, '=', 0);
        if (eq == std::string_view::npos) {
            error = "missing = when parsing attributes";
            break;
        }
        const char delimiter = eq + 1 < text.size() ? text[eq + 1] : '\0';
        if (delimiter != '"' && delimiter != '\'') {
            error = "missing value delimiter when parsing attributes";
            break;
        }
        const std::size_t close = Find(text, delimiter, eq + 2);
        if (close == std::string_view::npos) {
            delimiterError = std::string("Expected closing ") + delimiter + " when parsing attributes";
            error = delimiterError.c_str();
            break;
        }
        pairs.emplace_back(Trim(text.substr(0, eq)), text.substr(eq + 2, close - eq - 2));
        text.remove_prefix(close + 1);
    }

    node->Attributes.Reserve(static_cast<std::size_t>(node->Attributes.Count()) + pairs.size());
    if (node->Attributes.Count() == 0 && DistinctNames(pairs)) {
        // A new element: every pair is an attribute of its own, in order.
        for (const auto& [name, value] : pairs)
            node->Attributes.Add(TqelXMLAttribute2::FromText(name, value));
        if (error) throw EScanError(error);
        return;
    }
    std::unordered_map<std::string_view, int> index;  // filled once the element has many attributes
    for (const auto& [name, valueText] : pairs) {
        std::string value(valueText);
        if (node->Attributes.Count() < AttributeIndexThreshold) {
            node->SetAttribute(name, std::move(value));
        } else {
            if (index.empty())
                for (int i = 0; i < node->Attributes.Count(); ++i)
                    index.emplace(node->Attributes[i]->Name, i);  // the first of equal names wins
            if (auto found = index.find(name); found != index.end()) {
                node->Attributes[found->second]->Value = std::move(value);
            } else {
                auto* added = node->Attributes.Add(std::make_unique<TqelXMLAttribute2>(std::string(name), std::move(value)));
                index.emplace(added->Name, node->Attributes.Count() - 1);
            }
        }
    }
    if (error) throw EScanError(error);
}

void TqelXMLParser2::ParseText(TqelXMLNode2* node)
{
    const std::string_view source = Source;
    const auto from = static_cast<std::size_t>(Position - 1);
    const std::size_t lt = Find(source, '<', from);
    if (lt == std::string_view::npos) throw EScanError("Expected < when parsing text");
    if (lt + 1 == source.size() || source[lt + 1] != '!' || source.substr(lt, CDataStart.size()) != CDataStart) {
        // A new element's text is empty already; the element being read again
        // always takes its text, which moves TextRevision once per parse.
        const std::string_view text = Trim(source.substr(from, lt - from));
        if (node == ParseRoot || !text.empty()) node->AssignText(text);
        Position = static_cast<std::ptrdiff_t>(lt) + 1;
        return;
    }
    const std::size_t start = lt + CDataStart.size();
    Position = static_cast<std::ptrdiff_t>(start) + 1;
    const std::size_t end = source.find(CDataEnd, start);
    if (end == std::string_view::npos) throw EScanError("Expected ]]> when parsing CDATA section");
    node->AssignText(Trim(source.substr(start, end - start)));
    Position = static_cast<std::ptrdiff_t>(end + CDataEnd.size()) + 1;
}

std::string TqelXMLParser2::ComposeParseError(const std::string& message)
{
    const std::size_t start = Position > 20 ? static_cast<std::size_t>(Position - 21) : 0;
    std::string near = start < Source.size() ? Source.substr(start, 50) : std::string();
    std::string result = message + " near " + near + "\r\nError position=" + std::to_string(Position) + "\r\n";
    result += GetXMLText();
    return result;
}
