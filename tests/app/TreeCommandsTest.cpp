// The tree's pop-up commands and in-place label editing: each changes the
// element tree and the tree view together.

#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include "WindowFixture.h"

namespace {

class TTreeCommandTest : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        StartWith(KLibraryXml);
    }
    std::string DocumentSignature() const { return Signature(Window->WorkDoc.get()); }
};

// Add Child appends the named element as the last child, selects it (opening
// its collapsed parent) and shows it in the source view; a save writes it
// after the existing children.
TEST_F(TTreeCommandTest, AddChildAppendsAndSelects)
{
    SelectItem(Item({0}));
    ASSERT_FALSE(Tree()->isExpanded(Item({0})));
    Prompts->AnswerInput(QStringLiteral("x:new one"));
    Trigger("AddChild1");
    EXPECT_EQ(Asked(), std::vector<std::string>{"InputBox: Nodes|Enter node name:|"});
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year) x:new one) note)");
    EXPECT_EQ(SelectedLabel(), "x:new one");
    EXPECT_TRUE(Tree()->isExpanded(Item({0})));
    TqelXMLNode2* added = ElementOf(Item({0, 2}));
    EXPECT_EQ(added->Prefix, "x");
    EXPECT_EQ(added->Parent, ElementOf(Item({0})));
    EXPECT_EQ(SourceText(), ShownXml(added));
    Trigger("Save1");
    const std::string saved = ReadFile(PathOf("doc.xml"));
    EXPECT_LT(saved.find("<year>"), saved.find("<x:new one"));
}

// Cancel, an empty name or no selected item add nothing.
TEST_F(TTreeCommandTest, AddChildPreconditions)
{
    const std::string before = DocumentSignature();
    Trigger("AddChild1");  // nothing selected: nothing asked
    SelectItem(Item({1}));
    Prompts->AnswerInput(std::nullopt);
    Trigger("AddChild1");
    Prompts->AnswerInput(QString());
    Trigger("AddChild1");
    EXPECT_EQ(Asked().size(), 2u);
    EXPECT_EQ(DocumentSignature(), before);
}

// Duplicate appends a deep copy at the end of the parent's children, with its
// whole subtree in the tree; on the document itself Duplicate and Delete are
// greyed out and the Delete key does nothing.
TEST_F(TTreeCommandTest, DuplicateCopiesTheSubtreeToTheEnd)
{
    SelectItem(Item({0, 0}));
    Trigger("Duplicate1");
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year) book(title)) note)");
    EXPECT_EQ(Signature(ElementOf(Item({0, 2}))), Signature(ElementOf(Item({0, 0}))));
    EXPECT_NE(ElementOf(Item({0, 2})), ElementOf(Item({0, 0})));
    EXPECT_EQ(Tree()->selectionModel()->selectedIndexes().front(), Item({0, 2}));

    const std::string before = DocumentSignature();
    SelectItem(Item({}));
    EXPECT_FALSE(Find<QAction>("Duplicate1")->isEnabled());
    EXPECT_FALSE(Find<QAction>("Delete1")->isEnabled());
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(DocumentSignature(), before);
    EXPECT_EQ(SelectedLabel(), "library");
    SelectItem(Item({1}));
    EXPECT_TRUE(Find<QAction>("Duplicate1")->isEnabled());
    EXPECT_TRUE(Find<QAction>("Delete1")->isEnabled());
}

// Delete asks nothing, destroys the subtree, selects the parent and empties the
// lists whose rows may refer to what was destroyed.
TEST_F(TTreeCommandTest, DeleteSelectsTheParent)
{
    SelectItem(Item({0}));
    Trigger("ListSubnodes1");
    ASSERT_EQ(Selection()->model()->rowCount(), 2);
    SelectItem(Item({0, 0}));
    Trigger("Delete1");
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title year)) note)");
    EXPECT_EQ(SelectedLabel(), "shelf");
    EXPECT_EQ(SourceText(), ShownXml(ElementOf(Item({0}))));
    EXPECT_EQ(Selection()->model()->rowCount(), 0);
    EXPECT_EQ(Attributes()->model()->rowCount(), 0);
    EXPECT_TRUE(Editor()->toPlainText().isEmpty());
}

