// The window's keys beyond the menus' shortcuts: the tree's Insert, Delete and
// rename keys, the keyboard's way to the pop-ups, and Tab in the text boxes.

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "WindowFixture.h"

namespace {

using TKeysTest = TWindowTest;

// Insert adds a child, Delete deletes the selected element, Ctrl+R opens its
// label in place, where Delete edits the label instead of the tree.
TEST_F(TKeysTest, TreeKeysAddDeleteAndRename)
{
    StartWith(KLibraryXml);
    SelectItem(Item({1}));
    Tree()->setFocus();
    Prompts->AnswerInput(QStringLiteral("memo"));
    QTest::keyClick(Tree(), Qt::Key_Insert);
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year)) note(memo))");
    EXPECT_EQ(SelectedLabel(), "memo");
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year)) note)");
    EXPECT_EQ(SelectedLabel(), "note");

    QTest::keyClick(Tree(), Qt::Key_R, Qt::ControlModifier);
    auto* label = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(label, nullptr);
    QTest::keyClick(label, Qt::Key_Home);
    QTest::keyClick(label, Qt::Key_Delete);
    QTest::keyClicks(label, QStringLiteral("qu"));
    EXPECT_EQ(label->text(), QStringLiteral("quote"));
    QTest::keyClick(label, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year)) quote)");
    EXPECT_EQ(Asked(), std::vector<std::string>{"InputBox: Nodes|Enter node name:|"});
}

// Shift+F10 and the Menu key open a control's pop-up, the tree's below its
// current item.
TEST_F(TKeysTest, KeyboardOpensThePopups)
{
    StartWith(KLibraryXml);
    ListItem(Item({0, 0}));
    SelectItem(Item({1}));
    Book()->setCurrentWidget(Find<QWidget>("sourceTab"));
    const std::pair<QWidget*, const char*> popups[] = {
        {Tree(), "treepop"}, {Selection(), "selpop"}, {Attributes(), "viewpop"}, {Source(), "sourcepop"}};
    for (const auto& [control, name] : popups) {
        auto* menu = Find<QMenu>(name);
        for (const Qt::Key key : {Qt::Key_Menu, Qt::Key_F10}) {
            control->setFocus();
            QTest::keyClick(control, key, key == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);
            EXPECT_TRUE(menu->isVisible()) << name << ' ' << key;
            menu->hide();
        }
    }
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Menu);
    const QRect item = Tree()->visualRect(Item({1}));
    EXPECT_EQ(Find<QMenu>("treepop")->pos(), Tree()->viewport()->mapToGlobal(item.bottomLeft()));
    Find<QMenu>("treepop")->hide();
}

// Tab leaves the query box and the node's text; Ctrl+Tab types a tab there.
TEST_F(TKeysTest, TabMovesOnCtrlTabTypes)
{
    StartWith(KLibraryXml);
    ListItem(Item({1}));
    for (QPlainTextEdit* text : {Query(), Editor()}) {
        text->setFocus();
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_TRUE(text->toPlainText().endsWith(QLatin1Char('\t'))) << text->objectName().toStdString();
        QTest::keyClick(text, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), text) << text->objectName().toStdString();
    }
    EXPECT_EQ(ElementOf(Item({1}))->Text, "hello\t");
}

}  // namespace
