// The "Source" page: its editor, and "Update Document", which replaces the whole
// document (top item) or one element from the edited text.

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTest>

#include <Qsci/qscilexerhtml.h>

#include "WindowFixture.h"

namespace {

using TSourceEditorTest = TWindowTest;

class TUpdateDocumentTest : public TWindowTest {
protected:
    // Puts the text into the source view and chooses "Update Document".
    void Update(const QString& text)
    {
        Book()->setCurrentWidget(Find<QWidget>("sourceTab"));
        Source()->SetText(text);
        Trigger("LoadasDocument1");
    }
    // The text did not parse: the error came in a message box, and the text as
    // typed is still in the source view.
    void ExpectErrorShown(const QString& typed)
    {
        ASSERT_FALSE(Window->WorkDoc->LastError.empty());
        const std::vector<std::string> asked = Asked();
        ASSERT_EQ(asked.size(), 1U);
        EXPECT_EQ(asked[0].rfind("Message: Syntax error at line 1, column ", 0), 0U) << asked[0];
        const std::string whole = "\n\n" + Window->WorkDoc->LastError;
        EXPECT_EQ(asked[0].substr(asked[0].size() - std::min(asked[0].size(), whole.size())), whole);
        EXPECT_EQ(Source()->Text(), typed);
    }
};

// The hidden source view is left alone at every click and filled as its page
// is shown; once shown it follows the selection at once.
TEST_F(TSourceEditorTest, FilledWhenShown)
{
    StartWith(KLibraryXml);
    SelectItem(Item({}));
    SelectItem(Item({0, 0}));
    EXPECT_TRUE(Source()->Text().isEmpty());
    EXPECT_EQ(SourceText(), ShownXml(ElementOf(Item({0, 0}))));
    SelectItem(Item({1}));
    EXPECT_EQ(Lf(Source()->Text().toStdString()), ShownXml(ElementOf(Item({1}))));
}

// The editor colours HTML in the fixed-pitch font, keeps every character of the
// text (code 0 included), and Close empties text, bookmarks and undo history.
TEST_F(TSourceEditorTest, HoldsTextBookmarksAndUndo)
{
    StartWith(KLibraryXml);
    TSourceEditor* source = Source();
    ASSERT_NE(qobject_cast<QsciLexerHTML*>(source->lexer()), nullptr);
    EXPECT_EQ(source->lexer()->font(0).family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    // The editor's own pop-up menu gives way to it.
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), source->viewport()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(source->viewport(), &request);
    EXPECT_TRUE(Find<QMenu>("sourcepop")->isVisible());
    Find<QMenu>("sourcepop")->hide();

    const QString text = QStringLiteral("a\u00e9") + QChar(0) + QStringLiteral("b\r\n\u4e2d");
    source->SetText(text);
    EXPECT_EQ(source->Text(), text);
    EXPECT_FALSE(source->isUndoAvailable());

    SelectItem(Item({0}));
    source->insert(QStringLiteral("x"));
    source->ToggleBookmark(1);
    source->ToggleBookmark(2);
    source->ToggleBookmark(2);
    EXPECT_TRUE(source->isUndoAvailable());
    EXPECT_TRUE(source->HasBookmark(1));
    EXPECT_EQ(source->BookmarkCount(), 1);
    Prompts->AnswerYesNoCancel(TChoice::No);  // the typed "x" is dropped
    Trigger("Close1");
    EXPECT_TRUE(source->Text().isEmpty());
    EXPECT_EQ(source->BookmarkCount(), 0);
    EXPECT_FALSE(source->isUndoAvailable());
    Asked();
}

// Ctrl+F opens the find bar: Enter selects the next occurrence, letter case
// ignored, Shift+Enter the previous one, both going round the end; Ctrl+G
// searches again from the editor; a text that does not occur is reported.
TEST_F(TSourceEditorTest, FindsForwardAndBack)
{
    StartWith(KLibraryXml);
    SelectItem(Item({}));
    Book()->setCurrentWidget(Find<QWidget>("sourceTab"));
    TSourceEditor* source = Source();
    EXPECT_GT(source->marginWidth(0), 0);  // line numbers
    const QByteArray text = source->Text().toUtf8();
    std::vector<long> at;
    for (qsizetype i = text.indexOf("title"); i >= 0; i = text.indexOf("title", i + 1)) at.push_back(i);
    ASSERT_EQ(at.size(), 4U);
    const auto selected = [source] { return source->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART); };

