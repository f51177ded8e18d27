#include "app/DataGridModel.h"

#include <QDateTime>

#include <algorithm>

#include "core/DateText.h"

namespace {

bool IsNumberType(TFieldType type)
{
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return true;
    default:
        return false;
    }
}

bool IsEditing(TDataSetState state)
{
    return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}

}  // namespace

double DateSerial(const QDate& date)
{
    double value = 0;
    if (!date.isValid() || !EncodeDate(date.year(), date.month(), date.day(), value)) return 0;
    return value;
}

QDate DateOfSerial(double serial)
{
    TDateParts parts;
    if (!DecodeDateTime(serial, parts)) return {};
    return QDate(parts.Year, parts.Month, parts.Day);
}

double DateTimeSerial(const QDateTime& dateTime)
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    TDateParts parts{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec()};
    double value = 0;
    if (!dateTime.isValid() || !EncodeDateTime(parts, value)) return 0;
    return value;
}

QDateTime DateTimeOfSerial(double serial)
{
    TDateParts parts;
    if (!DecodeDateTime(serial, parts)) return {};
    return QDateTime(QDate(parts.Year, parts.Month, parts.Day),
                     QTime(parts.Hour, parts.Minute, parts.Second, parts.Millisecond), Qt::UTC);
}

TDataGridModel::TDataGridModel(TDataSource& source, const TTextCodec& codec, QObject* parent)
    : QAbstractTableModel(parent), FSource(source), FCodec(codec)
{
    connect(&FSource, &TDataSource::stateChanged, this, [this] { StateChanged(); });
    connect(&FSource, &TDataSource::dataChanged, this, [this] { WindowChanged(); });
    connect(&FSource, &TDataSource::scrolled, this, [this] { WindowChanged(); });
    connect(&FSource, &TDataSource::fieldChanged, this, [this] { ActiveRecordChanged(); });
    ResetToDataSet();
}

int TDataGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FRows; }

int TDataGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FColumns.size());
}

TField* TDataGridModel::Field(int column) const
{
    if (column < 0 || column >= columnCount()) return nullptr;
    return FColumns[static_cast<std::size_t>(column)].Field;
}

QVariant TDataGridModel::data(const QModelIndex& index, int role) const
{
    if (!hasIndex(index.row(), index.column(), index.parent())) return {};
    const TColumn& column = FColumns[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return FCells[static_cast<std::size_t>(index.row()) * FColumns.size() + static_cast<std::size_t>(index.column())];
    case Qt::EditRole:
        return EditValue(index.row(), column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column.Alignment);
    case FieldTypeRole:
        return static_cast<int>(column.Type);
    case FieldSizeRole:
        return column.Size;
    default:
        return {};
    }
}

QVariant TDataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount()) return {};
        return FColumns[static_cast<std::size_t>(section)].Title;
    }
    if (section != ActiveRow()) return QString();
    switch (FState) {
    case TDataSetState::dsEdit:
        return QStringLiteral("I");
    case TDataSetState::dsInsert:
        return QStringLiteral("*");
    default:
        return QStringLiteral(">");
    }
}

Qt::ItemFlags TDataGridModel::flags(const QModelIndex& index) const
{
    if (!hasIndex(index.row(), index.column(), index.parent())) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const TField* field = FColumns[static_cast<std::size_t>(index.column())].Field;
    if (!field->IsCalculated()) flags |= Qt::ItemIsEditable;
    return flags;
}

// ---- following the dataset ----

void TDataGridModel::StateChanged()
{
    // Opening and closing replace the field objects: the columns are built anew.
    const bool open = DataSet().Active();
    if (open != (FState != TDataSetState::dsInactive)) {
        ResetToDataSet();
        return;
    }
    FState = DataSet().State();
    if (FRows > 0) emit headerDataChanged(Qt::Vertical, 0, FRows - 1);
}

void TDataGridModel::Reread() { ResetToDataSet(); }

