// The Database page's grid and navigator over the example table: what the
// cells show, moving through the records, editing a cell of each type,
// inserting and deleting records.

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "DatabaseFixture.h"

namespace {

using enum TDBNavigator::TNavigateBtn;

const char* const KFirstRow =
    "The Lighthouse Keeper|7|12.5|True|17-04-1998|30-11-2026 09:15:00|Paperback, second printing.";

}  // namespace

// A closed table shows nothing, and nothing acts on it.
TEST_F(TDatabaseTest, ClosedTableShowsNoCellsAndDisablesTheNavigator)
{
    EXPECT_EQ(Model().rowCount(), 0);
    EXPECT_EQ(Model().columnCount(), 0);
    EXPECT_EQ(Page->SelectedField(), nullptr);
    EXPECT_EQ(EnabledButtons(), "");
    QTest::keyClick(&Grid(), Qt::Key_Down);
    QTest::keyClick(&Grid(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Model().rowCount(), 0);
}

// Cells show the display text of each type; the active record is marked.
TEST_F(TDatabaseTest, OpeningShowsEveryRecordInTheFieldOrder)
{
    OpenExample();
    EXPECT_EQ(Columns(), "title|stock|price|available|released|checked|notes");
    ASSERT_EQ(Model().rowCount(), 4);
    EXPECT_EQ(Row(0), KFirstRow);
    // A stored "0" is false, a bare date is midnight, CDATA text shows as it is.
    EXPECT_EQ(Row(1), "Winter Orchard|0|9.9|False|02-10-2004|01-12-2026|Reprint expected <soon>");
    // A record without a value element shows an empty cell.
    EXPECT_EQ(Row(2), "Das stille Haus|3|15|True|07-03-2011|28-11-2026 17:40:05|");
    EXPECT_EQ(Model().headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), ">");
    EXPECT_EQ(Model().headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), "");
    EXPECT_EQ(Model().index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(Grid().currentIndex(), Model().index(0, 0));
    EXPECT_EQ(Page->SelectedField(), Table().FindField("title"));
    EXPECT_EQ(EnabledButtons(), "next last insert delete edit refresh");
}

// Each column is wide enough for its values and its header; a width a person
// set stays while the table is browsed.
TEST_F(TDatabaseTest, ColumnsFitTheirFieldsAndKeepAPersonsWidth)
{
    OpenExample();
    for (int column = 0; column < Model().columnCount(); ++column) {
        int widest = Grid().horizontalHeader()->sectionSizeHint(column);
        for (int row = 0; row < Model().rowCount(); ++row)
            widest = std::max(widest, Grid().fontMetrics().horizontalAdvance(Model().index(row, column).data().toString()));
        // Memo text may be cut: its cells open an editor of their own.
        if (column < Model().columnCount() - 1) {
            EXPECT_GE(Grid().columnWidth(column), widest) << column;
        }
    }
    Grid().setColumnWidth(0, 33);
    QTest::keyClick(&Grid(), Qt::Key_Down);
    QTest::keyClick(&Grid(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Grid().columnWidth(0), 33);
}

// The navigator moves the dataset; the grid's current row follows it, and each
// button is enabled while it can act.
TEST_F(TDatabaseTest, NavigatorMovesAndTheGridFollows)
{
    OpenExample();
    SelectField("price");
    ASSERT_TRUE(Click(nbNext));
    EXPECT_EQ(Table().RecNo(), 2);
    EXPECT_EQ(Grid().currentIndex(), Model().index(1, 2));
    EXPECT_EQ(Model().headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), ">");
    EXPECT_EQ(EnabledButtons(), "first prior next last insert delete edit refresh");
    ASSERT_TRUE(Click(nbLast));
    EXPECT_EQ(Table().RecNo(), 4);
    EXPECT_EQ(EnabledButtons(), "first prior insert delete edit refresh");
    ASSERT_TRUE(Click(nbPrior));
    ASSERT_TRUE(Click(nbFirst));
    EXPECT_EQ(Table().RecNo(), 1);
    EXPECT_EQ(Grid().currentIndex(), Model().index(0, 2));
    // A move that stops at the end sends no notification, yet the buttons see the end.
    ASSERT_TRUE(Click(nbLast));
    EXPECT_FALSE(Click(nbNext));
}

