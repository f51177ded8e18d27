#pragma once
// The element tree of a document: elements, attributes, the owning list that
// holds them, and the document class that parses and writes XML text.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/NodePool.h"

class TqelXMLParser2;
class TqelXPathParser2;
class TqelXPathParserList2;
class TqelXMLNode2;
class Variant;
struct TqelStandardSource;
struct TqelXSLSort;
using TqelXSLSortKeys = std::vector<TqelXSLSort>;

// Counts the changes of element texts made through SetText in this process;
// results computed from texts stay valid while it does not move.
unsigned long long TextRevision();

// A plain element list: refers to elements without owning them.
using TqelNodeRefList = std::vector<TqelXMLNode2*>;

// An ordered, 0-based list that owns its items. Clear destroys every item in
// index order; Delete hands the item back to the caller instead of destroying it.
//
// The list is one pointer: an empty list holds nothing, a filled one a pooled
// block with its count and capacity in front of the items, so that the many
// elements without attributes or children stay small.
template <class T>
class TqelXMLNodeList2 {
public:
    using TItem = std::unique_ptr<T>;

    TqelXMLNodeList2() = default;
    TqelXMLNodeList2(const TqelXMLNodeList2&) = delete;
    TqelXMLNodeList2& operator=(const TqelXMLNodeList2&) = delete;
    ~TqelXMLNodeList2() { Clear(); }

    int Count() const { return FBlock ? static_cast<int>(FBlock->Count) : 0; }
    T* Items(int index) const { return Slots()[index].get(); }
    T* operator[](int index) const { return Items(index); }
    T* First() const { return Count() == 0 ? nullptr : Slots()[0].get(); }
    T* Last() const { return Count() == 0 ? nullptr : Slots()[Count() - 1].get(); }

    // Appends the item; returns it.
    T* Add(std::unique_ptr<T> item)
    {
        const std::uint32_t count = FBlock ? FBlock->Count : 0;
        if (!FBlock || count == FBlock->Capacity) Grow(count == 0 ? 1 : std::size_t{count} * 2);
        TItem* slot = std::construct_at(Slots() + count, std::move(item));
        ++FBlock->Count;
        return slot->get();
    }
    // Inserts the item before position index (Count appends).
    T* Insert(int index, std::unique_ptr<T> item)
    {
        const int count = Count();
        if (index == count) return Add(std::move(item));
        Add(std::move(Slots()[count - 1]));
        TItem* entries = Slots();
        for (int i = count - 1; i > index; --i) entries[i] = std::move(entries[i - 1]);
        entries[index] = std::move(item);
        return entries[index].get();
    }
    // Position of the item by identity, or -1.
    int IndexOf(const T* item) const
    {
        const int count = Count();
        const TItem* entries = Slots();
        for (int i = 0; i < count; ++i)
            if (entries[i].get() == item) return i;
        return -1;
    }
    // Removes the entry at index and hands the item to the caller.
    std::unique_ptr<T> Delete(int index)
    {
        TItem* entries = Slots();
        TItem item = std::move(entries[index]);
        const int last = Count() - 1;
        for (int i = index; i < last; ++i) entries[i] = std::move(entries[i + 1]);
        std::destroy_at(entries + last);
        --FBlock->Count;
        return item;
    }
    // Swaps two entries.
    void Exchange(int a, int b) { std::swap(Slots()[a], Slots()[b]); }
    // Destroys every item in index order and empties the list.
    void Clear()
    {
        if (!FBlock) return;
        for (TItem& item : *this) item.reset();
        Release();
    }
    using TItems = std::vector<TItem, TqelPoolAllocator<TItem>>;

    // Empties the list, handing every item to the caller (in index order).
    TItems TakeAll()
    {
        TItems items;
        MoveAllTo(items);
        return items;
    }
    // Empties the list, appending every item (in index order) to items.
    template <class Items>
    void MoveAllTo(Items& items)
    {
        if (!FBlock) return;
        for (TItem& item : *this) items.push_back(std::move(item));
        Release();
    }
    void Reserve(std::size_t n)
    {
        if (n > (FBlock ? FBlock->Capacity : 0)) Grow(n);
    }

