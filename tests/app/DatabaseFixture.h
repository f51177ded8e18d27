#pragma once
// The window with its Database page in front, over a copy of the example
// table in the test's temporary folder. A model tester watches the grid's model.

#include <QAbstractItemModelTester>
#include <QToolButton>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "WindowFixture.h"
#include "app/DBGrid.h"
#include "app/DBNavigator.h"
#include "app/DataGridModel.h"
#include "app/DatabasePage.h"
#include "app/TMemoEditU.h"
#include "app/XMLDBFieldU.h"

class TDatabaseTest : public TWindowTest {
protected:
    TDatabasePage* Page = nullptr;  // owned by Window
    QString TableFile;              // the copy of the example table

    // Starts the window, brings the Database page to the front and copies the example table.
    void SetUp() override;
    void TearDown() override;

    // Opens a table file through the tool bar's open button.
    void OpenTable(const QString& path);
    // Opens the copy of the example table.
    void OpenExample() { OpenTable(TableFile); }
    // Makes the grid show rows rows by giving the window the height they need.
    void ShowRows(int rows);

    TqelXMLDataSet2& Table() const { return Page->Table(); }
    TDataGridModel& Model() const { return Page->GridModel(); }
    TDBGrid& Grid() const { return Page->Grid(); }
    // The texts of a row of the grid, joined by "|".
    std::string Row(int row) const;
    // The column titles, joined by "|".
    std::string Columns() const;
    // The field names of the table, joined by "|".
    std::string FieldNames() const;
    // Makes the column of that field current.
    void SelectField(const char* name);
    // Clicks a navigator button; false when it was disabled.
    bool Click(TDBNavigator::TNavigateBtn button);
    // The navigator's enabled buttons, as "first prior next last insert delete edit post cancel refresh" with the disabled ones left out.
    std::string EnabledButtons() const;
    // Answers the next modal dialog: fill receives the field dialog and returns
    // whether to click OK (else Cancel is clicked).
    void AnswerFieldDialog(const std::function<bool(TXMLDBFieldF&)>& fill);
    void AnswerMemoDialog(const std::function<bool(TMemoEditF&)>& fill);
    // The table file as written.
    std::string TableText() const { return ReadFile(TableFile); }

private:
    std::unique_ptr<QAbstractItemModelTester> FGridTester;
};