// Keys and clicks on the grid move the dataset; a window smaller than the
// table scrolls by moving the dataset, with the scroll bar over all records.
TEST_F(TDatabaseTest, GridScrollsThroughAWindowSmallerThanTheTable)
{
    ShowRows(2);
    OpenExample();
    ASSERT_EQ(Model().rowCount(), 2);
    EXPECT_EQ(Grid().verticalScrollBar()->maximum(), 3);
    Grid().setFocus();
    QTest::keyClick(&Grid(), Qt::Key_Down);
    QTest::keyClick(&Grid(), Qt::Key_Down);
    EXPECT_EQ(Table().RecNo(), 3);
    // The window moved: the third record is the last row shown.
    EXPECT_EQ(Row(1).substr(0, 15), "Das stille Haus");
    EXPECT_EQ(Grid().currentIndex().row(), 1);
    EXPECT_EQ(Grid().verticalScrollBar()->value(), 2);
    QTest::keyClick(&Grid(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Table().RecNo(), 1);
    EXPECT_EQ(Row(0), KFirstRow);
    // Clicking the other row makes its record the active one.
    Grid().setCurrentIndex(Model().index(1, 3));
    EXPECT_EQ(Table().RecNo(), 2);
    Grid().verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Table().RecNo(), 4);
    EXPECT_EQ(Row(1).substr(0, 19), "Field Notes on Moss");
}

namespace {

// One cell edited through the editor the grid makes for its field.
struct TCellEdit {
    const char* Field;
    const char* Editor;  // the editor's class
    std::function<void(QWidget*)> Change;
    const char* Shown;   // the cell afterwards
    const char* Stored;  // the value element in the written file
};

}  // namespace

// Each type gets its own editor; the edited record posts and the file keeps
// each value in its stored form.
TEST_F(TDatabaseTest, EditingACellOfEachTypeThroughItsEditor)
{
    const std::vector<TCellEdit> edits = {
        {"title", "QLineEdit", [](QWidget* e) { static_cast<QLineEdit*>(e)->setText("Tides"); }, "Tides",
         "<title>Tides</title>"},
        {"stock", "QLineEdit", [](QWidget* e) { static_cast<QLineEdit*>(e)->setText(" 42 "); }, "42",
         "<stock>42</stock>"},
        {"price", "QLineEdit", [](QWidget* e) { static_cast<QLineEdit*>(e)->setText("3.25"); }, "3.25",
         "<price>3.25</price>"},
        {"available", "QCheckBox", [](QWidget* e) { static_cast<QCheckBox*>(e)->setChecked(false); }, "False",
         "<available>0</available>"},
        {"released", "QDateEdit", [](QWidget* e) { static_cast<QDateEdit*>(e)->setDate(QDate(2001, 3, 7)); },
         "07-03-2001", "<released>2001-03-07</released>"},
        {"checked", "QDateTimeEdit",
         [](QWidget* e) {
             static_cast<QDateTimeEdit*>(e)->setDateTime(QDateTime(QDate(2001, 3, 7), QTime(14, 30), Qt::UTC));
         },
         "07-03-2001 14:30:00", "<checked>2001-03-07 14:30:00</checked>"},
        {"notes", "QPlainTextEdit", [](QWidget* e) { static_cast<QPlainTextEdit*>(e)->setPlainText("Signed copy"); },
         "Signed copy", "<notes>Signed copy</notes>"},
    };
    OpenExample();
    QAbstractItemDelegate* delegate = Grid().itemDelegate();
    for (const TCellEdit& edit : edits) {
        SCOPED_TRACE(edit.Field);
        SelectField(edit.Field);
        const QModelIndex cell = Grid().currentIndex();
        std::unique_ptr<QWidget> editor(delegate->createEditor(Grid().viewport(), QStyleOptionViewItem(), cell));
        ASSERT_NE(editor, nullptr);
        EXPECT_STREQ(editor->metaObject()->className(), edit.Editor);
        delegate->setEditorData(editor.get(), cell);
        edit.Change(editor.get());
        delegate->setModelData(editor.get(), &Model(), cell);
        EXPECT_EQ(Model().headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "I");
        EXPECT_EQ(cell.data().toString().toStdString(), edit.Shown);
        ASSERT_TRUE(Click(nbPost));
        EXPECT_EQ(cell.data().toString().toStdString(), edit.Shown);
    }
    EXPECT_EQ(Table().State(), TDataSetState::dsBrowse);
    Trigger("cmddbclose");
    const std::string written = TableText();
    for (const TCellEdit& edit : edits) EXPECT_NE(written.find(edit.Stored), std::string::npos) << edit.Stored;
}

