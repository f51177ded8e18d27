// The XML writer of the document class: elements as text, two spaces of
// indentation per level, CR LF between lines, no character escaping but in the
// attribute values that would not read back otherwise.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/LargeBuffer.h"
#include "core/StandardSource.h"
#include "core/TextEncoding.h"
#include "core/TreeWalk.h"
#include "core/qelXMLParser2.h"
#include "core/qelStrings.h"

namespace {
constexpr std::string_view LineBreak = "\r\n";

// Indentation stops growing at this level: a document nested a million levels
// deep would otherwise need terabytes of spaces. Whitespace between tags does not
// change what the document reads back as.
constexpr int MaxIndentLevel = 64;
const std::string LineIndentation = std::string(LineBreak) + std::string(2 * MaxIndentLevel, ' ');

// A line break and the indentation of level, in one piece.
std::string_view LineIndentFor(int level)
{
    return std::string_view(LineIndentation)
        .substr(0, LineBreak.size() + 2 * static_cast<std::size_t>(std::clamp(level, 0, MaxIndentLevel)));
}

bool HasNonAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// A document that declares no encoding is written as ISO-8859-1, unless what it
// holds is UTF-8 beyond ASCII: then the declaration must say so.
bool HoldsUtf8BeyondAscii(const TqelXMLNode2& root)
{
    bool beyondAscii = false;
    bool utf8 = true;
    auto check = [&](std::string_view text) {
        if (!HasNonAscii(text)) return;
        beyondAscii = true;
        utf8 = utf8 && IsUtf8(text);
    };
    WalkPreOrder(&root, [&](const TqelXMLNode2* node) {
        check(node->Name);
        check(node->Text);
        for (const auto& attribute : node->Attributes) {
            check(attribute->Name);
            check(attribute->Value);
        }
        return !utf8;
    });
    return beyondAscii && utf8;
}

// How an attribute value is written: between which quote, and how long it is
// once the characters that would end it early are written as references.
struct TValueForm {
    char Quote;
    std::size_t Length;
    bool Escaped;
};

TValueForm ValueForm(std::string_view value)
{
    // One pass counts all three characters; the loop has no branch, so that the
    // compiler can count many characters at once.
    std::size_t apostrophes = 0;
    std::size_t quotes = 0;
    std::size_t closers = 0;
    for (const char c : value) {
        apostrophes += c == '\'';
        quotes += c == '"';
        closers += c == '>';
    }
    const char quote = apostrophes == 0 || quotes > apostrophes ? '\'' : '"';
    const std::size_t inside = quote == '"' ? quotes : apostrophes;
    // "&quot;" and "&apos;" are five characters longer than the quote, "&gt;" three.
    return {quote, value.size() + 5 * inside + 3 * closers, inside + closers > 0};
}

// Words of eight characters, read in whatever order the machine keeps them: only
// whether some character matches is asked, never which.
std::uint64_t Word(const char* from)
{
    std::uint64_t word;
    std::memcpy(&word, from, 8);
    return word;
}

std::uint32_t HalfWord(const char* from)
{
    std::uint32_t word;
    std::memcpy(&word, from, 4);
    return word;
}

constexpr std::uint64_t EveryByte = 0x0101010101010101u;

// Nonzero exactly when a byte of word is an apostrophe or ">". A byte becomes
// zero when it matches; subtracting one from each byte sets the top bit of the
// lowest zero byte, and of no byte when none is zero (the borrow may mark bytes
// above the lowest zero one, which changes only which byte, never whether).
std::uint64_t ApostropheOrCloser(std::uint64_t word)
{
    const auto zeroByte = [](std::uint64_t w) { return (w - EveryByte) & ~w & (EveryByte * 0x80); };
    return zeroByte(word ^ (EveryByte * '\'')) | zeroByte(word ^ (EveryByte * '>'));
}

// True when the value holds an apostrophe or ">". Short values, the most
// common, take one or two word reads that may overlap, longer ones a word at a
// time; the bytes outside the value are never read.
bool HoldsApostropheOrCloser(std::string_view value)
{
    const char* from = value.data();
    const std::size_t n = value.size();
    std::uint64_t found;
    if (n >= 8) {
        found = ApostropheOrCloser(Word(from + n - 8));
        for (std::size_t i = 0; i + 8 < n; i += 8) found |= ApostropheOrCloser(Word(from + i));
    } else if (n >= 4) {
        found = ApostropheOrCloser(HalfWord(from) | std::uint64_t{HalfWord(from + n - 4)} << 32);
    } else if (n > 0) {
        // Zero bytes match neither character.
        const auto byte = [](char c) { return std::uint64_t{static_cast<unsigned char>(c)}; };
        found = ApostropheOrCloser(byte(from[0]) | byte(from[n / 2]) << 8 | byte(from[n - 1]) << 16);
    } else {
        return false;
    }
    return found != 0;
}

// As ValueForm, quicker for the values without an apostrophe or ">", which are
// written as they are between apostrophes.
TValueForm WrittenForm(std::string_view value)
{
    if (!HoldsApostropheOrCloser(value)) return {'\'', value.size(), false};
    return ValueForm(value);
}

// Most pieces (names, values, indentation) are short, and a call to memcpy costs
// more than copying them: up to 16 characters go as two fixed-size copies that
// overlap in the middle. Inlined, so that the sizes of literal pieces are known.
[[gnu::always_inline]] inline char* Put(char* cursor, std::string_view text)
{
    const char* from = text.data();
    const std::size_t n = text.size();
    if (n >= 8) {
        if (n > 16) {
            std::memcpy(cursor, from, n);
        } else {
            std::memcpy(cursor, from, 8);
            std::memcpy(cursor + n - 8, from + n - 8, 8);
        }
    } else if (n >= 4) {
        std::memcpy(cursor, from, 4);
        std::memcpy(cursor + n - 4, from + n - 4, 4);
    } else if (n > 0) {
        cursor[0] = from[0];
        cursor[n / 2] = from[n / 2];
        cursor[n - 1] = from[n - 1];
    }
    return cursor + n;
}

[[gnu::always_inline]] inline char* Put(char* cursor, char c)
{
    *cursor = c;
    return cursor + 1;
}

// The value as ValueForm describes it, from cursor; returns the end.
char* PutValue(char* cursor, std::string_view value, const TValueForm& form)
{
    if (!form.Escaped) return Put(cursor, value);
    const std::string_view quoteReference = form.Quote == '"' ? "&quot;" : "&apos;";
    for (const char c : value) {
        if (c == form.Quote)
            cursor = Put(cursor, quoteReference);
        else if (c == '>')
            cursor = Put(cursor, "&gt;");
        else
            cursor = Put(cursor, c);
    }
    return cursor;
}

constexpr std::size_t CacheLine = 64;

// Asks for the whole of object, which may lie across a cache line more than its
// size suggests.
template <class T>
[[gnu::always_inline]] inline void PrefetchObject(const T* object)
{
    const char* bytes = reinterpret_cast<const char*>(object);
    for (std::size_t offset = 0; offset < sizeof(T); offset += CacheLine) __builtin_prefetch(bytes + offset);
    __builtin_prefetch(bytes + sizeof(T) - 1);
}

// Asks for the items of a list, assuming no more than fit in two cache lines.
template <class T>
[[gnu::always_inline]] inline void PrefetchItems(const TqelXMLNodeList2<T>& list)
{
    const char* items = reinterpret_cast<const char*>(list.begin());
    if (!items) return;
    __builtin_prefetch(items);
    __builtin_prefetch(items + CacheLine);
}

// Elements are written in document order but may lie anywhere in memory, and
// the loads of each follow a chain: the element, its lists of attributes and
// children, then what those lists point to. Asking for siblings ahead, one link
// of the chain at a time and two siblings apart, lets each load arrive while the
// siblings before it are written: the sibling at next + 4, the lists of the one
// at next + 2 (asked for two siblings earlier), the attributes of the one at next
// (whose lists were asked for then). The children of the one at next are asked
// for as far as this chain reads them before asking for them itself.
//
// Inlined, as the compiler drops a call to a function that only prefetches,
// having no effect it can see.
constexpr int SiblingsAhead = 4;
constexpr int ListsAhead = 2;

[[gnu::always_inline]] inline void PrefetchSiblings(const TqelXMLChildList2& siblings, int next)
{
    const int count = siblings.Count();
    if (next + SiblingsAhead < count) PrefetchObject(siblings[next + SiblingsAhead]);
    if (next + ListsAhead < count) {
        const TqelXMLNode2& sibling = *siblings[next + ListsAhead];
        PrefetchItems(sibling.Attributes);
        PrefetchItems(sibling.Children);
    }
    if (next < count) {
        const TqelXMLNode2& sibling = *siblings[next];
        for (const auto& attribute : sibling.Attributes) PrefetchObject(attribute.get());
        const int children = std::min(sibling.Children.Count(), SiblingsAhead + 1);
        for (int i = 0; i < children; ++i) PrefetchObject(sibling.Children[i]);
    }
}

// An attribute as the start tag writes it; read from the attribute once.
struct TAttributeText {
    std::string_view Name;
    std::string_view Value;
    TValueForm Form;
};
}  // namespace

