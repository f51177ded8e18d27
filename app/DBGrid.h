#pragma once
// The data grid: a table view over a TDataGridModel, which shows the dataset's
// window of records. The grid sizes that window to the rows it can show and
// scrolls by moving the dataset: the arrow and page keys, Ctrl+Home and
// Ctrl+End, the wheel, a click on another row and the vertical scroll bar
// (whose range is the records of the dataset, not the rows of the view) all
// move the active record, and the current row follows the active record
// whatever moved it. The current column is the selected field.

#include <QStyledItemDelegate>
#include <QStringList>
#include <QTableView>

#include <functional>

#include "app/DataGridModel.h"

// Editors fitted to the field types: a check box for Booleans, date and
// date-and-time editors in the program's short date format, a multi-line box
// for memos, a line for the other types (limited to the size of a string field).
class TDBGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

class TDBGrid : public QTableView {
public:
    explicit TDBGrid(QWidget* parent = nullptr);

    // The model to show and the source whose dataset it shows; both outlive the
    // grid's use of them (not owned).
    void SetDataModel(TDataGridModel* model, TDataSource* source);
    // Runs the moves the grid makes through guard, which reports what they
    // raise; without one they run directly.
    void SetCommandGuard(std::function<bool(const std::function<void()>&)> guard) { FGuard = std::move(guard); }

    // The field of the current column; nullptr when the dataset is closed.
    TField* SelectedField() const;
    int SelectedColumn() const { return FColumn; }
    // Makes column current (in the active row when there is one).
    void SelectColumn(int column);
    // Hands an open cell editor's value to the model and closes it; commands
    // that act on the dataset call it first, so that what was typed is not lost.
    void CommitEdit();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    // The rows never scroll inside the view: the dataset's window moves instead.
    void scrollContentsBy(int dx, int dy) override;

private:
    TDataGridModel* FModel = nullptr;  // not owned
    TDataSource* FSource = nullptr;    // not owned
    std::function<bool(const std::function<void()>&)> FGuard;
    int FColumn = 0;
    int FWheelAngle = 0;
    // Set while the grid itself moves the dataset or its current cell, so that
    // following the dataset waits until the move is complete.
    bool FMoving = false;
    bool FFitPending = false;

    bool Active() const;
    bool Run(const std::function<void()>& command);
    // Moves the active record by distance records (or to the first or last) and follows it.
    void MoveDataSet(const std::function<void(TDataSet&)>& move);
    // Makes the active record's row current and shows the dataset's position on the scroll bar.
    void Follow();
    void SyncScrollBar();
    // Sizes the dataset's window to the rows the view shows (while browsing).
    // It runs from the event loop, never inside a notification of the dataset
    // or a change of the model, which it would change in turn.
    void ScheduleFitWindow();
    void FitWindow();
    void ScrollBarAction(int action);
    // Sizes each column from its field's size and type and its header, when the
    // fields differ from those last sized: widths a person set stay while the
    // same table is browsed.
    void FitColumns();
    QStringList FFittedFields;
};