    TItem* begin() const { return Slots(); }
    TItem* end() const { return Slots() + Count(); }

private:
    // The front of a block; the items follow it.
    struct TBlock {
        std::uint32_t Count;
        std::uint32_t Capacity;
    };
    static_assert(sizeof(TBlock) % alignof(TItem) == 0);
    static std::size_t BlockBytes(std::size_t capacity) { return sizeof(TBlock) + capacity * sizeof(TItem); }

    TItem* Slots() const { return FBlock ? reinterpret_cast<TItem*>(FBlock + 1) : nullptr; }
    // Moves the items into a block for capacity items.
    void Grow(std::size_t capacity)
    {
        if (capacity > UINT32_MAX) throw std::length_error("list too long");
        auto* block = static_cast<TBlock*>(NodePool::Allocate(BlockBytes(capacity)));
        block->Count = 0;
        block->Capacity = static_cast<std::uint32_t>(capacity);
        if (FBlock) {
            TItem* to = reinterpret_cast<TItem*>(block + 1);
            for (TItem& item : *this) std::construct_at(to++, std::move(item));
            block->Count = FBlock->Count;
            Release();
        }
        FBlock = block;
    }
    // Gives the block back; its items must be empty.
    void Release()
    {
        std::destroy(begin(), end());
        NodePool::Release(FBlock, BlockBytes(FBlock->Capacity));
        FBlock = nullptr;
    }

    TBlock* FBlock = nullptr;  // owned, with the items it holds
};

// Replaces target's text with a copy of text; a text longer than target's room
// gets a buffer of its own length, as a string made from it would.
inline void AssignExact(std::string& target, std::string_view text)
{
    if (text.size() > target.capacity())
        target = std::string(text);
    else
        target.assign(text);
}

// One attribute of an element: its full name (prefix included) and its value.
class TqelXMLAttribute2 {
public:
    std::string Value;
    std::string Name;

    TqelXMLAttribute2() {}
    TqelXMLAttribute2(std::string name, std::string value) : Value(std::move(value)), Name(std::move(name)) {}
    TqelXMLAttribute2(const TqelXMLAttribute2&) = delete;
    TqelXMLAttribute2& operator=(const TqelXMLAttribute2&) = delete;

    void SetName(std::string name) { Name = std::move(name); }
    void SetValue(std::string value) { Value = std::move(value); }
    // A new attribute with a copy of name and value, each copied once.
    static std::unique_ptr<TqelXMLAttribute2> FromText(std::string_view name, std::string_view value)
    {
        auto attribute = std::make_unique<TqelXMLAttribute2>();
        AssignExact(attribute->Name, name);
        AssignExact(attribute->Value, value);
        return attribute;
    }
    // A new attribute with the same name and value.
    std::unique_ptr<TqelXMLAttribute2> Clone() const { return FromText(Name, Value); }

    // Attributes live in the node pool (see NodePool.h).
    static void* operator new(std::size_t size) { return NodePool::Allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept { NodePool::Release(block, size); }
};

// The prefix of an element's name. Most elements have none, so an element holds
// only a pointer, and a string is made when a prefix is set. Reads like a const
// std::string.
class TqelNamePrefix {
public:
    TqelNamePrefix() = default;
    TqelNamePrefix(const TqelNamePrefix& other) { *this = other; }
    TqelNamePrefix(TqelNamePrefix&&) noexcept = default;
    TqelNamePrefix& operator=(const TqelNamePrefix& other) { return *this = other.Value(); }
    TqelNamePrefix& operator=(TqelNamePrefix&&) noexcept = default;
    // Sets the prefix ("" removes it).
    TqelNamePrefix& operator=(std::string_view text)
    {
        if (text.empty())
            FText.reset();
        else if (FText)
            FText->assign(text);
        else
            FText = std::make_unique<std::string>(text);
        return *this;
    }
    TqelNamePrefix& operator=(const std::string& text) { return *this = std::string_view(text); }
    TqelNamePrefix& operator=(const char* text) { return *this = std::string_view(text); }