// The editors start from the cell's value; a string editor takes no more than the field's size.
TEST_F(TDatabaseTest, EditorsStartFromTheStoredValue)
{
    OpenExample();
    QAbstractItemDelegate* delegate = Grid().itemDelegate();
    const auto editorFor = [&](int column) {
        const QModelIndex cell = Model().index(0, column);
        QWidget* editor = delegate->createEditor(Grid().viewport(), QStyleOptionViewItem(), cell);
        delegate->setEditorData(editor, cell);
        return std::unique_ptr<QWidget>(editor);
    };
    const auto title = editorFor(0);
    EXPECT_EQ(static_cast<QLineEdit*>(title.get())->maxLength(), 40);
    EXPECT_EQ(static_cast<QLineEdit*>(title.get())->text(), "The Lighthouse Keeper");
    EXPECT_TRUE(static_cast<QCheckBox*>(editorFor(3).get())->isChecked());
    const auto released = editorFor(4);
    EXPECT_EQ(static_cast<QDateEdit*>(released.get())->date(), QDate(1998, 4, 17));
    EXPECT_EQ(static_cast<QDateEdit*>(released.get())->text(), "17-04-1998");
    EXPECT_EQ(static_cast<QDateTimeEdit*>(editorFor(5).get())->dateTime(),
              QDateTime(QDate(2026, 11, 30), QTime(9, 15), Qt::UTC));
    // Looking changes nothing.
    EXPECT_EQ(Table().State(), TDataSetState::dsBrowse);
}

// Text that does not convert is refused with the field's message; the record
// stays as it was and out of edit mode. An edit to the same value does nothing.
TEST_F(TDatabaseTest, RefusedAndUnchangedEditsLeaveTheRecord)
{
    OpenExample();
    struct {
        int Column;
        const char* Text;
        const char* Message;
    } const refused[] = {
        {1, "12abc", "ErrorBox: Invalid value \"12abc\" for field \"stock\""},
        {1, "", "ErrorBox: Invalid value \"\" for field \"stock\""},
        {2, "1,5", "ErrorBox: Invalid value \"1,5\" for field \"price\""},
        {3, "maybe", "ErrorBox: Invalid value \"maybe\" for field \"available\""},
        {4, "31-02-2001", "ErrorBox: Invalid value \"31-02-2001\" for field \"released\""},
    };
    for (const auto& edit : refused) {
        SCOPED_TRACE(edit.Text);
        EXPECT_FALSE(Model().setData(Model().index(1, edit.Column), QString::fromLatin1(edit.Text), Qt::EditRole));
        EXPECT_EQ(Asked(), std::vector<std::string>{edit.Message});
        EXPECT_EQ(Table().State(), TDataSetState::dsBrowse);
    }
    EXPECT_EQ(Row(1), "Winter Orchard|0|9.9|False|02-10-2004|01-12-2026|Reprint expected <soon>");
    // The edits went to the second record, which became the active one.
    EXPECT_EQ(Table().RecNo(), 2);
    EXPECT_FALSE(Model().setData(Model().index(1, 0), QStringLiteral("Winter Orchard"), Qt::EditRole));
    EXPECT_FALSE(Model().setData(Model().index(1, 3), false, Qt::EditRole));
    EXPECT_EQ(Table().State(), TDataSetState::dsBrowse);
    // Typed text in the program's forms converts; a string is cut to its size.
    EXPECT_TRUE(Model().setData(Model().index(1, 3), QStringLiteral("true"), Qt::EditRole));
    EXPECT_TRUE(Model().setData(Model().index(1, 4), QStringLiteral("7-3-2001"), Qt::EditRole));
    EXPECT_TRUE(Model().setData(Model().index(1, 0), QString(50, QLatin1Char('x')), Qt::EditRole));
    EXPECT_EQ(Row(1), std::string(40, 'x') + "|0|9.9|True|07-03-2001|01-12-2026|Reprint expected <soon>");
}

