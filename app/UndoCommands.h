#pragma once
// The steps the window records in its history, one kind per way of changing
// the working document. A step finds its element by position (the child rows
// from the document down), which stays right because steps are toggled in
// order: when a step is toggled the document is exactly as the step left it.
//
// Cheap changes are undone by their inverse (a name, a text, an attribute);
// an element taken out of the tree is kept by the step and put back, so that
// the same element object returns. A change that may touch anything (a
// reparse, an XEL run) keeps the other version of the element's content.

#include <QModelIndex>

#include <memory>
#include <string>
#include <vector>

#include "app/UndoHistory.h"
#include "core/StandardSource.h"
#include "core/qelXMLParser2.h"

class TBrindleF;

// An element's place: its child row in each element from the document down.
using TElementPath = std::vector<int>;
TElementPath PathOf(const TqelXMLNode2* element);
// The element at path below document; nullptr when the path leads nowhere.
TqelXMLNode2* ElementAt(TqelXMLNode2& document, const TElementPath& path);
// What a reparse of the element replaces, taken out of it: a new element with
// a copy of its name, text and attributes, holding its children.
std::unique_ptr<TqelXMLNode2> TakeContent(TqelXMLNode2& element);
// An estimate of the memory a subtree takes, in bytes.
std::size_t SubtreeBytes(const TqelXMLNode2& element);

class TDocumentStep : public TUndoStep {
public:
    // window outlives the step (not owned); path is where the step acts.
    TDocumentStep(TBrindleF& window, QString caption, TElementPath path);
    // The element to select once the step was toggled.
    virtual TElementPath Target() const { return FPath; }
    // True when toggling may take elements out of the tree.
    virtual bool RemovesElements() const { return false; }

protected:
    TBrindleF& FWindow;  // not owned
    TElementPath FPath;

    TqelXMLNode2& Element() const;
    QModelIndex Item(const TElementPath& path) const;
};

// An element added (it is in the tree) or deleted (the step holds it).
class TPresenceStep : public TDocumentStep {
public:
    // held is nullptr for an element that was added at path, else the element
    // deleted from path.
    TPresenceStep(TBrindleF& window, QString caption, TElementPath path, std::unique_ptr<TqelXMLNode2> held);
    void Toggle() override;
    std::size_t Bytes() const override { return FBytes; }
    TElementPath Target() const override;
    bool RemovesElements() const override { return true; }

private:
    std::unique_ptr<TqelXMLNode2> FHeld;  // owned; the element while it is out of the tree
    std::size_t FBytes;
};

// A renamed element: the step holds the other name.
class TNameStep : public TDocumentStep {
public:
    TNameStep(TBrindleF& window, TElementPath path, const TqelXMLNode2& before);
    void Toggle() override;

private:
    std::string FName;
    TqelNamePrefix FPrefix;
};

// An element's text: the step holds the other text; typing into the same
// element makes one step.
class TTextStep : public TDocumentStep {
public:
    TTextStep(TBrindleF& window, TElementPath path, std::string before);
    void Toggle() override;
    bool Absorb(const TUndoStep& later) override;

private:
    std::string FText;
};

// An attribute added (it is the element's) or deleted (the step holds it).
class TAttributePresenceStep : public TDocumentStep {
public:
    TAttributePresenceStep(TBrindleF& window, QString caption, TElementPath path, int index,
                           std::unique_ptr<TqelXMLAttribute2> held);
    void Toggle() override;

private:
    int FIndex;
    std::unique_ptr<TqelXMLAttribute2> FHeld;  // owned; the attribute while the element lacks it
};

// An attribute's name or value edited: the step holds the other pair.
class TAttributeEditStep : public TDocumentStep {
public:
    TAttributeEditStep(TBrindleF& window, TElementPath path, int index, const TqelXMLAttribute2& before);
    void Toggle() override;

private:
    int FIndex;
    std::string FName;
    std::string FValue;
};

// An element's whole content replaced (a reparse of the element or of the
// whole document, an XEL run): the step holds the other version. After a
// reparse of the document its declaration and source text are swapped too.
class TContentStep : public TDocumentStep {
public:
    TContentStep(TBrindleF& window, QString caption, TElementPath path, std::unique_ptr<TqelXMLNode2> other);
    // For the document: its other declaration and source text as well, and the
    // state of its other reading (nullptr for classic).
    TContentStep(TBrindleF& window, QString caption, std::unique_ptr<TqelXMLNode2> other,
                 std::unique_ptr<TqelXMLNode2> declaration, std::string source,
                 std::unique_ptr<TqelStandardSource> standard = nullptr);
    void Toggle() override;
    std::size_t Bytes() const override { return FBytes; }
    bool RemovesElements() const override { return true; }

private:
    std::unique_ptr<TqelXMLNode2> FOther;        // owned
    std::unique_ptr<TqelXMLNode2> FDeclaration;  // owned; the document's only
    std::string FSource;
    std::unique_ptr<TqelStandardSource> FStandard;  // owned; the other version's reading state
    std::size_t FBytes;
};
