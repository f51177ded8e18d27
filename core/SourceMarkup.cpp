// Tags, content runs and references of text the standard reader found well-formed.
//
//   start-tag := "<" Name (S Name S? "=" S? quoted)* S? ("/>" | ">")
//   content   := (chardata | reference | CDATA | comment | PI | element)*
//   reference := "&#" digits ";" | "&#x" hexdigits ";" | "&" Name ";"

#include "core/SourceMarkup.h"

#include <charconv>

namespace {

constexpr int MaxEntityNesting = 16;

bool IsNameChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ':' || c == '.' || c == '-';
}

bool StartsWith(std::string_view text, std::size_t at, std::string_view prefix)
{
    return text.substr(at, prefix.size()) == prefix;
}

void AppendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// At "&": appends what the reference stands for and returns the offset past it.
// An entity that is not known stays as written. stop is set at an element's
// start tag in an entity's text: an element's text ends at its first child.
std::size_t DecodeReference(std::string_view text, std::size_t at, const TqelEntityTable& entities, bool attribute,
                            int nesting, std::string& out, bool& stop);

// Decodes text into out; sets stop and returns at a start tag.
void Decode(std::string_view text, const TqelEntityTable& entities, bool attribute, int nesting, std::string& out,
            bool& stop)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (stop) return;
        if (c == '&') {
            i = DecodeReference(text, i, entities, attribute, nesting, out, stop);
        } else if (c == '\r') {
            out += attribute ? ' ' : '\n';
            i += StartsWith(text, i, "\r\n") ? 2 : 1;
        } else if (attribute && (c == '\n' || c == '\t')) {
            out += ' ';
            ++i;
        } else if (!attribute && c == '<') {
            if (StartsWith(text, i, "<![CDATA[")) {
                const std::size_t end = text.find("]]>", i);
                const std::size_t close = end == std::string_view::npos ? text.size() : end;
                std::string_view data = text.substr(i + 9, close - i - 9);
                for (std::size_t k = 0; k < data.size(); ++k) {
                    if (data[k] == '\r') {
                        out += '\n';
                        if (k + 1 < data.size() && data[k + 1] == '\n') ++k;
                    } else {
                        out += data[k];
                    }
                }
                i = close == text.size() ? close : close + 3;
            } else {
                const std::size_t past = SkipMarkup(text, i);
                if (past == i) {
                    stop = true;
                    return;
                }
                i = past;
            }
        } else {
            out += c;
            ++i;
        }
    }
}

std::size_t DecodeReference(std::string_view text, std::size_t at, const TqelEntityTable& entities, bool attribute,
                            int nesting, std::string& out, bool& stop)
{
    const std::size_t semicolon = text.find(';', at);
    if (semicolon == std::string_view::npos) {
        out += '&';
        return at + 1;
    }
    const std::string_view body = text.substr(at + 1, semicolon - at - 1);
    if (!body.empty() && body[0] == '#') {
        const bool hex = body.size() > 1 && body[1] == 'x';
        const std::string_view digits = body.substr(hex ? 2 : 1);
        unsigned long code = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
        if (error == std::errc() && end == digits.data() + digits.size() && code <= 0x10FFFF) {
            AppendUtf8(out, code);
            return semicolon + 1;
        }
    } else {
        static const std::pair<std::string_view, char> Predefined[] = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        for (const auto& [name, ch] : Predefined) {
            if (body == name) {
                out += ch;
                return semicolon + 1;
            }
        }
        const auto found = entities.find(std::string(body));
        if (found != entities.end() && nesting < MaxEntityNesting) {
            Decode(found->second, entities, attribute, nesting + 1, out, stop);
            return semicolon + 1;
        }
    }
    out.append(text.substr(at, semicolon + 1 - at));
    return semicolon + 1;
}

}  // namespace

std::size_t TagEnd(std::string_view text, std::size_t from)
{
    char quote = 0;
    for (std::size_t i = from + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return text.size();
}

std::size_t SkipMarkup(std::string_view text, std::size_t from)
{
    auto past = [&](std::string_view end, std::size_t start) {
        const std::size_t found = text.find(end, start);
        return found == std::string_view::npos ? text.size() : found + end.size();
    };
    if (StartsWith(text, from, "<!--")) return past("-->", from + 4);
    if (StartsWith(text, from, "<![CDATA[")) return past("]]>", from + 9);
    if (StartsWith(text, from, "<?")) return past("?>", from + 2);
    if (StartsWith(text, from, "<!")) {
        // A declaration; a DOCTYPE's internal subset holds "[...]" with its own markup.
        std::size_t i = from + 2;
        int depth = 0;
        char quote = 0;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                ++depth;
            } else if (c == ']') {
                --depth;
            } else if (c == '<' && depth > 0) {
                const std::size_t inner = SkipMarkup(text, i);
                if (inner > i) i = inner - 1;
            } else if (c == '>' && depth <= 0) {
                return i + 1;
            }
        }
        return text.size();
    }
    return from;
}

