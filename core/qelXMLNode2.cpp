#include "core/qelXMLParser2.h"
#include "core/TreeWalk.h"

#include <algorithm>
#include <utility>

namespace {
const std::string EmptyText;
unsigned long long TextRevisionCount = 0;

// The first child (or, when deep, the first element below root in pre-order) for
// which test is true.
template <class Test>
TqelXMLNode2* FindBelow(const TqelXMLNode2* root, bool deep, Test test)
{
    if (!deep) {
        for (const auto& child : root->Children)
            if (test(child.get())) return child.get();
        return nullptr;
    }
    return const_cast<TqelXMLNode2*>(
        WalkPreOrder(root, [root, &test](const TqelXMLNode2* node) { return node != root && test(node); }));
}
}  // namespace

// A document holds millions of elements: what an element weighs shows in the
// memory of every large document.
static_assert(sizeof(TqelXMLNode2) <= 16 * sizeof(void*), "an element outgrew its 128 bytes");

TqelXMLNode2::~TqelXMLNode2()
{
    Attributes.Clear();
    if (Children.Count() == 0) return;
    // Tear the subtree down level by level: every element is destroyed after its
    // children were taken from it, so no destructor recurses.
    std::vector<std::unique_ptr<TqelXMLNode2>> pending;
    Children.MoveAllTo(pending);
    while (!pending.empty()) {
        std::unique_ptr<TqelXMLNode2> node = std::move(pending.back());
        pending.pop_back();
        node->Children.MoveAllTo(pending);
    }
}

TqelSourceSpan& TqelXMLNode2::ForceSourceSpan()
{
    if (!SourceSpan) SourceSpan = std::make_unique<TqelSourceSpan>();
    return *SourceSpan;
}

const std::string& TqelNamePrefix::EmptyText() { return ::EmptyText; }

namespace {
// Sets prefix from a name with a colon; any other name keeps it.
inline void TakePrefix(TqelNamePrefix& prefix, std::string_view name)
{
    // A plain loop: names are short, and find would call the library for each.
    const auto colon = std::find(name.begin(), name.end(), ':');
    if (colon != name.end()) prefix = name.substr(0, static_cast<std::size_t>(colon - name.begin()));
}

// True when the text must be written as CDATA ("<" or ">" in it).
inline bool TextNeedsCData(std::string_view text)
{
    // A plain loop: find_first_of looks every character up in the set with a call.
    return std::any_of(text.begin(), text.end(), [](char c) { return c == '<' || c == '>'; });
}
}  // namespace

void TqelXMLNode2::SetName(std::string name)
{
    TakePrefix(Prefix, name);
    Name = std::move(name);
}

void TqelXMLNode2::AssignName(std::string_view name)
{
    TakePrefix(Prefix, name);
    AssignExact(Name, name);
}

unsigned long long TextRevision() { return TextRevisionCount; }

void TqelXMLNode2::SetText(std::string text)
{
    ++TextRevisionCount;
    NeedsCData = TextNeedsCData(text);
    Text = std::move(text);
}

void TqelXMLNode2::AssignText(std::string_view text)
{
    ++TextRevisionCount;
    NeedsCData = TextNeedsCData(text);
    AssignExact(Text, text);
}

TqelXMLNode2* TqelXMLNode2::AddChild(std::unique_ptr<TqelXMLNode2> child)
{
    child->Parent = this;
    return Children.Add(std::move(child));
}

void TqelXMLNode2::DeleteChild(TqelXMLNode2* child)
{
    const int index = Children.IndexOf(child);
    if (index >= 0) Children.Delete(index);  // the returned owner destroys it
}

bool TqelXMLNode2::MoveTo(TqelXMLNode2* newParent)
{
    if (!Parent || !newParent) return false;
    for (const TqelXMLNode2* p = newParent; p; p = p->Parent)
        if (p == this) return false;  // the tree must stay a tree
    const int index = Parent->Children.IndexOf(this);
    if (index < 0) return false;
    newParent->AddChild(Parent->Children.Delete(index));
    return true;
}

