// The selection list: listing a tree item's element or children, queries from
// the query box, relabelling by tag or attribute, finding a row's element in
// the tree, and the editor that writes the selected row's text.

#include <QHeaderView>
#include <QTest>

#include "WindowFixture.h"

namespace {

class TQueryTest : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        StartWith(KLibraryXml);
    }
    void RunQuery(const QString& text)
    {
        Query()->setPlainText(text);
        Trigger("RunQuery1");
    }
    std::vector<std::string> ListRows() const { return Rows(*Selection()->model()); }
    std::string FirstHeader() const
    {
        return Selection()->model()->headerData(0, Qt::Horizontal).toString().toStdString();
    }
};

using TRows = std::vector<std::string>;

// F9 runs the query from the selected item, or from the document when none is
// selected; the rows show name and text in document order, none selected.
TEST_F(TQueryTest, QueryListsMatchesInDocumentOrder)
{
    Query()->setPlainText(QStringLiteral("name = 'title' or name = 'note'"));
    QTest::keyClick(Window.get(), Qt::Key_F9);
    EXPECT_EQ(ListRows(), (TRows{"title|Alpha", "title|Beta", "note|hello"}));
    EXPECT_EQ(SelectedRowOf(Selection()), -1);
    SelectItem(Item({0, 1}));
    QTest::keyClick(Window.get(), Qt::Key_F9);
    EXPECT_EQ(ListRows(), (TRows{"title|Beta"}));
    RunQuery(QStringLiteral("name = 'nothing'"));
    EXPECT_TRUE(ListRows().empty());
}

// A query typed over several lines runs as one line.
TEST_F(TQueryTest, MultiLineQueryRunsAsOneLine)
{
    RunQuery(QStringLiteral("name = 'book'\nand\r\n@id = 'b2'"));
    EXPECT_EQ(ListRows(), (TRows{"book|"}));
    EXPECT_EQ(Selection()->model()->index(0, 0).data().toString(), QStringLiteral("book"));
    EXPECT_TRUE(Asked().empty());
}

// "*" lists the children of the selected item and selects the first row; a leaf
// lists itself; without a selection the document's children are listed.
TEST_F(TQueryTest, StarListsChildren)
{
    RunQuery(QStringLiteral("*"));
    EXPECT_EQ(ListRows(), (TRows{"shelf|", "note|hello"}));
    EXPECT_EQ(SelectedRowOf(Selection()), 0);
    EXPECT_EQ(Rows(*Attributes()->model()), (TRows{"id|s1"}));
    SelectItem(Item({1}));
    RunQuery(QStringLiteral("*"));
    EXPECT_EQ(ListRows(), (TRows{"note|hello"}));
    EXPECT_EQ(Editor()->toPlainText(), QStringLiteral("hello"));
}

// An error in the query is shown and keeps the list as it was.
TEST_F(TQueryTest, ErrorKeepsTheList)
{
    RunQuery(QStringLiteral("name = 'book'"));
    ASSERT_EQ(ListRows().size(), 2u);
    RunQuery(QStringLiteral("name"));
    EXPECT_EQ(Asked(), TRows{"ErrorBox: Invalid variant type conversion"});
    EXPECT_EQ(ListRows(), (TRows{"book|", "book|"}));
    // A query cut short says what is missing instead of finding nothing.
    RunQuery(QStringLiteral("name = 'book"));
    RunQuery(QStringLiteral("name ="));
    EXPECT_EQ(Asked(), (TRows{"ErrorBox: The query is incomplete: the string at column 8 has no closing '.",
                              "ErrorBox: The query is incomplete: nothing follows \"=\"."}));
    EXPECT_EQ(ListRows(), (TRows{"book|", "book|"}));
}

// With no tree, or no query text, nothing runs.
TEST_F(TQueryTest, NothingRunsWithoutTreeOrText)
{
    RunQuery(QStringLiteral("name = 'note'"));
    RunQuery(QString());
    EXPECT_EQ(ListRows(), (TRows{"note|hello"}));
    Trigger("Close1");
    Asked();
    for (const char* query : {"*", "name = 'note'", "name"}) {
        RunQuery(QString::fromLatin1(query));
        EXPECT_TRUE(ListRows().empty()) << query;
    }
    EXPECT_TRUE(Asked().empty());
}

// List Node (F2) lists the selected item's element, List Subnodes (F3) its
// children, each selecting the first row and showing its attributes and text.
TEST_F(TQueryTest, ListNodeAndSubnodes)
{
    QTest::keyClick(Window.get(), Qt::Key_F2);
    QTest::keyClick(Window.get(), Qt::Key_F3);
    EXPECT_TRUE(ListRows().empty());
    SelectItem(Item({0}));
    QTest::keyClick(Window.get(), Qt::Key_F3);
    EXPECT_EQ(ListRows(), (TRows{"book|", "book|"}));
    EXPECT_EQ(Rows(*Attributes()->model()), (TRows{"id|b1", "lang|en"}));
    SelectItem(Item({0, 0, 0}));
    QTest::keyClick(Window.get(), Qt::Key_F2);
    EXPECT_EQ(ListRows(), (TRows{"title|Alpha"}));
    EXPECT_EQ(SelectedRowOf(Selection()), 0);
    EXPECT_EQ(Editor()->toPlainText(), QStringLiteral("Alpha"));
    EXPECT_TRUE(Rows(*Attributes()->model()).empty());
}