    source->setFocus();
    QTest::keyClick(source, Qt::Key_F, Qt::ControlModifier);
    auto* box = Find<QLineEdit>("findtext");
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClicks(box, QStringLiteral("TITLE"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(selected(), at[0]);
    EXPECT_EQ(source->selectedText(), QStringLiteral("title"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(selected(), at[1]);
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(selected(), at[3]);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(source->hasFocus());
    QTest::keyClick(source, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(selected(), at[0]);

    Trigger("FindSource1");
    box->setText(QStringLiteral("absent"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(selected(), at[0]);
    EXPECT_EQ(Window->statusBar()->currentMessage(), QStringLiteral("\"absent\" was not found."));
}

// The pop-up's editing items act on the text; Ctrl+Return is Update Document.
TEST_F(TSourceEditorTest, PopupEditsAndCtrlReturnUpdates)
{
    StartWith(KLibraryXml);
    SelectItem(Item({1}));
    Book()->setCurrentWidget(Find<QWidget>("sourceTab"));
    TSourceEditor* source = Source();
    const QString shown = source->Text();
    Trigger("SelectAllSource1");
    source->replaceSelectedText(QStringLiteral("<remark/>"));
    Trigger("UndoSource1");
    EXPECT_EQ(source->Text(), shown);
    Trigger("RedoSource1");
    source->setFocus();
    QTest::keyClick(source, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year)) remark)");
}

// Nothing selected, or only blanks for an element: the command stops with its
// error and changes nothing.
TEST_F(TUpdateDocumentTest, PreconditionsChangeNothing)
{
    StartWith(KLibraryXml);
    const std::string before = Signature(Window->WorkDoc.get());
    Update(QStringLiteral("<x/>"));
    SelectItem(Item({0, 1}));
    Update(QStringLiteral(" \r\n\t "));
    EXPECT_EQ(Asked(), (std::vector<std::string>{"ErrorBox: There is no node selected.",
                                                 "ErrorBox: Fragment is an empty string"}));
    EXPECT_EQ(Signature(Window->WorkDoc.get()), before);
    EXPECT_EQ(SelectedLabel(), "book");
}

// The top item: the document is reloaded from the text unchanged, under the same
// file name; the views are emptied and the top item shows the new document.
TEST_F(TUpdateDocumentTest, TopItemReloadsTheDocument)
{
    StartWith(KLibraryXml, QStringLiteral("books.xml"));
    SelectItem(Item({0}));
    Trigger("ListSubnodes1");
    SelectItem(Item({}));
    Update(QStringLiteral("<?xml version='1.0'?>\r\n<other a='1'><x>t</x></other>"));
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(Signature(Window->WorkDoc.get()), "other[a=1](x\"t\")");
    EXPECT_EQ(TreeSignature(), "other(x)");
    EXPECT_EQ(SelectedLabel(), "other");
    EXPECT_EQ(SourceText(), Lf(Window->WorkDoc->GetXMLText()));
    EXPECT_EQ(Caption(), "books.xml* - Brindle 4");
    EXPECT_EQ(Window->CurrentFile, PathOf("books.xml"));
    EXPECT_EQ(Selection()->model()->rowCount(), 0);
    EXPECT_EQ(ReadFile(PathOf("books.xml")), KLibraryXml);
}

// A syntax error in the whole document is not passed over: the tree shows what
// was parsed, the error is shown, and the typed text stays in the source view
// so that it is not lost. The file name and the file stay.
TEST_F(TUpdateDocumentTest, TopItemSyntaxErrorIsShown)
{
    StartWith(KLibraryXml, QStringLiteral("books.xml"));
    SelectItem(Item({}));
    const QString typed = QStringLiteral("<library><shelf><book id=\"b1></shelf></library>");
    Update(typed);
    ExpectErrorShown(typed);
    EXPECT_EQ(TreeSignature(), "library(shelf(book))");
    EXPECT_EQ(Caption(), "books.xml* - Brindle 4");
    EXPECT_EQ(ReadFile(PathOf("books.xml")), KLibraryXml);
}

// Editing the declaration to name another encoding stores the text in that
// encoding: what was typed is what is shown.
TEST_F(TUpdateDocumentTest, TopItemFollowsTheDeclaredEncoding)
{
    StartWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xe9</a>");
    SelectItem(Item({}));
    QString text = QString::fromStdString(SourceText());
    ASSERT_TRUE(text.contains(QStringLiteral("caf\u00e9")));
    text.replace(QStringLiteral("ISO-8859-1"), QStringLiteral("UTF-8"));
    Update(text);
    EXPECT_EQ(Window->WorkDoc->Text, "caf\xc3\xa9");
    EXPECT_EQ(Window->Codec().Name(), "UTF-8");
    EXPECT_TRUE(Source()->Text().contains(QStringLiteral("caf\u00e9")));
}

// An element: its content is parsed from the text without surrounding blanks,
// the items below it are rebuilt, its label follows its new name, it stays
// selected and shows as written; the lists and editor, whose rows referred to
// the destroyed children, are emptied.
TEST_F(TUpdateDocumentTest, ElementIsReplacedFromTheFragment)
{
    StartWith(KLibraryXml);
    SelectItem(Item({0, 1}));
    Trigger("ListSubnodes1");
    ASSERT_EQ(Selection()->model()->rowCount(), 2);
    Update(QStringLiteral("\r\n  <volume id='v'><part/><part>p</part></volume>\t\r\n"));
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(Signature(Window->WorkDoc.get()),
              "library(shelf[id=s1](book[id=b1 lang=en](title\"Alpha\") volume[id=v](part part\"p\")) note\"hello\")");
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) volume(part part)) note)");
    EXPECT_EQ(SelectedLabel(), "volume");
    EXPECT_EQ(SourceText(), ShownXml(ElementOf(Item({0, 1}))));
    EXPECT_EQ(Selection()->model()->rowCount(), 0);
    EXPECT_EQ(Attributes()->model()->rowCount(), 0);
    EXPECT_TRUE(Editor()->toPlainText().isEmpty());
}

// A fragment with a syntax error: the error is shown, the items below the
// element show what it holds after the failed parse, and the typed text stays.
TEST_F(TUpdateDocumentTest, ElementSyntaxErrorIsShown)
{
    StartWith(KLibraryXml);
    SelectItem(Item({0, 0}));
    Trigger("ListSubnodes1");
    const QString typed = QStringLiteral("<book id='b1'><title>New</title><year x=\"1></year></book>");
    Update(typed);
    ExpectErrorShown(typed);
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title year) book(title year)) note)");
    EXPECT_EQ(Signature(ElementOf(Item({0, 0}))), "book[id=b1 lang=en](title\"New\" year)");
    EXPECT_EQ(Selection()->model()->rowCount(), 0);
}

// A box shows a message's first line; a longer message goes whole under
// "Show Details...".
TEST(TBoxPartsTest, LongMessagesShowTheirFirstLine)
{
    struct TCase {
        QString Text, Summary, Details;
    };
    const QString longLine(201, QLatin1Char('x'));
    const QString hugeLine(100001, QLatin1Char('y'));
    const TCase cases[] = {
        {QStringLiteral("short"), QStringLiteral("short"), QString()},
        {QStringLiteral("one\ntwo"), QStringLiteral("one"), QStringLiteral("one\ntwo")},
        {longLine, longLine.left(200) + QStringLiteral("..."), longLine},
        {hugeLine, hugeLine.left(200) + QStringLiteral("..."), hugeLine.left(100000) + QStringLiteral("...")},
    };
    for (const TCase& c : cases) {
        const TBoxParts parts = BoxParts(c.Text);
        EXPECT_EQ(parts.Summary, c.Summary) << c.Text.left(20).toStdString();
        EXPECT_EQ(parts.Details, c.Details) << c.Text.left(20).toStdString();
    }
}

}  // namespace