std::unique_ptr<TqelXMLNode2> TqelXMLNode2::Clone() const
{
    auto copyOne = [](const TqelXMLNode2& source) {
        auto copy = std::make_unique<TqelXMLNode2>();
        copy->SetName(source.Name);
        copy->SetText(source.Text);
        copy->Attributes.Reserve(static_cast<std::size_t>(source.Attributes.Count()));
        for (const auto& attribute : source.Attributes) copy->Attributes.Add(attribute->Clone());
        return copy;
    };
    auto root = copyOne(*this);
    // Pairs of a source element and its copy whose children are still to be copied.
    std::vector<std::pair<const TqelXMLNode2*, TqelXMLNode2*>> pending{{this, root.get()}};
    while (!pending.empty()) {
        auto [source, copy] = pending.back();
        pending.pop_back();
        copy->Children.Reserve(static_cast<std::size_t>(source->Children.Count()));
        for (const auto& child : source->Children) {
            TqelXMLNode2* childCopy = copy->AddChild(copyOne(*child));
            if (child->Children.Count() > 0) pending.emplace_back(child.get(), childCopy);
        }
    }
    return root;
}

const std::string& TqelXMLNode2::GetAttribute(int index) const
{
    if (index < 0 || index >= Attributes.Count()) return EmptyText;
    return Attributes[index]->Value;
}

const std::string& TqelXMLNode2::GetAttribute(std::string_view name) const
{
    const int index = IndexOfAttribute(name);
    return index < 0 ? EmptyText : Attributes[index]->Value;
}

void TqelXMLNode2::SetAttribute(int index, std::string value)
{
    if (index < 0 || index >= Attributes.Count()) return;
    Attributes[index]->Value = std::move(value);
}

void TqelXMLNode2::SetAttribute(std::string_view name, std::string value)
{
    const int index = IndexOfAttribute(name);
    if (index >= 0)
        Attributes[index]->Value = std::move(value);
    else
        Attributes.Add(std::make_unique<TqelXMLAttribute2>(std::string(name), std::move(value)));
}

int TqelXMLNode2::IndexOfAttribute(std::string_view name) const
{
    for (int i = 0; i < Attributes.Count(); ++i)
        if (Attributes[i]->Name == name) return i;
    return -1;
}

bool TqelXMLNode2::RemoveAttribute(const TqelXMLAttribute2* attribute)
{
    const int index = Attributes.IndexOf(attribute);
    if (index < 0) return false;
    Attributes.Delete(index);
    return true;
}

TqelXMLNode2* TqelXMLNode2::FindChild(std::string_view name, bool deep) const
{
    return FindBelow(this, deep, [name](const TqelXMLNode2* node) { return node->Name == name; });
}

TqelXMLNode2* TqelXMLNode2::FindById(std::string_view id, bool deep) const
{
    return FindBelow(this, deep, [id](const TqelXMLNode2* node) { return node->GetAttribute("id") == id; });
}

TqelXMLNode2* TqelXMLNode2::ForceChild(std::string_view name)
{
    if (TqelXMLNode2* found = FindChild(name, false)) return found;
    auto child = std::make_unique<TqelXMLNode2>();
    child->SetName(std::string(name));
    return AddChild(std::move(child));
}

TqelXMLNode2* TqelXMLNode2::FindAncestor(std::string_view name) const
{
    for (TqelXMLNode2* p = Parent; p; p = p->Parent)
        if (p->Name == name) return p;
    return nullptr;
}

std::string TqelXMLNode2::GetNamespaceURI() const
{
    if (Prefix.empty()) return {};
    const std::string key = "xmlns:" + Prefix.Value();
    for (const TqelXMLNode2* p = this; p; p = p->Parent) {
        const std::string& value = p->GetAttribute(key);
        if (!value.empty()) return value;
    }
    return {};
}