std::size_t FindStartTag(std::string_view text, std::size_t from, std::size_t to)
{
    std::size_t i = from;
    while (i < to) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string_view::npos || lt >= to) return to;
        if (lt + 1 < text.size() && text[lt + 1] != '/' && text[lt + 1] != '!' && text[lt + 1] != '?') return lt;
        const std::size_t past = SkipMarkup(text, lt);
        i = past > lt ? past : lt + 1;
    }
    return to;
}

std::size_t SkipElement(std::string_view text, std::size_t from)
{
    std::size_t depth = 0;
    std::size_t i = from;
    while (i < text.size()) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string_view::npos) break;
        const std::size_t past = SkipMarkup(text, lt);
        if (past > lt) {
            i = past;
            continue;
        }
        const std::size_t end = TagEnd(text, lt);
        if (lt + 1 < text.size() && text[lt + 1] == '/') {
            if (depth <= 1) return end;
            --depth;
        } else if (end >= 2 && text[end - 2] == '/') {
            if (depth == 0) return end;
        } else {
            ++depth;
        }
        i = end;
    }
    return text.size();
}

TqelRawStartTag LexStartTag(std::string_view text, std::size_t from, std::size_t to)
{
    TqelRawStartTag tag;
    std::size_t i = from + 1;
    while (i < to && IsNameChar(text[i])) ++i;
    tag.Name = text.substr(from + 1, i - from - 1);
    for (;;) {
        const std::size_t blanks = i;
        while (i < to && IsXmlSpace(text[i])) ++i;
        if (i >= to || text[i] == '/' || text[i] == '>') {
            tag.TailFrom = blanks;
            tag.Empty = i < to && text[i] == '/';
            return tag;
        }
        TqelRawAttribute attribute;
        attribute.From = blanks;
        const std::size_t nameStart = i;
        while (i < to && IsNameChar(text[i])) ++i;
        attribute.Name = text.substr(nameStart, i - nameStart);
        while (i < to && (IsXmlSpace(text[i]) || text[i] == '=')) ++i;
        if (i >= to) {
            tag.TailFrom = i;
            return tag;
        }
        attribute.Quote = text[i];
        const std::size_t close = text.find(attribute.Quote, i + 1);
        const std::size_t stop = close == std::string_view::npos || close > to ? to : close;
        attribute.Value = text.substr(i + 1, stop - i - 1);
        attribute.To = stop < to ? stop + 1 : to;
        i = attribute.To;
        tag.Attributes.push_back(attribute);
    }
}

std::string DecodeContent(std::string_view run, const TqelEntityTable& entities)
{
    std::string out;
    out.reserve(run.size());
    bool stop = false;
    Decode(run, entities, false, 0, out, stop);
    return out;
}

std::string DecodeAttributeValue(std::string_view raw, const TqelEntityTable& entities)
{
    std::string out;
    out.reserve(raw.size());
    bool stop = false;
    Decode(raw, entities, true, 0, out, stop);
    return out;
}

void AppendEscaped(std::string& out, std::string_view text, char quote, bool controlRefs)
{
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string_view replacement;
        switch (c) {
        case '&': replacement = "&amp;"; break;
        case '<': replacement = "&lt;"; break;
        case '>': replacement = "&gt;"; break;
        case '"': if (quote == '"') replacement = "&quot;"; break;
        case '\'': if (quote == '\'') replacement = "&apos;"; break;
        case '\t': if (controlRefs && quote) replacement = "&#9;"; break;
        case '\n': if (controlRefs && quote) replacement = "&#10;"; break;
        case '\r': if (controlRefs) replacement = "&#13;"; break;
        default: break;
        }
        if (replacement.empty()) continue;
        out.append(text.substr(plain, i - plain));
        out.append(replacement);
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

bool IsXmlName(std::string_view name)
{
    if (name.empty()) return false;
    const char first = name[0];
    if ((first >= '0' && first <= '9') || first == '.' || first == '-') return false;
    for (const char c : name)
        if (!IsNameChar(c)) return false;
    return true;
}
