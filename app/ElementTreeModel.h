#pragma once
// The tree view's model over a document's element tree. The document itself is
// the single top-level item; every index refers to its element through
// internalPointer() and shows the element's Name. The model creates nothing per
// element, so a document of millions of elements costs the view only the rows
// it lays out.
//
// The model reads the element tree live: every change to the tree goes through
// one of the operations below, which bracket it with the notifications the
// views need.

#include <QAbstractItemModel>

#include <functional>
#include <memory>
#include <unordered_map>

#include "app/TextCodec.h"
#include "core/qelXMLParser2.h"

class TElementTreeModel : public QAbstractItemModel {
public:
    // document and codec outlive the model (not owned); codec may be reassigned
    // inside Reload.
    TElementTreeModel(TqelXMLParser2& document, const TTextCodec& codec, QObject* parent);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A label edited in place: an empty text keeps the old name, a different
    // text (exact comparison) becomes the element's name.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The element of an index; nullptr for the invalid index.
    static TqelXMLNode2* Element(const QModelIndex& index);
    // True while the tree has items.
    bool Shown() const { return FShown; }
    // The top-level item (the document), or the invalid index when the tree is empty.
    QModelIndex TopIndex() const;
    // The item of an element of the shown document; invalid when the tree is
    // empty or the element is not below the document.
    QModelIndex IndexOf(const TqelXMLNode2* element) const;

    // Removes every item.
    void ClearTree();
    // Shows the document as the single top-level item.
    void BuildTree();
    // Runs change, which may replace the whole element tree, inside one reset
    // and then shows the document. When change raises, the tree shows what it
    // showed before, read from whatever the document then holds.
    void Reload(const std::function<void()>& change);
    // Appends child to the children of parent's element; returns its index.
    QModelIndex AppendChild(const QModelIndex& parent, std::unique_ptr<TqelXMLNode2> child);
    // Inserts child among the children of parent's element before position row.
    QModelIndex InsertChild(const QModelIndex& parent, int row, std::unique_ptr<TqelXMLNode2> child);
    // Destroys the element of a non-top item with its subtree.
    void DeleteItem(const QModelIndex& index);
    // Unlinks the element of a non-top item and hands it over with its subtree.
    std::unique_ptr<TqelXMLNode2> TakeItem(const QModelIndex& index);
    // Tells the views that the element's name changed.
    void Refresh(const QModelIndex& index);
    // Sets the element's name from a label; false when it equals the current label.
    bool Rename(const QModelIndex& index, const QString& label);
    // Runs in-place label edits through guard, which reports what they raise;
    // without one they run directly.
    void SetCommandGuard(std::function<bool(const std::function<void()>&)> guard) { FGuard = std::move(guard); }
    // Hands in-place label edits to edit instead of renaming directly.
    void SetLabelEdit(std::function<void(const QModelIndex&, const QString&)> edit) { FLabelEdit = std::move(edit); }
    // Runs change, which replaces the children of index's element, and rebuilds
    // the items below it: the old ones are removed before change runs, the new
    // ones inserted after it (also when it raises).
    void ReplaceChildren(const QModelIndex& index, const std::function<void()>& change);

private:
    TqelXMLParser2& FDocument;  // not owned
    const TTextCodec& FCodec;   // not owned
    bool FShown = false;
    std::function<bool(const std::function<void()>&)> FGuard;
    std::function<void(const QModelIndex&, const QString&)> FLabelEdit;
    // An element whose children are being replaced shows none meanwhile.
    const TqelXMLNode2* FChildrenHidden = nullptr;
    // Row of each element among its parent's children, filled per parent on
    // demand; appending keeps it valid, removing clears it (addresses are reused).
    mutable std::unordered_map<const TqelXMLNode2*, int> FRowCache;

    int RowOf(const TqelXMLNode2* element) const;
};