    // The prefix, or "" when there is none.
    const std::string& Value() const { return FText ? *FText : EmptyText(); }
    operator const std::string&() const { return Value(); }
    bool empty() const { return !FText; }
    std::size_t size() const { return Value().size(); }
    std::size_t capacity() const { return FText ? FText->capacity() : 0; }
    const char* c_str() const { return Value().c_str(); }
    friend bool operator==(const TqelNamePrefix& a, std::string_view b) { return a.Value() == b; }

private:
    static const std::string& EmptyText();
    std::unique_ptr<std::string> FText;  // owned; nullptr when there is no prefix
};

// What a standard reading records of an element besides where its start tag
// begins: kept apart from the element, as a classic document has none of it.
struct TqelSourceSpan {
    std::uint32_t Content = 0;  // offset just past the start tag
    std::uint32_t EndTag = 0;   // offset of "</", or of the content's end for an empty-element tag
    std::uint64_t Digest = 0;   // digest of name, attributes, text and children as read

    static void* operator new(std::size_t size) { return NodePool::Allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept { NodePool::Release(block, size); }
};

using TqelXMLAttributeList2 = TqelXMLNodeList2<TqelXMLAttribute2>;
using TqelXMLChildList2 = TqelXMLNodeList2<TqelXMLNode2>;

// An element: a name, one text, attributes in the order they were first set,
// and child elements in document order. There are no other node kinds.
class TqelXMLNode2 {
public:
    std::string Name;
    std::string Text;
    TqelXMLNode2* Parent = nullptr;      // not owned
    TqelXMLChildList2 Children;          // owned
    TqelXMLAttributeList2 Attributes;    // owned
    TqelXMLParser2* Document = nullptr;  // not owned; set by the parser below the root only
    TqelNamePrefix Prefix;
    // Where a standard reading found the element in its document's text (byte
    // offsets; zero for elements made otherwise). Cloning does not copy them.
    std::uint32_t SourceStart = 0;       // offset of the start tag's "<"
    std::uint8_t SourceFlags = 0;        // TqelSourceFlag bits
    bool NeedsCData = false;
    std::unique_ptr<TqelSourceSpan> SourceSpan;  // owned; the rest, made by a standard reading only

    // Offset just past the start tag, or 0.
    std::uint32_t SourceContent() const { return SourceSpan ? SourceSpan->Content : 0; }
    // Offset of "</", or of the content's end for an empty-element tag; or 0.
    std::uint32_t SourceEndTag() const { return SourceSpan ? SourceSpan->EndTag : 0; }
    // Digest of name, attributes, text and children as read, or 0.
    std::uint64_t SourceDigest() const { return SourceSpan ? SourceSpan->Digest : 0; }
    // SourceSpan, made when there is none.
    TqelSourceSpan& ForceSourceSpan();

    // Provided rather than defaulted, so that make_unique does not clear the whole
    // object before the member initialisers run.
    TqelXMLNode2() {}
    TqelXMLNode2(const TqelXMLNode2&) = delete;
    TqelXMLNode2& operator=(const TqelXMLNode2&) = delete;
    // Destroys the attributes and the whole subtree (without recursion), but does
    // not unlink the element from its parent.
    virtual ~TqelXMLNode2();