// Choosing a row shows its element's attributes and text; showing writes nothing.
TEST_F(TQueryTest, ChoosingARowShowsItsElement)
{
    RunQuery(QStringLiteral("name = 'book'"));
    const std::string before = Signature(Window->WorkDoc.get());
    SelectRow(Selection(), 1);
    EXPECT_EQ(Rows(*Attributes()->model()), (TRows{"id|b2"}));
    EXPECT_EQ(Editor()->toPlainText(), QString());
    SelectRow(Selection(), 0);
    EXPECT_EQ(Rows(*Attributes()->model()), (TRows{"id|b1", "lang|en"}));
    Selection()->selectionModel()->clearSelection();
    EXPECT_TRUE(Rows(*Attributes()->model()).empty());
    EXPECT_EQ(Signature(Window->WorkDoc.get()), before);
}

// Typing in the editor writes each keystroke into the selected row's element
// and its text column; without a selected row nothing is written.
TEST_F(TQueryTest, EditorWritesTheSelectedRowsText)
{
    RunQuery(QStringLiteral("name = 'note'"));
    Editor()->setFocus();
    QTest::keyClicks(Editor(), QStringLiteral("xy"));
    EXPECT_EQ(ElementOf(Item({1}))->Text, "hello");
    SelectRow(Selection(), 0);
    Editor()->moveCursor(QTextCursor::End);
    QTest::keyClick(Editor(), Qt::Key_Exclam);
    EXPECT_EQ(ElementOf(Item({1}))->Text, "hello!");
    EXPECT_EQ(ListRows(), (TRows{"note|hello!"}));
    QTest::keyClicks(Editor(), QStringLiteral(" <b>"));
    EXPECT_EQ(ElementOf(Item({1}))->Text, "hello! <b>");
    EXPECT_TRUE(ElementOf(Item({1}))->NeedsCData);
}

// "Select" selects the tree item of the row's element, opening its ancestors;
// an element that is not in the tree selects nothing.
TEST_F(TQueryTest, SelectFindsTheTreeItem)
{
    RunQuery(QStringLiteral("name = 'year'"));
    Trigger("Select1");
    EXPECT_EQ(SelectedLabel(), "");
    SelectRow(Selection(), 0);
    Trigger("Select1");
    EXPECT_EQ(Tree()->selectionModel()->selectedIndexes().front(), Item({0, 1, 1}));
    EXPECT_TRUE(Tree()->isExpanded(Item({0, 1})));
    EXPECT_EQ(SourceText(), "<year>2001</year>");
    Tree()->selectionModel()->clearSelection();
    Window->ClearTree();
    Trigger("Select1");
    EXPECT_TRUE(Tree()->selectionModel()->selectedIndexes().isEmpty());
}

// "List by" shows the chosen attribute in the first column under its name
// (empty for elements without it) and keeps that header through later queries;
// "List by tag" restores names and the header "tag".
TEST_F(TQueryTest, ListByAttributeAndTag)
{
    RunQuery(QStringLiteral("name = 'book' or name = 'note'"));
    Trigger("Listby1");  // no attribute row: nothing
    EXPECT_EQ(FirstHeader(), "tag");
    SelectRow(Selection(), 0);
    SelectRow(Attributes(), 1);
    Trigger("Listby1");
    EXPECT_EQ(FirstHeader(), "lang");
    EXPECT_EQ(ListRows(), (TRows{"en|", "|", "|hello"}));
    RunQuery(QStringLiteral("name = 'shelf'"));
    EXPECT_EQ(FirstHeader(), "lang");
    EXPECT_EQ(ListRows(), (TRows{"shelf|"}));
    Trigger("Listbytag1");
    EXPECT_EQ(FirstHeader(), "tag");
    RunQuery(QStringLiteral("name = 'book'"));
    SelectRow(Selection(), 1);
    SelectRow(Attributes(), 0);
    Trigger("Listby1");
    EXPECT_EQ(ListRows(), (TRows{"b1|", "b2|"}));
    Trigger("Listbytag1");
    EXPECT_EQ(ListRows(), (TRows{"book|", "book|"}));
}

// After every fill and relabelling both columns are as wide as what they show.
TEST_F(TQueryTest, ColumnsFitWhatTheyShow)
{
    auto fits = [this] {
        const QAbstractItemModel& model = *Selection()->model();
        for (int column = 0; column < 2; ++column)
            for (int row = 0; row < model.rowCount(); ++row)
                if (Selection()->columnWidth(column) <
                    Selection()->fontMetrics().horizontalAdvance(model.index(row, column).data().toString()))
                    return false;
        return true;
    };
    Window->WorkDoc->Children[0]->Children[0]->SetAttribute("id", std::string(40, 'w'));
    RunQuery(QStringLiteral("name = 'book'"));
    EXPECT_TRUE(fits());
    SelectRow(Selection(), 0);
    SelectRow(Attributes(), 0);
    Trigger("Listby1");
    EXPECT_TRUE(fits());
    Window->WorkDoc->Children[0]->Children[0]->SetName(std::string(120, 'n'));
    Trigger("Listbytag1");
    EXPECT_TRUE(fits());
}

}  // namespace
