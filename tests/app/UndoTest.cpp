// The working document's history: the modified state that follows it, Undo
// and Redo of every command that changes the document, and the Source page's
// unapplied edits.

#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <functional>

#include "WindowFixture.h"

namespace {

class TUndoTest : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        StartWith(KLibraryXml);
    }
    std::string Document() const { return Signature(Window->WorkDoc.get()); }
    std::string UndoText() const { return Find<QAction>("Undo1")->text().toStdString(); }
    // Replaces the source view's text as typing would.
    void TypeSource(const char* text) const { Source()->setText(QString::fromUtf8(text)); }
};

struct TCommandCase {
    const char* Caption;  // the Undo item after the command
    std::function<void()> Run;
};

// Every command that changes the document marks it modified and is undone
// to the saved state and redone to the same result.
TEST_F(TUndoTest, EachCommandUndoesAndRedoes)
{
    const TCommandCase cases[] = {
        {"&Undo Add Child isbn", [this] { SelectItem(Item({0, 0})); Prompts->AnswerInput(QStringLiteral("isbn")); Trigger("AddChild1"); }},
        {"&Undo Duplicate book", [this] { SelectItem(Item({0, 1})); Trigger("Duplicate1"); }},
        {"&Undo Delete book", [this] { SelectItem(Item({0, 0})); Trigger("Delete1"); }},
        {"&Undo Rename shelf", [this] { SelectItem(Item({0})); Prompts->AnswerInput(QStringLiteral("rack")); Trigger("Rename1"); }},
        {"&Undo Rename note", [this] { Tree()->model()->setData(Item({1}), QStringLiteral("remark")); }},
        {"&Undo Add attribute kind", [this] { ListItem(Item({0, 0})); Prompts->AnswerInput(QStringLiteral("kind")); Trigger("Addattribute1"); }},
        {"&Undo Delete attribute id", [this] {
             ListItem(Item({0, 0}));
             SelectRow(Attributes(), 0);
             Prompts->AnswerYesNo(true);
             Trigger("Deleteattribute1");
         }},
        {"&Undo Edit attribute lang", [this] {
             ListItem(Item({0, 0}));
             const QRect cell = Attributes()->visualRect(Attributes()->model()->index(1, 1));
             QTest::mouseClick(Attributes()->viewport(), Qt::LeftButton, {}, cell.center());
             auto* inEdit = Find<QLineEdit>("InEdit");
             inEdit->setText(QStringLiteral("fr"));
             QTest::keyClick(inEdit, Qt::Key_Return);
         }},
        {"&Undo Edit text", [this] { ListItem(Item({1})); Editor()->setPlainText(QStringLiteral("bye")); }},
        {"&Undo Update Document", [this] {
             SelectItem(Item({0, 1}));
             Source()->SetText(QStringLiteral("<tome n=\"1\"><page/></tome>"));
             Trigger("LoadasDocument1");
         }},
        {"&Undo Update Document", [this] {
             SelectItem(Item({}));
             Source()->SetText(QStringLiteral("<?xml version=\"1.0\"?><other><x/></other>"));
             Trigger("LoadasDocument1");
         }},
        {"&Undo Run XEL", [this] {
             SelectItem(Item({1}));
             Source()->SetText(QStringLiteral("<note><xel:var id=\"n\">0</xel:var><xel:do act=\"assign('n', 'one')\"/></note>"));
             Trigger("LoadasDocument1");
             Trigger("RunNode1");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Caption);
        const std::string saved = Document();
        c.Run();
        Asked();
        const std::string changed = Document();
        ASSERT_NE(changed, saved);
        EXPECT_TRUE(Window->Modified());
        EXPECT_EQ(Caption(), "doc.xml* - Brindle 4");
        EXPECT_EQ(UndoText(), c.Caption);
        while (Window->Modified()) Trigger("Undo1");
        EXPECT_EQ(Document(), saved);
        EXPECT_EQ(Caption(), "doc.xml - Brindle 4");
        EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year)) note)");
        while (Find<QAction>("Redo1")->isEnabled()) Trigger("Redo1");
        EXPECT_EQ(Document(), changed);
        TearDown();
        SetUp();
    }
}

