// The XML writer of the document class: elements as text, two spaces of
// indentation per level, CR LF between lines, no character escaping but in the
// attribute values that would not read back otherwise.

#include <algorithm>

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
}  // namespace

char AttributeQuote(std::string_view value)
{
    const auto apostrophes = std::count(value.begin(), value.end(), '\'');
    if (apostrophes == 0) return '\'';
    const auto quotes = std::count(value.begin(), value.end(), '"');
    return quotes <= apostrophes ? '"' : '\'';
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
    OutBuffer.reserve(GrowBy);
    OutCapacity = GrowBy;
    OutLength = 0;
    OutCursor = 0;
    IndentLevel = 0;
}

void TqelXMLParser2::AppendOutput(std::string_view text)
{
    const std::size_t n = text.size();
    if (n == 0) return;
    if (OutCapacity < OutLength + n) {
        OutCapacity += std::max(GrowBy, n);
        // The storage itself grows geometrically, so that long outputs are not
        // copied once per GrowBy characters.
        if (OutBuffer.capacity() < OutCapacity) OutBuffer.reserve(std::max(OutCapacity, 2 * OutBuffer.capacity()));
    }
    OutBuffer.append(text);
    OutLength += n;
    OutCursor = OutLength;
}

void TqelXMLParser2::WriteNode(const TqelXMLNode2* node)
{
    // Each frame is an element whose start tag is written and the index of the
    // next child to write; the walk needs no recursion however deep the tree.
    struct TFrame {
        const TqelXMLNode2* Node;
        int Next;
    };
    std::vector<TFrame> stack;
    const TqelXMLNode2* entering = node;
    for (;;) {
        if (entering) {
            const TqelXMLNode2& element = *entering;
            entering = nullptr;
            AppendOutput(IndentFor(IndentLevel));
            AppendOutput("<");
            AppendOutput(element.Name);
            for (const auto& attribute : element.Attributes) {
                const bool single = AttributeQuote(attribute->Value) == '\'';
                AppendOutput(" ");
                AppendOutput(attribute->Name);
                AppendOutput(single ? "='" : "=\"");
                AppendAttributeValue(attribute->Value, single ? '\'' : '"');
                AppendOutput(single ? "'" : "\"");
            }
            const bool hasChildren = element.Children.Count() > 0;
            if (!hasChildren && element.Text.empty()) {
                AppendOutput("/>");
            } else {
                AppendOutput(element.NeedsCData ? "><![CDATA[" : ">");
                AppendOutput(element.Text);
                if (element.NeedsCData) AppendOutput("]]>");
                if (!hasChildren) {
                    AppendOutput("</");
                    AppendOutput(element.Name);
                    AppendOutput(">");
                } else {
                    ++IndentLevel;
                    stack.push_back({&element, 0});
                }
            }
        }
        if (stack.empty()) return;
        TFrame& top = stack.back();
        if (top.Next < top.Node->Children.Count()) {
            AppendOutput(LineBreak);
            entering = top.Node->Children[top.Next++];
            continue;
        }
        --IndentLevel;
        AppendOutput(LineBreak);
        AppendOutput(IndentFor(IndentLevel));
        AppendOutput("</");
        AppendOutput(top.Node->Name);
        AppendOutput(">");
        stack.pop_back();
    }
}

void TqelXMLParser2::AppendAttributeValue(std::string_view value, char quote)
{
    // The scanner ends a value at its quote and the tag at the first ">", and keeps
    // references as written, so a value that holds both quotes, or a ">", has no
    // form that reads back unchanged. Those characters are written as references
    // ("&quot;" or "&apos;", "&gt;"): the tag still reads back, with every other
    // attribute intact and the reference text in the value in place of the
    // character; a reader that decodes references gets the value exactly.
    if (value.find(quote) == std::string_view::npos && value.find('>') == std::string_view::npos) {
        AppendOutput(value);
        return;
    }
    const std::string quoted = ReplaceAll(value, std::string_view(&quote, 1), quote == '"' ? "&quot;" : "&apos;");
    AppendOutput(ReplaceAll(quoted, ">", "&gt;"));
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