// Rename offers the label; the same name or an empty text changes nothing; a
// name with a colon also sets the prefix.
TEST_F(TTreeCommandTest, RenameThroughTheInputBox)
{
    SelectItem(Item({1}));
    const TqelXMLNode2* note = ElementOf(Item({1}));
    Prompts->AnswerInput(QStringLiteral("note"));
    Trigger("Rename1");
    Prompts->AnswerInput(QString());
    Trigger("Rename1");
    EXPECT_EQ(note->Name, "note");
    Prompts->AnswerInput(QStringLiteral("h:remark"));
    Trigger("Rename1");
    EXPECT_EQ(Asked(), (std::vector<std::string>{"InputBox: Node|Change nodename:|note", "InputBox: Node|Change nodename:|note",
                                                 "InputBox: Node|Change nodename:|note"}));
    EXPECT_EQ(note->Name, "h:remark");
    EXPECT_EQ(note->Prefix, "h");
    EXPECT_EQ(Item({1}).data().toString(), QStringLiteral("h:remark"));
}

// A label edited in place renames the element; a cleared label falls back to
// the old name.
TEST_F(TTreeCommandTest, InPlaceLabelEditing)
{
    EditLabel(Item({0}), QStringLiteral("rack"));
    EXPECT_EQ(ElementOf(Item({0}))->Name, "rack");
    EXPECT_EQ(Item({0}).data().toString(), QStringLiteral("rack"));
    EditLabel(Item({0}), QString());
    EXPECT_EQ(ElementOf(Item({0}))->Name, "rack");
    EXPECT_EQ(Item({0}).data().toString(), QStringLiteral("rack"));
}

// Expand All opens every item below the top; Collapse All closes them all.
TEST_F(TTreeCommandTest, ExpandAndCollapseAll)
{
    const QModelIndex items[] = {Item({}), Item({0}), Item({0, 0}), Item({0, 1})};
    Trigger("ExpandAll1");
    for (const QModelIndex& index : items) EXPECT_TRUE(Tree()->isExpanded(index));
    Trigger("CollapseAll1");
    for (const QModelIndex& index : items) EXPECT_FALSE(Tree()->isExpanded(index));
}

}  // namespace

namespace {

// Labels deep down scroll into view sideways: the tree's one column is as wide
// as its widest label.
TEST_F(TWindowTest, DeepLabelsScrollSideways)
{
    std::string text;
    for (int i = 0; i < 12; ++i) text += "<a_rather_long_element_name_" + std::to_string(i) + '>';
    for (int i = 11; i >= 0; --i) text += "</a_rather_long_element_name_" + std::to_string(i) + '>';
    StartWith(text);
    Trigger("ExpandAll1");
    QCoreApplication::processEvents();
    EXPECT_TRUE(Tree()->isHeaderHidden());
    EXPECT_GE(Tree()->columnWidth(0), Tree()->fontMetrics().horizontalAdvance(QStringLiteral("a_rather_long_element_name_11")));
    EXPECT_GT(Tree()->horizontalScrollBar()->maximum(), 0);
}

// A document nested far deeper than anyone writes by hand still opens, expands
// (down to the depth the view can lay out), shows its top item's source and
// loses its elements without harm.
TEST_F(TWindowTest, DeepDocumentsStayUsable)
{
    constexpr int depth = 100000;
    std::string text;
    for (int i = 0; i < depth; ++i) text += "<d>";
    text += "<leaf/>";
    for (int i = 0; i < depth; ++i) text += "</d>";
    StartWith(text);
    auto itemAt = [this](int level) {
        QModelIndex index = Item({});
        for (int i = 0; i < level; ++i) index = index.model()->index(0, 0, index);
        return index;
    };

    Trigger("ExpandAll1");
    EXPECT_TRUE(Tree()->isExpanded(itemAt(0)));
    EXPECT_TRUE(Tree()->isExpanded(itemAt(999)));
    EXPECT_FALSE(Tree()->isExpanded(itemAt(1000)));
    // Expanding deeper by hand is refused with a word in the status bar.
    Tree()->expand(itemAt(1000));
    EXPECT_FALSE(Tree()->isExpanded(itemAt(1000)));
    EXPECT_EQ(Window->statusBar()->currentMessage().toStdString(), "Items more than 1000 levels deep are not expanded.");

    Trigger("CollapseAll1");
    EXPECT_FALSE(Tree()->isExpanded(itemAt(0)));
    // The view's key for expanding everything below an item keeps to the limit too.
    Tree()->setCurrentIndex(itemAt(0));
    QTest::keyClick(Tree(), Qt::Key_Asterisk);
    EXPECT_TRUE(Tree()->isExpanded(itemAt(999)));
    EXPECT_FALSE(Tree()->isExpanded(itemAt(1000)));

    SelectItem(Item({}));
    EXPECT_NE(SourceText().find("<leaf/>"), std::string::npos);
    SelectItem(Item({0}));
    Trigger("Delete1");
    EXPECT_EQ(Window->WorkDoc->Children.Count(), 0);
}

}  // namespace