    // Elements live in the node pool (see NodePool.h); a document, being larger,
    // goes to the global allocator.
    static void* operator new(std::size_t size) { return NodePool::Allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept { NodePool::Release(block, size); }

    // Sets Name; a name with a colon also sets Prefix, any other keeps the old Prefix.
    void SetName(std::string name);
    // As SetName, copying the name from a view.
    void AssignName(std::string_view name);
    // Sets Text and recomputes NeedsCData ("<" or ">" in the text).
    void SetText(std::string text);
    // As SetText, copying the text from a view.
    void AssignText(std::string_view text);
    void SetParent(TqelXMLNode2* parent) { Parent = parent; }
    // Appends child and makes this its parent; returns the child.
    TqelXMLNode2* AddChild(std::unique_ptr<TqelXMLNode2> child);
    // Destroys a direct child with its subtree; anything else leaves the tree unchanged.
    void DeleteChild(TqelXMLNode2* child);
    // Moves this element to the end of newParent's children. False, and nothing
    // changes, when this element has no parent or newParent lies in its own subtree.
    bool MoveTo(TqelXMLNode2* newParent);
    // A deep copy without Parent and Document; the caller attaches it.
    std::unique_ptr<TqelXMLNode2> Clone() const;

    // Value of the attribute at index, or "" when there is none.
    const std::string& GetAttribute(int index) const;
    // Value of the attribute with that name, or "" (a missing and an empty attribute look the same).
    const std::string& GetAttribute(std::string_view name) const;
    const std::string& GetAttribute(const char* name) const { return GetAttribute(std::string_view(name)); }
    const std::string& GetAttribute(const std::string& name) const { return GetAttribute(std::string_view(name)); }
    // Sets the value of the attribute at index; never adds one.
    void SetAttribute(int index, std::string value);
    // Sets the value of the named attribute, appending it when it is missing.
    void SetAttribute(std::string_view name, std::string value);
    void SetAttribute(const char* name, std::string value) { SetAttribute(std::string_view(name), std::move(value)); }
    void SetAttribute(const std::string& name, std::string value) { SetAttribute(std::string_view(name), std::move(value)); }
    // 0-based position of the first attribute with that name, or -1.
    int IndexOfAttribute(std::string_view name) const;
    bool HasAttribute(std::string_view name) const { return IndexOfAttribute(name) != -1; }
    // Destroys the attribute when it belongs to this element; false otherwise.
    bool RemoveAttribute(const TqelXMLAttribute2* attribute);

    // First child with that name; when deep, each child's subtree is searched
    // before the next sibling (pre-order). The element itself is never tested.
    TqelXMLNode2* FindChild(std::string_view name, bool deep) const;
    // As FindChild, testing the "id" attribute (an empty id finds the first element without one).
    TqelXMLNode2* FindById(std::string_view id, bool deep) const;
    // The first direct child with that name, created and appended when there is none.
    TqelXMLNode2* ForceChild(std::string_view name);
    // The nearest ancestor with that name, or nullptr.
    TqelXMLNode2* FindAncestor(std::string_view name) const;
    // Value of "xmlns:" + Prefix on this element or the nearest ancestor where it is not empty.
    std::string GetNamespaceURI() const;

    // Appends the elements of this subtree (this element first) for which the
    // expression is true, compiling it through the document's cache.
    void SelectNodes(TqelXMLParser2& document, TqelNodeRefList& list, bool stopAtMatch, std::string_view expression);
    // The XEL variable ("xel:var" element) of that name visible from this element:
    // searched among the direct children of each enclosing "xel:function", nearest
    // first, then of the enclosing "xel:program"; nullptr when there is none.
    TqelXMLNode2* FindXelVariable(std::string_view name) const;
    // Runs this element as XEL: statements act, any other element runs its children.
    // Raises the evaluation's errors and EXelError when calls and blocks nest too deeply.
    void ExecuteXel(TqelXMLParser2& document);
    // The "xel:function" among the direct children of the enclosing "xel:program"
    // whose "id" is this call element's text, or nullptr.
    TqelXMLNode2* FindXelFunction() const;
    // Runs the children of the first "xel:case" child whose condition holds.
    void ExecuteSwitch(TqelXMLParser2& document);
    // Asks the stylesheet document to transform this element; returns the text.
    void TransformWith(TqelXMLParser2& stylesheet, std::string& result);
};

// As SelectNodes on start, with an expression compiled for this call only.
void SelectNodesDirect(TqelXMLNode2* start, TqelNodeRefList& list, std::string_view expression, bool stopAtMatch);

// The quote an attribute value is written between: the apostrophe unless the value
// holds one, then the double quote. A value that holds both takes the one it holds
// fewer of (the double quote on a tie), which must then be written as a reference.
char AttributeQuote(std::string_view value);
// Why a value typed by a person cannot be stored in an attribute of a document that
// the scanner reads (it decodes no references, and a ">" ends the tag), or "" when
// it is written and read back unchanged. Every editing path checks it first.
std::string AttributeValueProblem(std::string_view value);

// Called for the custom elements of an XEL program with the document, the element
// and the expression text.
using TqelXelCustomEvent = std::function<void(TqelXMLParser2& document, TqelXMLNode2& node, const std::string& expression)>;

// How a document's text is read: the engine's own scanner, or XML 1.0 with a
// lossless save (see StandardReader.cpp and LosslessWriter.cpp).
enum class TqelXMLReading { Classic, Standard };

// A document: itself the outermost element of its tree, with the parser's state,
// the output buffer shared by the writer and the stylesheet processor, the XML
// declaration and the cache of compiled expressions.
class TqelXMLParser2 : public TqelXMLNode2 {
public:
    std::string Source;
    std::ptrdiff_t Position = 0;       // 1-based; where the last parse stopped (0 after "Missing <")
    TqelXMLNode2* ParseRoot = nullptr;  // not owned
    std::string OutBuffer;              // the first OutLength characters are the output; sized to at least OutCapacity
    int IndentLevel = 0;
    std::size_t OutCapacity = 0;
    std::size_t OutLength = 0;
    std::size_t OutCursor = 0;  // offset of the next character: always OutLength
    std::string LastError;
    std::unique_ptr<TqelXMLNode2> Declaration;          // owned
    // owned; made by the expression engine on first use, dropped by a whole-document
    // parse. The engine supplies the deleter, so this header needs no engine type.
    std::unique_ptr<TqelXPathParserList2, void (*)(TqelXPathParserList2*)> PathCache{nullptr, nullptr};
    std::size_t GrowBy = 65536;
    TqelXelCustomEvent OnXelCustom;

