#pragma once
// Reading the markup of well-formed XML text again, at the offsets the standard
// reader recorded: tags, attributes, content runs, and the escaping that writes
// values back as markup.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/StandardSource.h"

// One attribute as written in a start tag.
struct TqelRawAttribute {
    std::string_view Name;
    std::string_view Value;  // between the quotes, undecoded
    std::size_t From = 0;    // the blanks before the name
    std::size_t To = 0;      // just past the closing quote
    char Quote = '"';
};

// A start tag as written: "<" Name (S Attribute)* Tail, Tail being the blanks and
// "/>" or ">" that end it.
struct TqelRawStartTag {
    std::string_view Name;
    std::vector<TqelRawAttribute> Attributes;
    std::size_t TailFrom = 0;
    bool Empty = false;
};

inline bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads the start tag that fills text[from, to).
TqelRawStartTag LexStartTag(std::string_view text, std::size_t from, std::size_t to);
// Offset just past the tag that starts at from ("<" ... ">", quotes respected).
std::size_t TagEnd(std::string_view text, std::size_t from);
// At a "<": just past the comment, processing instruction, CDATA section or
// declaration that starts there; from itself when a tag starts there.
std::size_t SkipMarkup(std::string_view text, std::size_t from);
// Offset of the first start tag in text[from, to), or to.
std::size_t FindStartTag(std::string_view text, std::size_t from, std::size_t to);
// Just past the element whose start tag is at from (nested elements included).
std::size_t SkipElement(std::string_view text, std::size_t from);

// Character data of a content run as the reader reports it, up to the first
// element (one from an entity's text included): references and internal entities
// replaced, CDATA content kept, comments and processing instructions left out,
// line ends made LF.
std::string DecodeContent(std::string_view run, const TqelEntityTable& entities);
// An attribute value as the reader reports it (blanks normalised to spaces).
std::string DecodeAttributeValue(std::string_view raw, const TqelEntityTable& entities);
// Removes characters of code 32 and below from both ends.
inline std::string_view TrimControls(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && static_cast<unsigned char>(text[first]) <= 32) ++first;
    std::size_t last = text.size();
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
    return text.substr(first, last - first);
}

// Appends text with "&", "<" and ">" escaped, and quote too when it is not 0.
// With controlRefs, TAB, LF and CR are written as character references, so that
// an attribute value or text reads back with them.
void AppendEscaped(std::string& out, std::string_view text, char quote, bool controlRefs);
// True when name is an XML name (letters, digits, "_", ":", ".", "-", and every
// non-ASCII byte; not starting with a digit, ".", or "-").
bool IsXmlName(std::string_view name);