char AttributeQuote(std::string_view value)
{
    return ValueForm(value).Quote;
}

std::string AttributeValueProblem(std::string_view value)
{
    if (value.find('\'') != std::string_view::npos && value.find('"') != std::string_view::npos)
        return "An attribute value cannot hold both ' and \": the document is read without decoding "
               "references such as &quot;, so the value could not be saved and read back.";
    if (value.find('>') != std::string_view::npos)
        return "An attribute value cannot hold >: when the document is read, > ends the tag, so the value "
               "could not be saved and read back.";
    return {};
}

void TqelXMLParser2::ResetOutput()
{
    std::string().swap(OutBuffer);
    OutBuffer.resize(GrowBy);
    OutCapacity = GrowBy;
    OutLength = 0;
    OutCursor = 0;
    IndentLevel = 0;
}

void TqelXMLParser2::ReserveOutput(std::size_t expected)
{
    // The room handed out grows in steps of GrowBy, so the last step passes the
    // output's length by up to GrowBy; storage for only the length would make that
    // step copy the whole output into storage twice as large.
    ReserveLarge(OutBuffer, expected + GrowBy);
}

char* TqelXMLParser2::OutputRoom(std::size_t n)
{
    if (OutCapacity < OutLength + n) {
        OutCapacity += std::max(GrowBy, n);
        // The storage itself grows geometrically, so that long outputs are not
        // copied once per GrowBy characters; only the room handed out is filled.
        if (OutBuffer.size() < OutCapacity) {
            if (OutBuffer.capacity() < OutCapacity) OutBuffer.reserve(std::max(OutCapacity, 2 * OutBuffer.capacity()));
            OutBuffer.resize(OutCapacity);
        }
    }
    return OutBuffer.data() + OutLength;
}

