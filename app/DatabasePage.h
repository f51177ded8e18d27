#pragma once
// The "Database" page of the main window: an XML table file shown as a grid
// of records with a record navigator below it, the tool bar's commands (open,
// save and close the table, edit a memo field) and the grid's pop-up menu
// (add, delete and change a field definition), with the field dialog and the
// memo dialog they use. The table is closed at start; every close writes its
// file while it has one.

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "app/TextCodec.h"
#include "table/qelXMLDataSet2.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class TBrindleF;
class TDBGrid;
class TDBNavigator;
class TDataGridModel;
class TDataSource;
class TMemoEditF;
class TXMLDBFieldF;

class TDatabasePage : public QWidget {
public:
    // window gives the page its boxes, its command guard and its start folder,
    // and is the owner of the two dialogs; it outlives the page (not owned).
    TDatabasePage(TBrindleF& window, QWidget* parent);
    ~TDatabasePage() override;

    TqelXMLDataSet2& Table() { return *xmldb; }
    TDataGridModel& GridModel() { return *FGridModel; }
    TDBGrid& Grid() { return *dbgrid; }
    TDBNavigator& Navigator() { return *DBNavigator1; }
    TXMLDBFieldF& FieldDialog() { return *XMLDBFieldF; }
    TMemoEditF& MemoDialog() { return *MemoEditF; }
    // The field of the grid's current column; nullptr while the table is closed.
    TField* SelectedField() const;
    // Closes the table as the window closes: a pending change is posted first,
    // and the close writes the table's file.
    void FormClose();

private:
    TBrindleF& FWindow;                            // not owned
    std::unique_ptr<TqelXMLDataSet2> xmldb;        // owned
    TTextCodec FCodec;                             // the table document's text, chosen at each open

    // Controls and the data source, owned through Qt's parent chain; each carries
    // its name as object name. The dialogs belong to the window.
    QToolBar* ToolBar1 = nullptr;
    QAction* cmddbopen = nullptr;
    QAction* cmdSave = nullptr;
    QAction* cmddbclose = nullptr;
    QAction* cmdMemo = nullptr;
    TDataSource* DataSource1 = nullptr;
    TDataGridModel* FGridModel = nullptr;
    TDBGrid* dbgrid = nullptr;
    QMenu* gridpop = nullptr;
    QAction* AddField1 = nullptr;
    QAction* DeleteField1 = nullptr;
    QAction* RenameField1 = nullptr;
    QWidget* Panel2 = nullptr;
    TDBNavigator* DBNavigator1 = nullptr;
    QLabel* TableFile = nullptr;  // the open table's file name beside the navigator
    TXMLDBFieldF* XMLDBFieldF = nullptr;
    TMemoEditF* MemoEditF = nullptr;

    void CreateControls();
    QAction* AddCommand(QWidget* owner, const char* name, const QString& caption, void (TDatabasePage::*handler)());
    // Runs through the window's command guard; true when the command ran to its end.
    bool Run(const std::function<void()>& command);

    // Hands a cell editor's text to the table and posts a pending change, so
    // that closing or reopening the table loses nothing typed.
    void PostPending();
    void CloseTable();
    // Shows the open table's file name, or nothing while the table is closed.
    void ShowTableFile();
    // Tells that no table is open when the table is closed; true then.
    bool ReportClosedTable();
    // The selected field; raises "You did not select a field." when there is none.
    TField& RequireSelectedField() const;

    void cmddbopenClick();
    void cmdSaveClick();
    // "<done> <file name>: <n> records" in the window's status bar.
    void ReportTable(const QString& done);
    void cmddbcloseClick();
    void cmdMemoClick();
    void AddField1Click();
    void DeleteField1Click();
    void RenameField1Click();
};
