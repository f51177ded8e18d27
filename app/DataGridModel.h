#pragma once
// The data grid's model over a dataset: one column per field, one row per
// record of the dataset's window of record buffers. The grid sizes that window
// to the rows it shows and scrolls by moving the dataset, so the model never
// positions the dataset to read a cell: it reads the window's rows as the
// dataset lays them out and follows the dataset's notifications.
//
// Cells show the fields' display text (decimal integers, the general float
// form, "True" and "False", date and date-and-time texts, strings and memos as
// they are). The texts of the window are read when the dataset reports a
// change and kept, so painting never touches the dataset. Editing takes a
// typed value (a Boolean, a QDate, a QDateTime) or the text a person typed;
// text that does not convert is refused with the field's message and changes
// nothing.
//
// The vertical header marks the active record: ">" while browsing, "I" while
// it is edited, "*" while it is a new record.

#include <QAbstractTableModel>

#include <functional>
#include <vector>

#include "app/DataSource.h"
#include "app/TextCodec.h"

class TDataGridModel : public QAbstractTableModel {
public:
    // A column's data type, as the integer value of its TFieldType.
    static constexpr int FieldTypeRole = Qt::UserRole + 1;
    // A column's size: the characters of a string field, 0 for other types.
    static constexpr int FieldSizeRole = Qt::UserRole + 2;

    // source and codec outlive the model (not owned); the codec converts between
    // the dataset's bytes and the text shown and may change while the model lives
    // (call Reread then).
    TDataGridModel(TDataSource& source, const TTextCodec& codec, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Edits the cell's record: moves the dataset to its row, begins an edit when
    // browsing and gives the field the value; the record stays in edit mode until
    // it is posted. False, changing nothing, when the value equals the cell's or
    // the dataset refuses it (the guard reports why).
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    TDataSet& DataSet() const { return FSource.DataSet(); }
    // The field of a column, or nullptr (a closed dataset, a column out of range).
    TField* Field(int column) const;
    // The row of the active record, or -1 when the window is empty.
    int ActiveRow() const { return FRows > 0 ? FActiveRow : -1; }
    // Runs edits through guard, which reports what they raise; without one they run directly.
    void SetCommandGuard(std::function<bool(const std::function<void()>&)> guard) { FGuard = std::move(guard); }
    // Reads every cell and the column titles again, in one reset.
    void Reread();

private:
    // What a column shows, taken from its field when the dataset opens.
    struct TColumn {
        TField* Field;  // not owned; valid while the dataset stays open
        TFieldType Type;
        int Size;
        QString Title;
        Qt::Alignment Alignment;
    };

    TDataSource& FSource;     // not owned
    const TTextCodec& FCodec;  // not owned
    std::function<bool(const std::function<void()>&)> FGuard;
    std::vector<TColumn> FColumns;
    std::vector<QString> FCells;  // the window's texts, row after row
    int FRows = 0;
    int FActiveRow = 0;
    TDataSetState FState = TDataSetState::dsInactive;

    void StateChanged();
    void WindowChanged();
    void ActiveRecordChanged();
    // Rebuilds columns and cells from the dataset, in one reset.
    void ResetToDataSet();
    std::vector<QString> ReadWindow() const;
    // The texts of one row, read through a row scope.
    void ReadRow(int row, std::vector<QString>& cells) const;
    // The cells of rows [first, last] changed: tells the views about the rows whose texts differ.
    void AdoptCells(std::vector<QString> cells, int first, int last);
    QVariant EditValue(int row, const TColumn& column) const;
    bool WriteCell(int row, const TColumn& column, const QVariant& value);
    void Assign(TField& field, const QVariant& value) const;
};

// The date serial number of a calendar day and back; an invalid QDate for a
// serial number outside the years 1 to 9999.
double DateSerial(const QDate& date);
QDate DateOfSerial(double serial);
// The same with the time of day (whole milliseconds), in a time zone without
// daylight saving so that every time exists.
double DateTimeSerial(const QDateTime& dateTime);
QDateTime DateTimeOfSerial(double serial);