void TqelXMLParser2::OutputWritten(const char* end)
{
    OutLength = static_cast<std::size_t>(end - OutBuffer.data());
    OutCursor = OutLength;
}

void TqelXMLParser2::AppendOutput(std::string_view text)
{
    if (text.empty()) return;
    OutputWritten(Put(OutputRoom(text.size()), text));
}

void TqelXMLParser2::WriteNode(const TqelXMLNode2* node)
{
    // A start tag is written in one piece: its length is worked out first (the
    // attribute values decide their quotes and references on the way), room is
    // made for it once, and it is copied in through a cursor. An element without
    // children has its text and end tag in the same piece. The cursor and the end
    // of the room are kept here rather than in the document, which every
    // character written might otherwise change as far as the compiler knows.
    //
    // Each frame is an element whose start tag is written and the index of the
    // next child to write; the walk needs no recursion however deep the tree.
    struct TFrame {
        const TqelXMLNode2* Node;
        int Next;
    };
    std::vector<TFrame> stack;
    std::vector<TAttributeText> attributes;  // of the element being written
    char* cursor = OutBuffer.data() + OutLength;
    char* roomEnd = OutBuffer.data() + OutCapacity;
    const auto room = [&](std::size_t n) {
        if (static_cast<std::size_t>(roomEnd - cursor) < n) {
            OutputWritten(cursor);
            cursor = OutputRoom(n);
            roomEnd = OutBuffer.data() + OutCapacity;
        }
    };
    const TqelXMLNode2* entering = node;
    int level = IndentLevel;  // of the next element entered; line holds its indentation
    std::string_view line = LineIndentFor(level);
    std::string_view lineBefore = line.substr(LineBreak.size());  // of the element entered: no break before the first
    for (;;) {
        if (entering) {
            const TqelXMLNode2& element = *entering;
            entering = nullptr;
            const std::string_view name = element.Name;
            const std::string_view text = element.Text;
            const bool hasChildren = element.Children.Count() > 0;
            const bool empty = !hasChildren && text.empty();
            const bool cdata = element.NeedsCData && !empty;
            const std::string_view open = empty ? "/>" : cdata ? "><![CDATA[" : ">";
            const std::string_view close = cdata ? "]]>" : "";
            const bool endTag = !hasChildren && !empty;
            std::size_t length = lineBefore.size() + 1 + name.size() + open.size() + text.size() + close.size() +
                                 (endTag ? name.size() + 3 : 0);
            // The attributes may lie anywhere in memory: asking for all of them
            // before reading any lets their loads overlap.
            for (const auto& attribute : element.Attributes) __builtin_prefetch(attribute.get());
            attributes.clear();
            for (const auto& attribute : element.Attributes) {
                const TAttributeText& added =
                    attributes.emplace_back(attribute->Name, attribute->Value, WrittenForm(attribute->Value));
                length += added.Name.size() + added.Form.Length + 4;
            }
            room(length);
            cursor = Put(cursor, lineBefore);
            cursor = Put(cursor, '<');
            cursor = Put(cursor, name);
            for (const TAttributeText& attribute : attributes) {
                cursor = Put(cursor, ' ');
                cursor = Put(cursor, attribute.Name);
                cursor = Put(cursor, '=');
                cursor = Put(cursor, attribute.Form.Quote);
                cursor = PutValue(cursor, attribute.Value, attribute.Form);
                cursor = Put(cursor, attribute.Form.Quote);
            }
            cursor = Put(cursor, open);
            cursor = Put(cursor, text);
            cursor = Put(cursor, close);
            if (endTag) {
                cursor = Put(cursor, "</");
                cursor = Put(cursor, name);
                cursor = Put(cursor, '>');
            }
            if (hasChildren) {
                line = LineIndentFor(++level);
                stack.push_back({&element, 0});
            }
        }
        if (stack.empty()) break;
        TFrame& top = stack.back();
        if (top.Next < top.Node->Children.Count()) {
            lineBefore = line;
            entering = top.Node->Children[top.Next++];
            PrefetchSiblings(top.Node->Children, top.Next);
            continue;
        }
        line = LineIndentFor(--level);
        const std::string_view name = top.Node->Name;
        room(line.size() + name.size() + 3);
        cursor = Put(cursor, line);
        cursor = Put(cursor, "</");
        cursor = Put(cursor, name);
        cursor = Put(cursor, '>');
        stack.pop_back();
    }
    OutputWritten(cursor);
}