// Insert begins a new record in the grid; posting stores it after the last
// one. Delete asks first.
TEST_F(TDatabaseTest, InsertingAndDeletingRecords)
{
    OpenExample();
    ASSERT_TRUE(Click(nbNext));
    ASSERT_TRUE(Click(nbInsert));
    ASSERT_EQ(Model().rowCount(), 5);
    EXPECT_EQ(Model().headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), "*");
    EXPECT_EQ(Row(1), "|0|0|False|30-12-1899|30-12-1899|");
    EXPECT_EQ(EnabledButtons(), "first prior next last insert delete post cancel");
    ASSERT_TRUE(Model().setData(Model().index(1, 0), QStringLiteral("Salt Roads"), Qt::EditRole));
    ASSERT_TRUE(Model().setData(Model().index(1, 1), QStringLiteral("5"), Qt::EditRole));
    ASSERT_TRUE(Click(nbPost));
    EXPECT_EQ(Table().RecordCount(), 5);
    // The new record is the last element of "rows", so the grid lists it last.
    ASSERT_TRUE(Click(nbLast));
    EXPECT_EQ(Row(Model().ActiveRow()).substr(0, 13), "Salt Roads|5|");

    ASSERT_TRUE(Click(nbFirst));
    Prompts->AnswerYesNo(false);
    ASSERT_TRUE(Click(nbDelete));
    EXPECT_EQ(Asked(), std::vector<std::string>{"AskYesNo: Delete record?"});
    EXPECT_EQ(Table().RecordCount(), 5);
    Prompts->AnswerYesNo(true);
    ASSERT_TRUE(Click(nbDelete));
    Asked();
    EXPECT_EQ(Table().RecordCount(), 4);
    EXPECT_EQ(Row(0).substr(0, 14), "Winter Orchard");

    // Cancel drops a new record.
    ASSERT_TRUE(Click(nbInsert));
    ASSERT_TRUE(Click(nbCancel));
    EXPECT_EQ(Model().rowCount(), 4);
    Trigger("cmddbclose");
    const std::string written = TableText();
    EXPECT_EQ(written.find("The Lighthouse Keeper"), std::string::npos);
    const std::size_t added = written.find("<title>Salt Roads</title>");
    EXPECT_NE(added, std::string::npos);
    EXPECT_NE(written.find("<stock>5</stock>", added), std::string::npos);
}

// A table with fields and no records: the grid shows the columns and no row,
// the first column is the selected field, and a new record can be made.
TEST_F(TDatabaseTest, EmptyTableShowsColumnsAndTakesANewRecord)
{
    const QString empty = WriteFile(QStringLiteral("empty.xml"),
                                    "<t><fields><name size=\"8\"/><born type=\"date\"/></fields><rows/></t>");
    OpenTable(empty);
    EXPECT_EQ(Columns(), "name|born");
    EXPECT_EQ(Model().rowCount(), 0);
    EXPECT_EQ(Page->SelectedField(), Table().FindField("name"));
    EXPECT_EQ(EnabledButtons(), "insert edit refresh");
    QTest::keyClick(&Grid(), Qt::Key_Down);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Grid().viewport(), &wheel);
    EXPECT_EQ(Model().rowCount(), 0);
    ASSERT_TRUE(Click(nbInsert));
    ASSERT_TRUE(Model().setData(Model().index(0, 0), QStringLiteral("Ada"), Qt::EditRole));
    ASSERT_TRUE(Click(nbPost));
    EXPECT_EQ(Row(0), "Ada|30-12-1899");
    Trigger("cmddbclose");
    const std::string written = ReadFile(empty);
    EXPECT_NE(written.find("<name>Ada</name>"), std::string::npos) << written;
    EXPECT_NE(written.find("<born>1899-12-30</born>"), std::string::npos);
}

// The record under edit follows the grid: moving to another row posts the change.
TEST_F(TDatabaseTest, MovingToAnotherRowPostsTheEdit)
{
    OpenExample();
    ASSERT_TRUE(Model().setData(Model().index(0, 1), QStringLiteral("8"), Qt::EditRole));
    EXPECT_EQ(EnabledButtons(), "next last insert delete post cancel");
    Grid().setCurrentIndex(Model().index(2, 1));
    EXPECT_EQ(Table().State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Table().RecNo(), 3);
    EXPECT_EQ(Row(0).substr(0, 24), "The Lighthouse Keeper|8|");
    // Cancel brings back what is stored.
    ASSERT_TRUE(Model().setData(Model().index(2, 1), QStringLiteral("99"), Qt::EditRole));
    ASSERT_TRUE(Click(nbCancel));
    EXPECT_EQ(Row(2).substr(0, 18), "Das stille Haus|3|");
}