void TDataGridModel::ResetToDataSet()
{
    beginResetModel();
    FColumns.clear();
    FCells.clear();
    FRows = 0;
    FActiveRow = 0;
    FState = DataSet().State();
    if (DataSet().Active()) {
        for (const auto& field : DataSet().Fields()) {
            const Qt::Alignment alignment =
                (IsNumberType(field->DataType()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
            FColumns.push_back({field.get(), field->DataType(), field->Size(), FCodec.Decode(field->FieldName()),
                                alignment});
        }
        FCells = ReadWindow();
        FRows = DataSet().WindowCount();
        FActiveRow = DataSet().ActiveRecord();
    }
    endResetModel();
}

void TDataGridModel::WindowChanged()
{
    if (!DataSet().Active()) return;
    std::vector<QString> cells = ReadWindow();
    const int rows = DataSet().WindowCount();
    const int columns = columnCount();
    const int kept = std::min(rows, FRows);
    const auto keptSize = static_cast<std::size_t>(kept) * static_cast<std::size_t>(columns);
    // Rows come and go at the end; the rows both windows have are compared below.
    std::vector<QString> keptCells(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(keptSize));
    if (rows > FRows) {
        beginInsertRows({}, FRows, rows - 1);
        FCells.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
        std::copy(cells.begin() + static_cast<std::ptrdiff_t>(keptSize), cells.end(),
                  FCells.begin() + static_cast<std::ptrdiff_t>(keptSize));
        FRows = rows;
        endInsertRows();
    } else if (rows < FRows) {
        beginRemoveRows({}, rows, FRows - 1);
        FCells.resize(keptSize);
        FRows = rows;
        endRemoveRows();
    }
    FActiveRow = DataSet().ActiveRecord();
    FState = DataSet().State();
    if (kept > 0) AdoptCells(std::move(keptCells), 0, kept - 1);
    if (FRows > 0) emit headerDataChanged(Qt::Vertical, 0, FRows - 1);
}

void TDataGridModel::ActiveRecordChanged()
{
    const int row = DataSet().ActiveRecord();
    if (!DataSet().Active() || row < 0 || row >= FRows || DataSet().WindowCount() != FRows) {
        WindowChanged();
        return;
    }
    std::vector<QString> cells;
    ReadRow(row, cells);
    AdoptCells(std::move(cells), row, row);
}

void TDataGridModel::AdoptCells(std::vector<QString> cells, int first, int last)
{
    const std::size_t columns = FColumns.size();
    if (columns == 0) return;
    int changedFirst = -1;
    int changedLast = -1;
    for (int row = first; row <= last; ++row) {
        const auto from = static_cast<std::size_t>(row - first) * columns;
        const auto to = static_cast<std::size_t>(row) * columns;
        if (!std::equal(cells.begin() + static_cast<std::ptrdiff_t>(from),
                        cells.begin() + static_cast<std::ptrdiff_t>(from + columns),
                        FCells.begin() + static_cast<std::ptrdiff_t>(to))) {
            std::move(cells.begin() + static_cast<std::ptrdiff_t>(from),
                      cells.begin() + static_cast<std::ptrdiff_t>(from + columns),
                      FCells.begin() + static_cast<std::ptrdiff_t>(to));
            if (changedFirst < 0) changedFirst = row;
            changedLast = row;
        }
    }
    if (changedFirst >= 0)
        emit dataChanged(index(changedFirst, 0), index(changedLast, columnCount() - 1), {Qt::DisplayRole});
}

std::vector<QString> TDataGridModel::ReadWindow() const
{
    std::vector<QString> cells;
    if (!DataSet().Active() || FColumns.empty()) return cells;
    const int rows = DataSet().WindowCount();
    cells.reserve(static_cast<std::size_t>(rows) * FColumns.size());
    for (int row = 0; row < rows; ++row) ReadRow(row, cells);
    return cells;
}

void TDataGridModel::ReadRow(int row, std::vector<QString>& cells) const
{
    const std::size_t end = cells.size() + FColumns.size();
    try {
        TDataSet::TRowScope scope(DataSet(), row);
        for (const TColumn& column : FColumns) {
            QString text;
            try {
                text = FCodec.Decode(column.Field->DisplayText());
            } catch (const std::exception&) {
                // A value that cannot be shown leaves its cell empty; the others still show.
            }
            cells.push_back(std::move(text));
        }
    } catch (const std::exception&) {
    }
    cells.resize(end);
}

// ---- editing ----

QVariant TDataGridModel::EditValue(int row, const TColumn& column) const
{
    if (!DataSet().Active() || row < 0 || row >= DataSet().WindowCount()) return {};
    try {
        TDataSet::TRowScope scope(DataSet(), row);
        const TField& field = *column.Field;
        switch (column.Type) {
        case TFieldType::ftBoolean:
            return field.AsBoolean();
        case TFieldType::ftDate:
            return DateOfSerial(field.AsDateTime());
        case TFieldType::ftDateTime:
            return DateTimeOfSerial(field.AsDateTime());
        default:
            return FCodec.Decode(field.AsString());
        }
    } catch (const std::exception&) {
        return {};
    }
}

bool TDataGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !hasIndex(index.row(), index.column(), index.parent())) return false;
    const TColumn column = FColumns[static_cast<std::size_t>(index.column())];
    const int row = index.row();
    bool written = false;
    const auto write = [&] { written = WriteCell(row, column, value); };
    if (FGuard)
        FGuard(write);
    else
        write();
    return written;
}

bool TDataGridModel::WriteCell(int row, const TColumn& column, const QVariant& value)
{
    TDataSet& dataSet = DataSet();
    if (!dataSet.Active() || row >= dataSet.WindowCount()) return false;
    if (value == EditValue(row, column)) return false;
    if (row != dataSet.ActiveRecord()) {
        dataSet.MoveBy(row - dataSet.ActiveRecord());
        FSource.Touch();
        if (row != dataSet.ActiveRecord()) return false;
    }
    const bool started = dataSet.State() == TDataSetState::dsBrowse;
    if (started) dataSet.Edit();
    try {
        Assign(*column.Field, value);
    } catch (...) {
        // A refused value leaves the record as it was, out of edit mode when the edit began here.
        if (started && IsEditing(dataSet.State()) && !dataSet.Modified()) dataSet.Cancel();
        throw;
    }
    return true;
}

void TDataGridModel::Assign(TField& field, const QVariant& value) const
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        field.SetAsBoolean(value.toBool());
        return;
    case QMetaType::QDate:
        if (!value.toDate().isValid()) break;
        field.SetAsDateTime(DateSerial(value.toDate()));
        return;
    case QMetaType::QDateTime:
        if (!value.toDateTime().isValid()) break;
        field.SetAsDateTime(DateTimeSerial(value.toDateTime()));
        return;
    default:
        break;
    }
    field.SetEditText(FCodec.Encode(value.toString()));
}
