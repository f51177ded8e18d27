// The standard reading: XML 1.0 through expat, building the same element tree as
// the classic scanner, with every element's place in the text recorded.
//
// Text of an element: its character data before the first child element (CDATA
// content included, comments and processing instructions skipped), references
// decoded, trimmed of codes <= 32. Character data after a child stays in the
// source text only. No external entity or DTD is ever read: parameter entities
// are not parsed and external entity references load nothing.

#include <limits>
#include <memory>

#include "core/ExpatParser.h"
#include "core/PendingChildren.h"
#include "core/SourceMarkup.h"
#include "core/StandardSource.h"
#include "core/TextEncoding.h"

namespace {

struct TReadState {
    TqelXMLParser2* Document = nullptr;  // not owned
    TqelXMLNode2* Target = nullptr;      // not owned; the outermost element read
    TqelXMLNode2* Current = nullptr;     // not owned; the open element, nullptr before and after the outermost
    TqelStandardSource* State = nullptr;  // not owned
    XML_Parser Parser = nullptr;         // not owned
    std::string_view Text;
    std::size_t Base = 0;
    TqelPendingChildren Children;  // of the open elements
    std::string Pending;         // character data of Current's text so far
    bool CollectingText = false;  // Current has no child yet
    bool Done = false;            // the outermost element has ended
};

void FinishText(TReadState& s)
{
    if (!s.CollectingText) return;
    s.CollectingText = false;
    // A copy of the exact length: Pending keeps its buffer for the next text, and
    // the element holds no more than its text needs.
    s.Current->AssignText(TrimControls(s.Pending));
    s.Pending.clear();
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto& s = *static_cast<TReadState*>(data);
    TqelXMLNode2* element = s.Target;
    if (s.Current) {
        FinishText(s);
        auto created = std::make_unique<TqelXMLNode2>();
        created->Document = s.Document;
        element = s.Children.Add(std::move(created));
    }
    element->AssignName(name);
    // Attributes a DTD adds with their default values are not in the text, and not in the tree.
    const std::size_t count = static_cast<std::size_t>(XML_GetSpecifiedAttributeCount(s.Parser)) / 2;
    element->Attributes.Reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        element->Attributes.Add(TqelXMLAttribute2::FromText(attributes[2 * i], attributes[2 * i + 1]));

    const XML_Index at = XML_GetCurrentByteIndex(s.Parser);
    const int length = XML_GetCurrentByteCount(s.Parser);
    element->SourceFlags = SourceFromEntity;
    // An element from an entity's replacement text has no tag of its own in the text.
    if (at >= 0 && length >= 2 && static_cast<std::size_t>(at) < s.Text.size() && s.Text[static_cast<std::size_t>(at)] == '<') {
        element->SourceFlags = SourceHasSpan;
        element->SourceStart = static_cast<std::uint32_t>(s.Base + static_cast<std::size_t>(at));
        element->ForceSourceSpan().Content = static_cast<std::uint32_t>(s.Base + static_cast<std::size_t>(at) + static_cast<std::size_t>(length));
        if (s.Text[static_cast<std::size_t>(at) + static_cast<std::size_t>(length) - 2] == '/')
            element->SourceFlags |= SourceEmptyTag;
    }
    s.Children.Open(element);
    s.Current = element;
    s.CollectingText = true;
}

void XMLCALL OnEnd(void* data, const XML_Char*)
{
    auto& s = *static_cast<TReadState*>(data);
    TqelXMLNode2* element = s.Current;
    FinishText(s);
    s.Children.Close();
    if (element->SourceFlags & SourceEmptyTag) {
        element->ForceSourceSpan().EndTag = element->SourceContent();
    } else if (element->SourceFlags & SourceHasSpan) {
        element->ForceSourceSpan().EndTag = static_cast<std::uint32_t>(s.Base + static_cast<std::size_t>(XML_GetCurrentByteIndex(s.Parser)));
    }
    element->ForceSourceSpan().Digest = ElementDigest(*element);
    if (element == s.Target) {
        s.Current = nullptr;
        s.Done = true;
    } else {
        s.Current = element->Parent;
    }
}

void XMLCALL OnCharacters(void* data, const XML_Char* text, int length)
{
    auto& s = *static_cast<TReadState*>(data);
    if (s.CollectingText) s.Pending.append(text, static_cast<std::size_t>(length));
}

// An entity declared where it is not read (an external DTD) stays as written.
void XMLCALL OnSkippedEntity(void* data, const XML_Char* name, int parameter)
{
    auto& s = *static_cast<TReadState*>(data);
    if (parameter || !s.CollectingText) return;
    s.Pending += '&';
    s.Pending += name;
    s.Pending += ';';
}

void XMLCALL OnEntityDeclaration(void* data, const XML_Char* name, int parameter, const XML_Char* value, int length,
                                 const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
{
    auto& s = *static_cast<TReadState*>(data);
    if (!parameter && value) s.State->Entities.emplace(name, std::string(value, static_cast<std::size_t>(length)));
}

void XMLCALL OnDeclaration(void* data, const XML_Char* version, const XML_Char* encoding, int standalone)
{
    auto& s = *static_cast<TReadState*>(data);
    if (s.Target != s.Document) return;
    TqelXMLNode2& declaration = *s.Document->Declaration;
    declaration.Attributes.Clear();
    if (version) declaration.SetAttribute("version", version);
    if (encoding) declaration.SetAttribute("encoding", encoding);
    if (standalone != -1) declaration.SetAttribute("standalone", standalone ? "yes" : "no");
}

// External entities are never fetched: the reference reads as empty.
int XMLCALL OnExternalEntity(XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
{
    return XML_STATUS_OK;
}

void Empty(TqelXMLNode2& target)
{
    target.Attributes.Clear();
    target.Children.Clear();
    target.Name.clear();
    target.SetText({});
    target.SourceFlags = 0;
}

}  // namespace

bool ReadStandardXml(TqelXMLParser2& document, TqelXMLNode2& target, std::string_view text, std::size_t base,
                     TqelStandardSource& state, std::string& error)
{
    if (base + text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        error = "1:1: the standard reading takes texts below 4 GB";
        return false;
    }
    const TqelExpatParser parser = MakeGuardedParser();
    XML_Parser p = parser.get();
    TReadState s;
    s.Document = &document;
    s.Target = &target;
    s.State = &state;
    s.Parser = p;
    s.Text = text;
    s.Base = base;
    XML_SetUserData(p, &s);
    XML_SetElementHandler(p, OnStart, OnEnd);
    XML_SetCharacterDataHandler(p, OnCharacters);
    XML_SetSkippedEntityHandler(p, OnSkippedEntity);
    XML_SetEntityDeclHandler(p, OnEntityDeclaration);
    XML_SetXmlDeclHandler(p, OnDeclaration);
    XML_SetExternalEntityRefHandler(p, OnExternalEntity);

    Empty(target);
    if (ParseWhole(p, text)) return true;

    error = std::to_string(XML_GetCurrentLineNumber(p)) + ":" + std::to_string(XML_GetCurrentColumnNumber(p) + 1) +
            ": " + XML_ErrorString(XML_GetErrorCode(p));
    Empty(target);
    return false;
}

void TqelXMLParser2::LoadStandard(std::string raw, const std::string& fileName)
{
    auto state = std::make_unique<TqelStandardSource>();
    TqelDecodedText decoded;
    std::string error;
    PathCache.reset();
    Declaration->Attributes.Clear();
    FStandard.reset();
    bool ok = DecodeDocumentText(std::move(raw), decoded, error);
    if (ok) {
        Source = std::move(decoded.Text);
        state->Encoding = std::move(decoded.Encoding);
        state->Bom = std::move(decoded.Bom);
        state->TextLength = Source.size();
        ok = ReadStandardXml(*this, *this, Source, 0, *state, error);
        state->PrologEnd = SourceStart;
        state->EpilogStart = SourceEnd(Source, *this);
    }
    Position = 0;
    ParseRoot = this;
    if (!ok) {
        Attributes.Clear();
        Children.Clear();
        Name.clear();
        SetText({});
        Source.clear();
        LastError = fileName.empty() ? error : fileName + ":" + error;
        return;
    }
    FStandard = std::move(state);
    LastError.clear();
}

void TqelXMLParser2::ParseStandardFragment(TqelXMLNode2* node, std::string text)
{
    ParseRoot = node;
    if (!node) {
        LastError = "Invalid parameter pNode";
        return;
    }
    LastError.clear();
    // The element's own text applied again changes nothing.
    if (text == WriteLossless(*this, *node)) return;
    TqelXMLNode2 built;
    built.Document = node == this ? nullptr : this;
    std::string error;
    if (!ReadStandardXml(*this, built, text, Source.size(), *FStandard, error)) {
        LastError = error;
        return;
    }
    // The text stays after the document's, so that the element saves as it was given.
    Source += text;
    node->SetName(built.Name);
    node->SetText(built.Text);
    node->Attributes.Clear();
    for (auto& attribute : built.Attributes.TakeAll()) node->Attributes.Add(std::move(attribute));
    node->Children.Clear();
    for (auto& child : built.Children.TakeAll()) node->AddChild(std::move(child));
    node->SourceFlags = built.SourceFlags;
    node->SourceStart = built.SourceStart;
    node->SourceSpan = std::move(built.SourceSpan);
    node->ForceSourceSpan().Digest = ElementDigest(*node);
}