    TqelXMLParser2();
    ~TqelXMLParser2() override;

    // Reads the file and parses it as a whole document; LastError holds the result.
    // A file that cannot be read raises EFileError and changes nothing.
    void LoadFromFile(const std::string& fileName);
    // As above in the given reading. A standard reading that fails loads nothing and
    // leaves "FILE:LINE:COLUMN: reason" in LastError.
    void LoadFromFile(const std::string& fileName, TqelXMLReading reading);
    // As above in the reading the automatic rule chooses for the file's text
    // (ChooseReading), reading the file once; returns that reading.
    TqelXMLReading LoadFromFileAutomatic(const std::string& fileName);
    // Parses text as a whole document; LastError holds the result.
    void LoadFromText(std::string text);
    // As above in the given reading; a standard error reads "LINE:COLUMN: reason".
    void LoadFromText(std::string text, TqelXMLReading reading);
    // The reading of the last load (a new document is classic).
    TqelXMLReading Reading() const { return FStandard ? TqelXMLReading::Standard : TqelXMLReading::Classic; }
    // The state of a standard reading, or nullptr for a classic document.
    const TqelStandardSource* StandardSource() const { return FStandard.get(); }
    // Exchanges the standard reading's state with state (nullptr for a classic
    // document), so that an earlier version of the whole document can be put back
    // together with its element tree and Source.
    void SwapStandardSource(std::unique_ptr<TqelStandardSource>& state) { FStandard.swap(state); }
    // Whole-document parse of Source; returns "" on success or the composed message.
    std::string Parse();
    // Rebuilds node from text; LastError holds the result.
    void ParseFragment(TqelXMLNode2* node, std::string text);
    // Writes the document and replaces the file atomically; raises EFileError.
    void SaveToFile(const std::string& fileName);

    // The whole document with its declaration line.
    void GetXMLText(std::string& result);
    std::string GetXMLText();
    // One element; the declaration line only for an element without parent; "" for nullptr.
    void GetNodeXML(const TqelXMLNode2* node, std::string& result);
    std::string GetNodeXML(const TqelXMLNode2* node);

    // Empties the output buffer and sizes it to GrowBy characters.
    void ResetOutput();
    // Makes storage for an output of about expected characters at once, after
    // ResetOutput, so that it is not copied each time it outgrows its storage.
    void ReserveOutput(std::size_t expected);
    // Appends text to the output buffer; OutCapacity grows by the larger of GrowBy and the text's length.
    void AppendOutput(std::string_view text);
    // Writes node and its subtree at the current IndentLevel.
    void WriteNode(const TqelXMLNode2* node);

