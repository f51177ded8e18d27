#include "app/UndoCommands.h"

#include <stdexcept>
#include <utility>

#include "app/BrindleU.h"
#include "core/TreeWalk.h"

TElementPath PathOf(const TqelXMLNode2* element)
{
    TElementPath path;
    for (; element && element->Parent; element = element->Parent)
        path.push_back(element->Parent->Children.IndexOf(element));
    return {path.rbegin(), path.rend()};
}

TqelXMLNode2* ElementAt(TqelXMLNode2& document, const TElementPath& path)
{
    TqelXMLNode2* element = &document;
    for (const int row : path) {
        if (row < 0 || row >= element->Children.Count()) return nullptr;
        element = element->Children[row];
    }
    return element;
}

std::unique_ptr<TqelXMLNode2> TakeContent(TqelXMLNode2& element)
{
    auto content = std::make_unique<TqelXMLNode2>();
    content->Name = element.Name;
    content->Prefix = element.Prefix;
    content->Text = element.Text;
    content->NeedsCData = element.NeedsCData;
    // Where the element stood in the text it was read from goes with what it held,
    // so that content put back saves as it was read.
    content->SourceFlags = element.SourceFlags;
    content->SourceStart = element.SourceStart;
    if (element.SourceSpan) content->SourceSpan = std::make_unique<TqelSourceSpan>(*element.SourceSpan);
    for (const auto& attribute : element.Attributes) content->Attributes.Add(attribute->Clone());
    for (auto& child : element.Children.TakeAll()) content->AddChild(std::move(child));
    return content;
}

std::size_t SubtreeBytes(const TqelXMLNode2& element)
{
    std::size_t bytes = 0;
    WalkPreOrder(&element, [&bytes](const TqelXMLNode2* node) {
        bytes += sizeof(TqelXMLNode2) + node->Name.capacity() + node->Prefix.capacity() + node->Text.capacity();
        for (const auto& attribute : node->Attributes)
            bytes += sizeof(TqelXMLAttribute2) + attribute->Name.capacity() + attribute->Value.capacity();
        return false;
    });
    return bytes;
}

namespace {

// Exchanges everything two elements hold but their places in their trees.
void SwapContent(TqelXMLNode2& a, TqelXMLNode2& b)
{
    std::swap(a.Name, b.Name);
    std::swap(a.Prefix, b.Prefix);
    std::swap(a.Text, b.Text);
    std::swap(a.NeedsCData, b.NeedsCData);
    std::swap(a.SourceFlags, b.SourceFlags);
    std::swap(a.SourceStart, b.SourceStart);
    std::swap(a.SourceSpan, b.SourceSpan);
    auto attributesOfA = a.Attributes.TakeAll();
    for (auto& attribute : b.Attributes.TakeAll()) a.Attributes.Add(std::move(attribute));
    for (auto& attribute : attributesOfA) b.Attributes.Add(std::move(attribute));
    auto childrenOfA = a.Children.TakeAll();
    for (auto& child : b.Children.TakeAll()) a.AddChild(std::move(child));
    for (auto& child : childrenOfA) b.AddChild(std::move(child));
}

}  // namespace

// ---- TDocumentStep ----

TDocumentStep::TDocumentStep(TBrindleF& window, QString caption, TElementPath path)
    : TUndoStep(std::move(caption)), FWindow(window), FPath(std::move(path))
{
}

TqelXMLNode2& TDocumentStep::Element() const
{
    TqelXMLNode2* element = ElementAt(*FWindow.WorkDoc, FPath);
    // Steps are toggled in order, so their elements are where they were left.
    if (!element) throw std::logic_error("The history does not match the document.");
    return *element;
}

QModelIndex TDocumentStep::Item(const TElementPath& path) const
{
    return FWindow.TreeModel().IndexOf(ElementAt(*FWindow.WorkDoc, path));
}

// ---- elements added and deleted ----

TPresenceStep::TPresenceStep(TBrindleF& window, QString caption, TElementPath path, std::unique_ptr<TqelXMLNode2> held)
    : TDocumentStep(window, std::move(caption), std::move(path)), FHeld(std::move(held))
{
    FBytes = SubtreeBytes(FHeld ? *FHeld : Element());
}

