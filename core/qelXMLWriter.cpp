// The XML writer of the document class: elements as text, two spaces of
// indentation per level, CR LF between lines, no character escaping but in the
// attribute values that would not read back otherwise.

#include <algorithm>
#include <cstring>

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
const std::string Indentation(2 * MaxIndentLevel, ' ');

std::string_view IndentFor(int level)
{
    return std::string_view(Indentation).substr(0, 2 * static_cast<std::size_t>(std::clamp(level, 0, MaxIndentLevel)));
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
    // children has its text and end tag in the same piece.
    //
    // Each frame is an element whose start tag is written and the index of the
    // next child to write; the walk needs no recursion however deep the tree.
    struct TFrame {
        const TqelXMLNode2* Node;
        int Next;
    };
    std::vector<TFrame> stack;
    std::vector<TValueForm> forms;  // of the attributes of the element being written
    const TqelXMLNode2* entering = node;
    std::string_view lineBreak = "";  // written before the element entered: none before the first
    for (;;) {
        if (entering) {
            const TqelXMLNode2& element = *entering;
            entering = nullptr;
            const std::string_view indent = IndentFor(IndentLevel);
            const bool hasChildren = element.Children.Count() > 0;
            const bool empty = !hasChildren && element.Text.empty();
            const bool cdata = element.NeedsCData && !empty;
            const std::string_view open = empty ? "/>" : cdata ? "><![CDATA[" : ">";
            const std::string_view close = cdata ? "]]>" : "";
            const bool endTag = !hasChildren && !empty;
            std::size_t length = lineBreak.size() + indent.size() + 1 + element.Name.size() + open.size() +
                                 element.Text.size() + close.size() + (endTag ? element.Name.size() + 3 : 0);
            // The attributes may lie anywhere in memory: asking for all of them
            // before reading any lets their loads overlap.
            for (const auto& attribute : element.Attributes) __builtin_prefetch(attribute.get());
            forms.clear();
            for (const auto& attribute : element.Attributes) {
                forms.push_back(ValueForm(attribute->Value));
                length += attribute->Name.size() + forms.back().Length + 4;
            }
            char* cursor = OutputRoom(length);
            cursor = Put(cursor, lineBreak);
            cursor = Put(cursor, indent);
            cursor = Put(cursor, '<');
            cursor = Put(cursor, element.Name);
            for (std::size_t i = 0; i < forms.size(); ++i) {
                const TqelXMLAttribute2& attribute = *element.Attributes[static_cast<int>(i)];
                cursor = Put(cursor, ' ');
                cursor = Put(cursor, attribute.Name);
                cursor = Put(cursor, '=');
                cursor = Put(cursor, forms[i].Quote);
                cursor = PutValue(cursor, attribute.Value, forms[i]);
                cursor = Put(cursor, forms[i].Quote);
            }
            cursor = Put(cursor, open);
            cursor = Put(cursor, element.Text);
            cursor = Put(cursor, close);
            if (endTag) {
                cursor = Put(cursor, "</");
                cursor = Put(cursor, element.Name);
                cursor = Put(cursor, '>');
            }
            OutputWritten(cursor);
            if (hasChildren) {
                ++IndentLevel;
                stack.push_back({&element, 0});
            }
        }
        if (stack.empty()) return;
        TFrame& top = stack.back();
        if (top.Next < top.Node->Children.Count()) {
            lineBreak = LineBreak;
            entering = top.Node->Children[top.Next++];
            if (top.Next < top.Node->Children.Count()) __builtin_prefetch(top.Node->Children[top.Next]);
            continue;
        }
        --IndentLevel;
        const std::string_view indent = IndentFor(IndentLevel);
        const std::string_view name = top.Node->Name;
        char* cursor = OutputRoom(LineBreak.size() + indent.size() + name.size() + 3);
        cursor = Put(cursor, LineBreak);
        cursor = Put(cursor, indent);
        cursor = Put(cursor, "</");
        cursor = Put(cursor, name);
        OutputWritten(Put(cursor, '>'));
        stack.pop_back();
    }
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
