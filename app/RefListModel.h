#pragma once
// A report-style list of two text columns whose rows refer to objects they do
// not own: the selection list (elements) and the attribute list (attributes).
// The texts are what the row was given, not read from the object on each paint:
// a row keeps showing its texts until a command rewrites them.

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <utility>
#include <vector>

template <class T>
class TRefListModel : public QAbstractTableModel {
public:
    struct TRow {
        T* Ref = nullptr;  // not owned
        std::array<QString, 2> Cells;
    };

    TRefListModel(QString firstHeader, QString secondHeader, QObject* parent)
        : QAbstractTableModel(parent), FHeaders{std::move(firstHeader), std::move(secondHeader)}
    {
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(FRows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
        return Cell(index.row(), index.column());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 1) return {};
        return FHeaders[static_cast<std::size_t>(section)];
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid()) return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    }

    int Count() const { return static_cast<int>(FRows.size()); }
    T* Ref(int row) const { return FRows[static_cast<std::size_t>(row)].Ref; }
    const QString& Cell(int row, int column) const
    {
        return FRows[static_cast<std::size_t>(row)].Cells[static_cast<std::size_t>(column)];
    }
    const QString& Header(int section) const { return FHeaders[static_cast<std::size_t>(section)]; }

    // Replaces every row inside one reset.
    void SetRows(std::vector<TRow> rows)
    {
        beginResetModel();
        FRows = std::move(rows);
        endResetModel();
    }
    void Clear() { SetRows({}); }
    void AppendRow(TRow row)
    {
        const int at = Count();
        beginInsertRows(QModelIndex(), at, at);
        FRows.push_back(std::move(row));
        endInsertRows();
    }
    void RemoveRow(int row)
    {
        beginRemoveRows(QModelIndex(), row, row);
        FRows.erase(FRows.begin() + row);
        endRemoveRows();
    }
    void SetCell(int row, int column, QString text)
    {
        QString& cell = FRows[static_cast<std::size_t>(row)].Cells[static_cast<std::size_t>(column)];
        if (cell == text) return;
        cell = std::move(text);
        const QModelIndex changed = index(row, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::ToolTipRole});
    }
    // Rewrites one column of every row with label(row's object), in one notification.
    template <class F>
    void RelabelColumn(int column, F label)
    {
        if (FRows.empty()) return;
        for (TRow& row : FRows) row.Cells[static_cast<std::size_t>(column)] = label(row.Ref);
        emit dataChanged(index(0, column), index(Count() - 1, column), {Qt::DisplayRole, Qt::ToolTipRole});
    }
    void SetHeader(int section, QString text)
    {
        QString& header = FHeaders[static_cast<std::size_t>(section)];
        if (header == text) return;
        header = std::move(text);
        emit headerDataChanged(Qt::Horizontal, section, section);
    }

private:
    std::array<QString, 2> FHeaders;
    std::vector<TRow> FRows;
};
