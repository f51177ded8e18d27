#include "app/ElementTreeModel.h"

TElementTreeModel::TElementTreeModel(TqelXMLParser2& document, const TTextCodec& codec, QObject* parent)
    : QAbstractItemModel(parent), FDocument(document), FCodec(codec)
{
}

TqelXMLNode2* TElementTreeModel::Element(const QModelIndex& index)
{
    return index.isValid() ? static_cast<TqelXMLNode2*>(index.internalPointer()) : nullptr;
}

int TElementTreeModel::RowOf(const TqelXMLNode2* element) const
{
    const TqelXMLNode2* parent = element->Parent;
    if (!parent) return 0;
    auto found = FRowCache.find(element);
    if (found != FRowCache.end()) return found->second;
    int row = 0;
    for (const auto& child : parent->Children) FRowCache[child.get()] = row++;
    found = FRowCache.find(element);
    return found != FRowCache.end() ? found->second : 0;
}

QModelIndex TElementTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent)) return {};
    if (!parent.isValid()) return createIndex(row, column, static_cast<TqelXMLNode2*>(&FDocument));
    return createIndex(row, column, Element(parent)->Children[row]);
}

QModelIndex TElementTreeModel::parent(const QModelIndex& child) const
{
    const TqelXMLNode2* element = Element(child);
    if (!element || element == &FDocument || !element->Parent) return {};
    TqelXMLNode2* parentElement = element->Parent;
    return createIndex(RowOf(parentElement), 0, parentElement);
}

int TElementTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0) return 0;
    if (!parent.isValid()) return FShown ? 1 : 0;
    const TqelXMLNode2* element = Element(parent);
    return element == FChildrenHidden ? 0 : element->Children.Count();
}

int TElementTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TElementTreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant TElementTreeModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return FCodec.Decode(Element(index)->Name);
}

Qt::ItemFlags TElementTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    // Asked for again at every use, so an element that gains children loses the
    // mark; meanwhile the view skips its look-ups of whether the item is expanded.
    return hasChildren(index) ? flags : flags | Qt::ItemNeverHasChildren;
}

bool TElementTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
    const QString label = value.toString();
    if (label.isEmpty()) return true;
    const auto rename = [this, &index, &label] {
        if (FLabelEdit)
            FLabelEdit(index, label);
        else
            Rename(index, label);
    };
    if (FGuard)
        FGuard(rename);
    else
        rename();
    return true;
}

QModelIndex TElementTreeModel::TopIndex() const { return FShown ? index(0, 0) : QModelIndex(); }

QModelIndex TElementTreeModel::IndexOf(const TqelXMLNode2* element) const
{
    if (!FShown || !element) return {};
    const TqelXMLNode2* top = element;
    while (top->Parent) top = top->Parent;
    if (top != &FDocument) return {};
    return createIndex(RowOf(element), 0, const_cast<TqelXMLNode2*>(element));
}

void TElementTreeModel::ClearTree()
{
    beginResetModel();
    FShown = false;
    FRowCache.clear();
    endResetModel();
}

void TElementTreeModel::BuildTree()
{
    Reload([] {});
}

void TElementTreeModel::Reload(const std::function<void()>& change)
{
    beginResetModel();
    FRowCache.clear();
    try {
        change();
    } catch (...) {
        endResetModel();
        throw;
    }
    FShown = true;
    endResetModel();
}

QModelIndex TElementTreeModel::AppendChild(const QModelIndex& parent, std::unique_ptr<TqelXMLNode2> child)
{
    TqelXMLNode2* element = Element(parent);
    const int row = element->Children.Count();
    beginInsertRows(parent, row, row);
    element->AddChild(std::move(child));
    endInsertRows();
    return index(row, 0, parent);
}

QModelIndex TElementTreeModel::InsertChild(const QModelIndex& parent, int row, std::unique_ptr<TqelXMLNode2> child)
{
    TqelXMLNode2* element = Element(parent);
    beginInsertRows(parent, row, row);
    child->Parent = element;
    element->Children.Insert(row, std::move(child));
    FRowCache.clear();
    endInsertRows();
    return index(row, 0, parent);
}

void TElementTreeModel::DeleteItem(const QModelIndex& index) { TakeItem(index); }

std::unique_ptr<TqelXMLNode2> TElementTreeModel::TakeItem(const QModelIndex& index)
{
    TqelXMLNode2* element = Element(index);
    TqelXMLNode2* parentElement = element ? element->Parent : nullptr;
    if (!parentElement) return nullptr;
    const QModelIndex parentIndex = parent(index);
    const int row = index.row();
    beginRemoveRows(parentIndex, row, row);
    std::unique_ptr<TqelXMLNode2> taken = parentElement->Children.Delete(row);
    taken->Parent = nullptr;
    FRowCache.clear();
    endRemoveRows();
    return taken;
}

void TElementTreeModel::Refresh(const QModelIndex& index) { emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole}); }

bool TElementTreeModel::Rename(const QModelIndex& index, const QString& label)
{
    TqelXMLNode2* element = Element(index);
    if (!element || label == FCodec.Decode(element->Name)) return false;
    element->SetName(FCodec.Encode(label));
    Refresh(index);
    return true;
}

void TElementTreeModel::ReplaceChildren(const QModelIndex& index, const std::function<void()>& change)
{
    TqelXMLNode2* element = Element(index);
    if (!element) return;
    const int before = element->Children.Count();
    if (before > 0) beginRemoveRows(index, 0, before - 1);
    FChildrenHidden = element;
    auto finish = [&] {
        FRowCache.clear();
        if (before > 0) endRemoveRows();
        const int after = element->Children.Count();
        if (after > 0) beginInsertRows(index, 0, after - 1);
        FChildrenHidden = nullptr;
        if (after > 0) endInsertRows();
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    };
    try {
        change();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