// Undo of a delete puts the same element back in the same place, also after
// a redo; the tree selects it.
TEST_F(TUndoTest, UndoOfDeleteBringsBackTheSameElement)
{
    TqelXMLNode2* book = ElementOf(Item({0, 0}));
    SelectItem(Item({0, 0}));
    Trigger("Delete1");
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title year)) note)");
    for (int round = 0; round < 2; ++round) {
        Trigger("Undo1");
        EXPECT_EQ(ElementOf(Item({0, 0})), book);
        EXPECT_EQ(SelectedLabel(), "book");
        EXPECT_EQ(SourceText(), ShownXml(book));
        Trigger("Redo1");
        EXPECT_EQ(ElementOf(Item({0, 0}))->Children.Count(), 2);
    }
}

// Undo past a save makes the document modified again; redo returns to the
// saved state. Open, New and Close empty the history.
TEST_F(TUndoTest, SavedStateAndEmptiedHistory)
{
    SelectItem(Item({1}));
    Prompts->AnswerInput(QStringLiteral("remark"));
    Trigger("Rename1");
    Trigger("Save1");
    EXPECT_FALSE(Window->Modified());
    Trigger("Undo1");
    EXPECT_TRUE(Window->Modified());
    EXPECT_EQ(Caption(), "doc.xml* - Brindle 4");
    Trigger("Redo1");
    EXPECT_FALSE(Window->Modified());
    Trigger("New1");
    EXPECT_FALSE(Find<QAction>("Undo1")->isEnabled());
    EXPECT_EQ(UndoText(), "&Undo");
    Asked();
}

// The history reaches back well over a hundred steps.
TEST_F(TUndoTest, HistoryKeepsOverAHundredSteps)
{
    constexpr int KSteps = 150;
    for (int i = 0; i < KSteps; ++i) Tree()->model()->setData(Item({1}), QStringLiteral("n%1").arg(i));
    for (int i = 0; i < KSteps; ++i) Trigger("Undo1");
    EXPECT_EQ(ElementOf(Item({1}))->Name, "note");
    EXPECT_FALSE(Window->Modified());
}

// Typing into the node-text editor makes one step per element.
TEST_F(TUndoTest, TypingIsOneStepPerElement)
{
    ListItem(Item({1}));
    for (const char* text : {"h", "he", "hel"}) Editor()->setPlainText(QString::fromLatin1(text));
    ListItem(Item({0, 0, 0}));
    Editor()->setPlainText(QStringLiteral("Omega"));
    Trigger("Undo1");
    EXPECT_EQ(ElementOf(Item({0, 0, 0}))->Text, "Alpha");
    EXPECT_EQ(ElementOf(Item({1}))->Text, "hel");
    Trigger("Undo1");
    EXPECT_EQ(ElementOf(Item({1}))->Text, "hello");
    EXPECT_FALSE(Window->Modified());
}

// Source text edited and not applied: leaving the element asks; Cancel stays
// with the edits, Yes applies them, No drops them.
TEST_F(TUndoTest, SourceEditsAreNotLostOnLeaving)
{
    SelectItem(Item({1}));
    TypeSource("<note>bye</note>");
    Prompts->AnswerYesNoCancel(TChoice::Cancel);
    SelectItem(Item({0}));
    EXPECT_EQ(SelectedLabel(), "note");
    EXPECT_EQ(SourceText(), "<note>bye</note>");
    Prompts->AnswerYesNoCancel(TChoice::Yes);
    SelectItem(Item({0}));
    EXPECT_EQ(SelectedLabel(), "shelf");
    EXPECT_EQ(ElementOf(Item({1}))->Text, "bye");
    EXPECT_EQ(SourceText(), ShownXml(ElementOf(Item({0}))));
    TypeSource("<shelf/>");
    Prompts->AnswerYesNoCancel(TChoice::No);
    SelectItem(Item({1}));
    EXPECT_EQ(ElementOf(Item({0}))->Children.Count(), 2);
    EXPECT_EQ(SourceText(), ShownXml(ElementOf(Item({1}))));
    EXPECT_EQ(Asked().size(), 3u);
}

// Edits made on the Editor page show in the Source page when it is shown.
TEST_F(TUndoTest, EditorEditsShowInTheSourcePage)
{
    ListItem(Item({1}));
    Editor()->setPlainText(QStringLiteral("bye"));
    Find<QTabWidget>("book")->setCurrentWidget(Find<QWidget>("sourceTab"));
    EXPECT_EQ(SourceText(), ShownXml(ElementOf(Item({1}))));
    EXPECT_NE(SourceText().find("bye"), std::string::npos);
}

}  // namespace