    // The cached compiled expression for this exact text, compiled on first use.
    TqelXPathParser2& GetXPathParser(const std::string& expression);
    void SetXelCustomHandler(TqelXelCustomEvent handler) { OnXelCustom = std::move(handler); }

    // Stylesheet processing: this document is the stylesheet and its output buffer
    // collects the result.
    // Applies this stylesheet to node; text is empty when the root is not
    // "xsl:stylesheet". Raises the evaluation's errors, leaving text empty.
    void TransformNode(TqelXMLNode2* node, std::string& text);
    // Executes one node of a template body for the context element.
    void ProcessNode(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates);
    // Runs the xsl instruction named by node's name; unknown ones write nothing.
    void ExecuteInstruction(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates);
    void XslValueOf(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates);
    // The text "xsl:value-of" node writes for context, held by value or context;
    // false when it writes nothing.
    bool ValueOfText(const TqelXMLNode2* node, TqelXMLNode2* context, Variant& value, std::string_view& text);
    void XslIf(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates);
    void XslAttribute(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates);
    void XslChoose(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates);
    void XslForEach(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates);
    void XslComment(TqelXMLNode2* node, TqelXMLNode2* context, const TqelNodeRefList& templates);
    void XslApplyTemplates(TqelXMLNode2* instruction, TqelXMLNode2* context, const TqelNodeRefList& templates);
    void XslCallTemplate(TqelXMLNode2* instruction, TqelXMLNode2* context, const TqelNodeRefList& templates);
    // The cached expression for text evaluated at context (Null when it fails).
    void EvaluateFor(const std::string& expression, TqelXMLNode2* context, Variant& result);
    // As EvaluateFor for the value of an attribute of this stylesheet, found by
    // where the value is kept while a transformation runs.
    void EvaluateAttribute(const std::string& value, TqelXMLNode2* context, Variant& result);
    // The keys of instruction's "xsl:sort" children, most significant first.
    TqelXSLSortKeys ReadSortKeys(const TqelXMLNode2* instruction) const;
    // Sorts list in place by the keys (an unstable quicksort).
    void SortNodes(TqelNodeRefList& list, const TqelXSLSortKeys& keys);
    // Negative, zero or positive as the elements at i and j compare by the keys.
    int CompareNodes(const TqelNodeRefList& list, int i, int j, const TqelXSLSortKeys& keys);

private:
    int FTransformDepth = 0;  // nesting of template bodies and instructions being run
    std::unique_ptr<TqelStandardSource> FStandard;  // owned; set by a standard reading only
    // A transformation escapes what a standard document's values and a standard
    // stylesheet's literals write (their text is decoded).
    bool FEscapeValues = false;
    bool FEscapeLiterals = false;
    // The compiled expressions of the running transformation by the address of the
    // attribute value that holds their text (no attribute changes while it runs);
    // emptied when a transformation starts and ends.
    std::unordered_map<const std::string*, TqelXPathParser2*> FAttributeExpressions;
    // The length of this stylesheet's last output: the next one reserves as much
    // at once rather than growing through copies of ever larger buffers.
    std::size_t FLastOutputLength = 0;
    // Appends text, escaped when escape is set.
    void AppendOutputText(std::string_view text, bool escape);
    void LoadStandard(std::string text, const std::string& fileName);
    // The text of the file fileName parsed in reading.
    void LoadFileText(std::string text, const std::string& fileName, TqelXMLReading reading);
    void ParseStandardFragment(TqelXMLNode2* node, std::string text);
    friend class TTransformDepthGuard;
    void ParseElement(TqelXMLNode2* cur, TqelXMLNode2* stop);
    void ParseAttributes(TqelXMLNode2* node, std::string_view text);
    void ParseText(TqelXMLNode2* node);
    std::string ComposeParseError(const std::string& message);
    void WriteDeclaration(const TqelXMLNode2& root);
    // Makes room for n more characters as AppendOutput grows the buffer; returns where they go.
    char* OutputRoom(std::size_t n);
    // Ends the output at end, a position inside the room OutputRoom made.
    void OutputWritten(const char* end);
    // Takes the first OutLength characters and releases the buffer.
    void TakeOutput(std::string& result);
};