void TPresenceStep::Toggle()
{
    TElementPath parentPath(FPath.begin(), FPath.end() - 1);
    if (FHeld)
        FWindow.TreeModel().InsertChild(Item(parentPath), FPath.back(), std::move(FHeld));
    else
        FHeld = FWindow.TreeModel().TakeItem(Item(FPath));
}

TElementPath TPresenceStep::Target() const
{
    if (!FHeld) return FPath;
    return TElementPath(FPath.begin(), FPath.end() - 1);
}

// ---- names and texts ----

TNameStep::TNameStep(TBrindleF& window, TElementPath path, const TqelXMLNode2& before)
    : TDocumentStep(window, QStringLiteral("Rename ") + window.Decode(before.Name), std::move(path)),
      FName(before.Name),
      FPrefix(before.Prefix)
{
}

void TNameStep::Toggle()
{
    TqelXMLNode2& element = Element();
    std::swap(element.Name, FName);
    std::swap(element.Prefix, FPrefix);
    FWindow.TreeModel().Refresh(Item(FPath));
}

TTextStep::TTextStep(TBrindleF& window, TElementPath path, std::string before)
    : TDocumentStep(window, QStringLiteral("Edit text"), std::move(path)), FText(std::move(before))
{
}

void TTextStep::Toggle()
{
    TqelXMLNode2& element = Element();
    std::string current = std::move(element.Text);
    element.SetText(std::move(FText));
    FText = std::move(current);
}

bool TTextStep::Absorb(const TUndoStep& later)
{
    const auto* text = dynamic_cast<const TTextStep*>(&later);
    return text && text->FPath == FPath;
}

// ---- attributes ----

TAttributePresenceStep::TAttributePresenceStep(TBrindleF& window, QString caption, TElementPath path, int index,
                                               std::unique_ptr<TqelXMLAttribute2> held)
    : TDocumentStep(window, std::move(caption), std::move(path)), FIndex(index), FHeld(std::move(held))
{
}

void TAttributePresenceStep::Toggle()
{
    TqelXMLNode2& element = Element();
    if (FHeld)
        element.Attributes.Insert(FIndex, std::move(FHeld));
    else
        FHeld = element.Attributes.Delete(FIndex);
}

TAttributeEditStep::TAttributeEditStep(TBrindleF& window, TElementPath path, int index, const TqelXMLAttribute2& before)
    : TDocumentStep(window, QStringLiteral("Edit attribute ") + window.Decode(before.Name), std::move(path)),
      FIndex(index),
      FName(before.Name),
      FValue(before.Value)
{
}

void TAttributeEditStep::Toggle()
{
    TqelXMLAttribute2& attribute = *Element().Attributes[FIndex];
    std::swap(attribute.Name, FName);
    std::swap(attribute.Value, FValue);
}

// ---- whole contents ----

TContentStep::TContentStep(TBrindleF& window, QString caption, TElementPath path, std::unique_ptr<TqelXMLNode2> other)
    : TDocumentStep(window, std::move(caption), std::move(path)), FOther(std::move(other))
{
    FBytes = SubtreeBytes(*FOther);
}

TContentStep::TContentStep(TBrindleF& window, QString caption, std::unique_ptr<TqelXMLNode2> other,
                           std::unique_ptr<TqelXMLNode2> declaration, std::string source,
                           std::unique_ptr<TqelStandardSource> standard)
    : TContentStep(window, std::move(caption), {}, std::move(other))
{
    FDeclaration = std::move(declaration);
    FSource = std::move(source);
    FStandard = std::move(standard);
    FBytes += FSource.capacity();
}

void TContentStep::Toggle()
{
    if (!FPath.empty()) {
        TqelXMLNode2& element = Element();
        FWindow.TreeModel().ReplaceChildren(Item(FPath), [this, &element] { SwapContent(element, *FOther); });
        return;
    }
    TqelXMLParser2& document = *FWindow.WorkDoc;
    FWindow.BuildTree([this, &document] {
        SwapContent(document, *FOther);
        if (FDeclaration) {
            std::swap(document.Declaration, FDeclaration);
            std::swap(document.Source, FSource);
            document.SwapStandardSource(FStandard);
        }
        // Compiled expressions may refer to what the document held.
        document.PathCache.reset();
    });
}
