// The tree's pop-up commands: add, duplicate, delete and rename elements, expand
// and collapse. Each changes the element tree through the tree model, so that
// every item keeps referring to its element and showing its name.

#include "app/BrindleU.h"

#include <QItemSelectionModel>
#include <QStatusBar>
#include <QTreeView>

#include <utility>
#include <vector>

#include "app/HandlerGuards.h"
#include "app/UndoCommands.h"

QModelIndex TBrindleF::SelectedTreeIndex() const
{
    const QModelIndexList selected = tree->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.front();
}

void TBrindleF::SelectTreeItem(const QModelIndex& index)
{
    if (!index.isValid()) return;
    tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    tree->scrollTo(index);
}

void TBrindleF::AddChild1Click()
{
    const QModelIndex selected = SelectedTreeIndex();
    if (!selected.isValid()) return;
    QString name;
    if (!Prompts().InputBox(QStringLiteral("Nodes"), QStringLiteral("Enter node name:"), name) || name.isEmpty())
        return;
    auto child = std::make_unique<TqelXMLNode2>();
    child->SetName(Encode(name));
    const QModelIndex added = FTreeModel->AppendChild(selected, std::move(child));
    Record(std::make_unique<TPresenceStep>(*this, QStringLiteral("Add Child ") + name,
                                           PathOf(TElementTreeModel::Element(added)), nullptr));
    SelectTreeItem(added);
}

void TBrindleF::Duplicate1Click()
{
    const QModelIndex selected = SelectedTreeIndex();
    const QModelIndex parentItem = selected.parent();
    if (!parentItem.isValid()) return;  // nothing selected, or the document itself
    const QModelIndex added = FTreeModel->AppendChild(parentItem, TElementTreeModel::Element(selected)->Clone());
    Record(std::make_unique<TPresenceStep>(*this, QStringLiteral("Duplicate ") + added.data().toString(),
                                           PathOf(TElementTreeModel::Element(added)), nullptr));
    SelectTreeItem(added);
}

void TBrindleF::Delete1Click()
{
    const QModelIndex selected = SelectedTreeIndex();
    const QPersistentModelIndex parentItem = selected.parent();
    if (!parentItem.isValid()) return;
    // Rows of the lists may refer to the element or to elements below it.
    ClearEditor();
    ClearLists();
    {
        // The view may select a neighbour while the item goes: only the parent,
        // selected last, is shown in the source view.
        THandlerDetach detached(FTreeChangeAttached);
        const QString caption = QStringLiteral("Delete ") + selected.data().toString();
        TElementPath path = PathOf(TElementTreeModel::Element(selected));
        // The step keeps the element itself, so that Undo brings back the same object.
        Record(std::make_unique<TPresenceStep>(*this, caption, std::move(path), FTreeModel->TakeItem(selected)));
        SelectTreeItem(parentItem);
    }
    treeChange();
}

void TBrindleF::Rename1Click()
{
    const QModelIndex selected = SelectedTreeIndex();
    if (!selected.isValid()) return;
    QString name = selected.data(Qt::DisplayRole).toString();
    if (!Prompts().InputBox(QStringLiteral("Node"), QStringLiteral("Change nodename:"), name) || name.isEmpty())
        return;
    RenameItem(selected, name);
}

void TBrindleF::RenameInPlace1Click()
{
    const QModelIndex selected = SelectedTreeIndex();
    if (!selected.isValid()) return;
    tree->scrollTo(selected);
    tree->edit(selected);
}

void TBrindleF::UpdateTreeItems()
{
    const QModelIndex selected = SelectedTreeIndex();
    const bool belowTop = selected.isValid() && selected.parent().isValid();
    Duplicate1->setEnabled(belowTop);
    Delete1->setEnabled(belowTop);
}

void TBrindleF::RenameItem(const QModelIndex& item, const QString& label)
{
    TqelXMLNode2* element = TElementTreeModel::Element(item);
    if (!element) return;
    auto step = std::make_unique<TNameStep>(*this, PathOf(element), *element);
    if (FTreeModel->Rename(item, label)) Record(std::move(step));
}

namespace {

// The tree view lays out its expanded items recursively: a chain of expanded
// items some ten thousand levels deep exhausts the stack. Items are expanded
// down to this depth at most (the top item is at depth 0).
constexpr int MaxExpandedDepth = 1000;

int DepthOf(const QModelIndex& index)
{
    int depth = 0;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) ++depth;
    return depth;
}

}  // namespace

void TBrindleF::ExpandBelow(const QModelIndex& index)
{
    if (!index.isValid()) return;
    TBusyCursor busy;
    // The depth is capped here, so the view's item-by-item "expanded" signal,
    // which checks the depth of each item, is not needed: without it and
    // without painting the view lays out a million items once.
    TViewBatch batch(*tree);
    // Expanding the first item to depth 0 leaves the view's layout pending, so
    // that each expand below only notes its item. Items without children are
    // not expanded: the view would keep a persistent index for each of them.
    tree->expandRecursively(index, 0);
    std::vector<std::pair<QModelIndex, int>> pending{{index, DepthOf(index)}};
    while (!pending.empty()) {
        const auto [parent, depth] = pending.back();
        pending.pop_back();
        if (depth + 1 >= MaxExpandedDepth) continue;
        const int rows = FTreeModel->rowCount(parent);
        for (int row = 0; row < rows; ++row) {
            const QModelIndex child = FTreeModel->index(row, 0, parent);
            if (!FTreeModel->hasChildren(child)) continue;
            tree->expand(child);
            pending.emplace_back(child, depth + 1);
        }
    }
}

void TBrindleF::treeExpanded(const QModelIndex& index)
{
    if (DepthOf(index) < MaxExpandedDepth) return;
    tree->collapse(index);
    statusBar()->showMessage(QStringLiteral("Items more than %1 levels deep are not expanded.").arg(MaxExpandedDepth));
}

void TBrindleF::ExpandAll1Click() { ExpandBelow(FTreeModel->TopIndex()); }

void TBrindleF::CollapseAll1Click()
{
    TBusyCursor busy;
    TViewBatch batch(*tree);
    tree->collapseAll();
}