void TqelXMLParser2::WriteDeclaration(const TqelXMLNode2& root)
{
    std::string version = Declaration->GetAttribute("version");
    std::string encoding = Declaration->GetAttribute("encoding");
    if (version.empty()) version = "1.0";
    if (encoding.empty()) encoding = HoldsUtf8BeyondAscii(root) ? "UTF-8" : "ISO-8859-1";
    AppendOutput("<?xml version='");
    AppendOutput(version);
    AppendOutput("' encoding='");
    AppendOutput(encoding);
    AppendOutput("' ?>");
    AppendOutput(LineBreak);
}

void TqelXMLParser2::TakeOutput(std::string& result)
{
    OutBuffer.resize(OutLength);
    result = std::move(OutBuffer);
    std::string().swap(OutBuffer);
    OutCapacity = 0;
    OutLength = 0;
    OutCursor = 0;
}

void TqelXMLParser2::GetXMLText(std::string& result)
{
    if (FStandard) {
        result = WriteLossless(*this, *this);
        return;
    }
    ResetOutput();
    // A document is written about as long as it was read, and an eighth more for
    // line ends that grow to two characters.
    ReserveOutput(Source.size() + Source.size() / 8);
    WriteDeclaration(*this);
    WriteNode(this);
    TakeOutput(result);
}

std::string TqelXMLParser2::GetXMLText()
{
    std::string result;
    GetXMLText(result);
    return result;
}

void TqelXMLParser2::GetNodeXML(const TqelXMLNode2* node, std::string& result)
{
    result.clear();
    if (!node) return;
    if (FStandard) {
        result = WriteLossless(*this, *node);
        return;
    }
    ResetOutput();
    if (!node->Parent) WriteDeclaration(*node);
    WriteNode(node);
    TakeOutput(result);
}

std::string TqelXMLParser2::GetNodeXML(const TqelXMLNode2* node)
{
    std::string result;
    GetNodeXML(node, result);
    return result;
}
