// The automatic rule: one pass of the XML parser over the text, noting what the
// classic scanner would not read as it is.

#include "core/ReadingChoice.h"

#include "core/ExpatParser.h"
#include "core/TextEncoding.h"

namespace {

struct TScan {
    XML_Parser Parser = nullptr;
    std::string_view Text;
    bool Needed = false;  // found something the classic reading does not read as it is
    bool TextSeen = false;   // the open element has character data other than blanks
    bool ChildSeen = false;  // the open element has a child
};

bool Blank(const XML_Char* text, int length)
{
    for (int i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) > 32) return false;
    return true;
}

void XMLCALL OnStart(void* data, const XML_Char*, const XML_Char**)
{
    auto& s = *static_cast<TScan*>(data);
    s.TextSeen = false;
    s.ChildSeen = false;
    const XML_Index at = XML_GetCurrentByteIndex(s.Parser);
    const int length = XML_GetCurrentByteCount(s.Parser);
    if (at < 0 || length < 2) return;
    const std::string_view tag = s.Text.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(length) - 1);
    if (tag.find_first_of("\t\r\n>") != std::string_view::npos) s.Needed = true;
}

void XMLCALL OnEnd(void* data, const XML_Char*)
{
    auto& s = *static_cast<TScan*>(data);
    s.ChildSeen = true;  // the parent now has a child
}

void XMLCALL OnCharacters(void* data, const XML_Char* text, int length)
{
    auto& s = *static_cast<TScan*>(data);
    if (Blank(text, length)) return;
    if (s.ChildSeen) s.Needed = true;
    s.TextSeen = true;
}

void XMLCALL OnCData(void* data)
{
    auto& s = *static_cast<TScan*>(data);
    if (s.TextSeen || s.ChildSeen) s.Needed = true;
}

void XMLCALL OnComment(void* data, const XML_Char*) { static_cast<TScan*>(data)->Needed = true; }

void XMLCALL OnInstruction(void* data, const XML_Char*, const XML_Char*) { static_cast<TScan*>(data)->Needed = true; }

void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    static_cast<TScan*>(data)->Needed = true;
}

}  // namespace

TqelXMLReading ChooseReading(std::string_view text)
{
    TqelDecodedText decoded;
    std::string error;
    if (!DecodeDocumentText(std::string(text), decoded, error)) return TqelXMLReading::Classic;
    const TqelExpatParser parser = MakeGuardedParser();
    XML_Parser p = parser.get();
    TScan s;
    s.Parser = p;
    s.Text = decoded.Text;
    s.Needed = !decoded.Bom.empty();
    XML_SetUserData(p, &s);
    XML_SetElementHandler(p, OnStart, OnEnd);
    XML_SetCharacterDataHandler(p, OnCharacters);
    XML_SetStartCdataSectionHandler(p, OnCData);
    XML_SetCommentHandler(p, OnComment);
    XML_SetProcessingInstructionHandler(p, OnInstruction);
    XML_SetStartDoctypeDeclHandler(p, OnDoctype);
    const bool ok = ParseWhole(p, decoded.Text);
    return ok && s.Needed ? TqelXMLReading::Standard : TqelXMLReading::Classic;
}
