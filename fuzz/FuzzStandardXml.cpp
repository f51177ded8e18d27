// The standard reading and the lossless save: an unchanged save gives the input
// back, and an edited document saves to text that reads back as the edited tree.

#include <cstdint>

#include "core/StandardSource.h"
#include "core/TreeWalk.h"
#include "core/qelXMLParser2.h"

namespace {

// The whole tree as one text: each element's depth, name, attributes and text.
std::string Shape(const TqelXMLNode2& root)
{
    std::string shape;
    WalkPreOrder(&root, [&](const TqelXMLNode2* node) {
        int depth = 0;
        for (const TqelXMLNode2* p = node->Parent; p; p = p->Parent) ++depth;
        shape += std::to_string(depth) + '<' + node->Name;
        for (const auto& attribute : node->Attributes) shape += ' ' + attribute->Name + '=' + attribute->Value;
        shape += '>' + node->Text + '\n';
        return false;
    });
    return shape;
}

void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TqelXMLParser2 document;
    document.LoadFromText(text, TqelXMLReading::Standard);
    if (!document.LastError.empty()) {
        Require(document.Children.Count() == 0 && document.Name.empty());
        return 0;
    }
    Require(document.GetXMLText() == text);

    // Edit the element the first byte picks (in pre-order) and its parent.
    long pick = size > 0 ? data[0] : 0;
    TqelXMLNode2* target = WalkPreOrder(static_cast<TqelXMLNode2*>(&document), [&](TqelXMLNode2*) { return pick-- == 0; });
    if (!target) target = &document;
    // Elements from an entity's replacement text are saved as the reference itself.
    while (target->Parent && (target->SourceFlags & SourceFromEntity)) target = target->Parent;
    // Elements from an entity stand where its reference stands in the saved text, so
    // a new text or child beside them is placed relative to the reference: that
    // text and those children are left alone.
    bool entityChild = false;
    for (const auto& child : target->Children) entityChild = entityChild || (child->SourceFlags & SourceFromEntity);
    if (!entityChild) {
        target->SetText("x & <y> ]]>");
        target->AddChild(std::make_unique<TqelXMLNode2>())->SetName("added");
    }
    target->SetAttribute("fz", "'\"&<\t>");
    if (target->Parent && (data[0] & 1)) target->SetName("renamed");
    if (target->Parent && (data[0] & 2)) target->Parent->DeleteChild(target);

    const std::string edited = Shape(document);
    const std::string saved = document.GetXMLText();
    TqelXMLParser2 again;
    again.LoadFromText(saved, TqelXMLReading::Standard);
    Require(again.LastError.empty());
    Require(Shape(again) == edited);
    return 0;
}
