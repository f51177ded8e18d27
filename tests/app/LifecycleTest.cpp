// Start-up, the window's layout, the file commands with their save prompt,
// program end and what selecting a tree item shows.

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "WindowFixture.h"

namespace {

const std::string KSavePrompt = "AskYesNoCancel: Do you want to save the current document?";
const QString KXmlFilter = QStringLiteral("XML Files (*.xml;*.xsl)|*.xml;*.xsl");

std::string DialogLine(const char* kind, const QString& title, const QString& folder, const QString& filter)
{
    return std::string(kind) + ": " + (title + '|' + folder + '|' + filter).toStdString();
}

using TLayoutTest = TWindowTest;
using TStartTest = TWindowTest;
using TFileCommandTest = TWindowTest;
using TProgramEndTest = TWindowTest;
using TTreeChangeTest = TWindowTest;

// Every control carries its designed name and is of the kind it was designed as.
TEST_F(TLayoutTest, ControlsCarryTheirNames)
{
    Start();
    const std::pair<const char*, const char*> controls[] = {
        {"GroupBox1", "QGroupBox"},   {"edfilter", "QPlainTextEdit"}, {"Splitter4", "QSplitter"},
        {"tree", "QTreeView"},        {"Splitter1", "QSplitter"},     {"book", "QTabWidget"},
        {"viewtab", "QWidget"},       {"sourceTab", "QWidget"},       {"dbtab", "QWidget"},
        {"StatusBar1", "QStatusBar"}, {"Panel1", "QWidget"},          {"selection", "QTableView"},
        {"Splitter3", "QSplitter"},   {"editor", "QPlainTextEdit"},   {"Splitter2", "QSplitter"},
        {"view", "QTableView"},       {"InEdit", "QLineEdit"},        {"sourceeditor", "QsciScintilla"},
        {"MainMenu1", "QMenuBar"},    {"treepop", "QMenu"},           {"viewpop", "QMenu"},
        {"selpop", "QMenu"},
    };
    for (const auto& [name, kind] : controls) {
        QObject* control = Window->findChild<QObject*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_TRUE(control->inherits(kind)) << name << " is a " << control->metaObject()->className();
    }
    EXPECT_EQ(Window->objectName(), QStringLiteral("BrindleF"));
    EXPECT_EQ(Find<QGroupBox>("GroupBox1")->title(), QStringLiteral("Query / Message"));
    auto* book = Find<QTabWidget>("book");
    ASSERT_EQ(book->count(), 3);
    EXPECT_EQ(book->tabText(0), QStringLiteral("Editor"));
    EXPECT_EQ(book->tabText(1), QStringLiteral("Source"));
    EXPECT_EQ(book->tabText(2), QStringLiteral("Database"));
    EXPECT_EQ(book->widget(0)->objectName(), QStringLiteral("viewtab"));
    EXPECT_EQ(Selection()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("tag"));
    EXPECT_EQ(Selection()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("text"));
    EXPECT_EQ(Attributes()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("attribute"));
    EXPECT_EQ(Attributes()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));

    // Sizes are designed at 120 pixels per inch.
    const double scale = Window->screen()->logicalDotsPerInchY() / 120.0;
    EXPECT_FALSE(Find<QLineEdit>("InEdit")->isVisible());
    EXPECT_EQ(Find<QSplitter>("Splitter1")->sizes().front(), qRound(216 * scale));
}

// Without a remembered size the window takes two thirds of the screen's width
// and three quarters of its height, never less than the designed size scaled
// (unless the screen is smaller); height gained is shared by both lists and the
// node's text.
TEST_F(TLayoutTest, FirstWindowTakesAShareOfTheScreen)
{
    EXPECT_EQ(TBrindleF::FirstWindowSize({1920, 1080}, {708, 524}), QSize(1280, 810));
    EXPECT_EQ(TBrindleF::FirstWindowSize({960, 600}, {885, 655}), QSize(885, 600));
    Start();
    const QRect screen = Window->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(Window->geometry()));
    EXPECT_GE(Window->width(), screen.width() * 2 / 3);
    EXPECT_GE(Window->height(), screen.height() * 3 / 4);

    const QList<QWidget*> panes{Selection(), Editor(), Attributes()};
    QList<int> before;
    for (const QWidget* pane : panes) before << pane->height();
    Window->resize(Window->width(), Window->height() + 300);
    QCoreApplication::processEvents();
    for (int i = 0; i < panes.size(); ++i) EXPECT_GT(panes[i]->height(), before[i] + 50) << i;
}

// The window's size and splitter positions of one run come back in the next.
TEST_F(TLayoutTest, LayoutIsRememberedBetweenRuns)
{
    Start();
    Window->resize(900, 640);
    Find<QSplitter>("Splitter1")->setSizes({300, 600});
    const QList<int> sizes = Find<QSplitter>("Splitter1")->sizes();
    EXPECT_TRUE(Window->close());
    TearDown();
    Start();
    EXPECT_EQ(Window->size(), QSize(900, 640));
    EXPECT_EQ(Find<QSplitter>("Splitter1")->sizes(), sizes);
}

// The menus hold exactly the designed captions, accelerators and shortcuts.
TEST_F(TLayoutTest, MenusHoldTheirItems)
{
    Start();
    QStringList menus;
    for (QAction* action : Find<QMenuBar>("MainMenu1")->actions()) menus << action->menu()->objectName() + '=' + action->text();
    EXPECT_EQ(menus, QStringList({"File1=&File", "Edit1=&Edit", "View1=&View", "Samples1=&Samples", "Options1=&Options",
                                  "Tools1=&Tools", "Help1=&Help"}));

    auto items = [this](const char* menu) {
        QStringList list;
        for (QAction* action : Find<QMenu>(menu)->actions()) {
            QString item = action->objectName();
            if (!action->isSeparator()) item += '=' + action->text();
            if (!action->shortcut().isEmpty()) item += '=' + action->shortcut().toString();
            list << item;
        }
        return list;
    };
    EXPECT_EQ(items("File1"), QStringList({"New1=&New...", "Open1=&Open...=Ctrl+O", "Save1=&Save=Ctrl+S",
                                           "SaveAs1=Save &As...", "Close1=&Close", "N1",
                                           "TransformUsing1=Transform &Using...", "TransformXslt1=Transform with XSLT &1.0...",
                                           "TransformTo1=Transform &To..."}));
    EXPECT_EQ(items("Edit1"), QStringList({"Undo1=&Undo=Ctrl+Z", "Redo1=&Redo=Ctrl+Shift+Z"}));
    EXPECT_EQ(Find<QAction>("Redo1")->shortcuts().value(1), QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(items("View1"), QStringList({"ListNode1=List Node=F2", "ListSubnodes1=List Subnodes=F3"}));
    EXPECT_EQ(items("Samples1"), QStringList());
    EXPECT_EQ(items("Options1"), QStringList({"ShowMessages1=Show &Messages", "HintField1=&Hint Field...", "N6",
                                              "ReadingAutomatic1=&Automatic", "ReadingClassic1=&Classic",
                                              "ReadingStandard1=Standard &XML"}));
    EXPECT_EQ(items("Tools1"), QStringList({"RunQuery1=&Run Query=F9", "RunNode1=Run &XEL=Ctrl+F9", "N4",
                                            "LoadSamples1=&Load Samples"}));
    EXPECT_EQ(items("Help1"), QStringList({"Contents1=&Contents=F1", "About1=&About"}));
    EXPECT_EQ(items("treepop"), QStringList({"AddChild1=&Add Child=Ins", "Duplicate1=D&uplicate", "Delete1=&Delete=Del",
                                             "N2", "Rename1=&Rename", "RenameInPlace1=Rename in &Place=Ctrl+R", "N5",
                                             "ExpandAll1=Expand All", "CollapseAll1=&Collapse All"}));
    EXPECT_EQ(items("sourcepop"),
              QStringList({"LoadasDocument1=&Update Document=Ctrl+Return", "N7", "UndoSource1=Und&o=Ctrl+Z",
                           "RedoSource1=&Redo=Ctrl+Shift+Z", "N8", "CutSource1=Cu&t=Ctrl+X", "CopySource1=&Copy=Ctrl+C",
                           "PasteSource1=&Paste=Ctrl+V", "N9", "SelectAllSource1=Select &All=Ctrl+A", "N10",
                           "FindSource1=&Find...=Ctrl+F", "FindNextSource1=Find &Next=Ctrl+G",
                           "FindPreviousSource1=Find Pre&vious=Ctrl+Shift+G"}));
    EXPECT_EQ(items("viewpop"),
              QStringList({"Addattribute1=&Add attribute", "Deleteattribute1=&Delete attribute", "N3", "Listby1=List by"}));
    EXPECT_EQ(items("selpop"), QStringList({"Listbytag1=List by tag", "Select1=Select"}));
    auto* showMessages = Find<QAction>("ShowMessages1");
    EXPECT_TRUE(showMessages->isCheckable());
    EXPECT_FALSE(showMessages->isChecked());
}

// Without an argument the window starts empty on the "Editor" page.
TEST_F(TStartTest, WithoutArgumentStartsEmpty)
{
    Start();
    EXPECT_EQ(Caption(), "Brindle 4");
    EXPECT_EQ(Window->AppTitle, QStringLiteral("Brindle 4"));
    EXPECT_EQ(Window->AppDir, Dir.path());
    EXPECT_TRUE(Window->CurrentFile.isEmpty());
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    EXPECT_EQ(Find<QTabWidget>("book")->currentWidget()->objectName(), QStringLiteral("viewtab"));
    EXPECT_TRUE(Find<QStatusBar>("StatusBar1")->currentMessage().isEmpty());
    EXPECT_EQ(Window->InitialDir(), Dir.path());
    EXPECT_TRUE(Asked().empty());
}

// The first argument is opened when it names a file: the tree shows the document
// collapsed, and the caption names the file.
TEST_F(TStartTest, WithFileArgumentOpensIt)
{
    StartWith(KLibraryXml, QStringLiteral("books.xml"));
    EXPECT_EQ(Caption(), "books.xml - Brindle 4");
    EXPECT_EQ(Window->CurrentFile, PathOf("books.xml"));
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year)) note)");
    EXPECT_FALSE(Tree()->isExpanded(Item({})));
    EXPECT_EQ(Window->InitialDir(), Dir.path());
    EXPECT_TRUE(Asked().empty());
}

// An argument naming no file becomes the file name all the same: nothing is
// loaded, and Save writes there.
TEST_F(TStartTest, WithMissingFileKeepsTheName)
{
    const QString missing = PathOf("later.xml");
    Start({missing});
    EXPECT_EQ(Window->CurrentFile, missing);
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    EXPECT_EQ(Caption(), "Brindle 4");
    Trigger("Save1");
    EXPECT_TRUE(QFileInfo(missing).isFile());
}

// A document with a syntax error shows what was parsed and says what went wrong.
TEST_F(TStartTest, SyntaxErrorIsShownWithThePartialTree)
{
    StartWith("<a><b>one</b><c x=\"1></a>");
    EXPECT_EQ(TreeSignature().substr(0, 4), "a(b ");
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], SyntaxMessage(1, 22, "<a><b>one</b><c x=\"1></a>"));
    EXPECT_FALSE(Window->WorkDoc->LastError.empty());
    EXPECT_EQ(Caption(), "doc.xml - Brindle 4");
    // Unchanged, it is never offered for saving.
    EXPECT_TRUE(Window->close());
    EXPECT_TRUE(Asked().empty());
}

// A document read only in part asks before it is saved over its own file,
// saying that the rest is lost; No writes nothing. Save As elsewhere does not ask.
TEST_F(TStartTest, PartialDocumentAsksBeforeOverwritingItsFile)
{
    const char* const text = "<a><b>one</b><!-- note --><c>two</c><d x=\"1></a>";
    StartWith(text);
    Asked();
    ASSERT_TRUE(Window->Incomplete());
    ASSERT_TRUE(Tree()->model()->setData(Item({0}), QStringLiteral("bee")));
    Prompts->AnswerYesNo(false);
    Trigger("Save1");
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("loses the unread part of the file"), std::string::npos) << asked[0];
    EXPECT_EQ(ReadFile(PathOf("doc.xml")), text);
    EXPECT_TRUE(Window->Modified());

    const QString copy = PathOf("copy.xml");
    Prompts->AnswerSave(copy);
    Trigger("SaveAs1");
    EXPECT_EQ(Asked().size(), 1u);
    EXPECT_NE(ReadFile(copy).find("<bee>"), std::string::npos);
    EXPECT_FALSE(Window->Modified());
    EXPECT_EQ(ReadFile(PathOf("doc.xml")), text);
}

// A binary file's message shows its control bytes instead of ending at a NUL.
TEST_F(TStartTest, ControlBytesInTheMessageAreShown)
{
    StartWith(std::string_view("<a b=\0\x01'/>", 10));
    EXPECT_EQ(Asked(), std::vector<std::string>{"Message: Syntax error at line 1, column 11: <a b=\\0\\x01'/>\n\n"
                                                "missing value delimiter when parsing attributes near "
                                                "<a b=\\0\\x01'/>\r\nError position=11\r\n"
                                                "<?xml version='1.0' encoding='ISO-8859-1' ?>\r\n<a/>"});
}

// New gives an element "root" without a file name: Save asks for one, and
// program end asks nothing.
TEST_F(TFileCommandTest, NewGivesAnUnnamedRoot)
{
    Start();
    Trigger("New1");
    EXPECT_EQ(TreeSignature(), "root");
    EXPECT_EQ(Caption(), "Brindle 4");
    EXPECT_EQ(Window->WorkDoc->GetXMLText().substr(0, 5), "<?xml");
    EXPECT_FALSE(Window->Modified());
    Prompts->AnswerSave(std::nullopt);
    Trigger("Save1");
    EXPECT_EQ(Asked(), std::vector<std::string>{DialogLine("SaveDialog", "Save XML document", Dir.path(), KXmlFilter)});
    EXPECT_TRUE(Window->close());
    EXPECT_TRUE(Asked().empty());
}

// A modified document asks on New, Open, Close and program end: Yes writes the
// file, No leaves it alone, Cancel keeps the document and calls off the command.
TEST_F(TFileCommandTest, SavePromptBeforeDiscarding)
{
    const char* commands[] = {"New1", "Open1", "Close1", nullptr};
    for (const char* command : commands) {
        for (const TChoice choice : {TChoice::Yes, TChoice::No, TChoice::Cancel}) {
            SCOPED_TRACE(std::string(command ? command : "program end") + " answer " + std::to_string(int(choice)));
            StartWith(KLibraryXml);
            const QString file = Window->CurrentFile;
            ASSERT_TRUE(Tree()->model()->setData(Item({1}), QStringLiteral("remark")));
            EXPECT_EQ(Caption(), "doc.xml* - Brindle 4");
            Prompts->AnswerYesNoCancel(choice);
            const bool goesOn = choice != TChoice::Cancel;
            if (command && std::string(command) == "Open1" && goesOn) Prompts->AnswerOpen(std::nullopt);
            if (command)
                Trigger(command);
            else
                EXPECT_EQ(Window->close(), goesOn);
            const auto asked = Asked();
            ASSERT_FALSE(asked.empty());
            EXPECT_EQ(asked.front(), KSavePrompt);
            EXPECT_EQ(ReadFile(file).find("<remark>") != std::string::npos, choice == TChoice::Yes);
            EXPECT_EQ(Window->CurrentFile.isEmpty(), goesOn);
            if (!goesOn) {
                EXPECT_EQ(TreeSignature().substr(0, 23), "library(shelf(book(titl");
                EXPECT_EQ(Caption(), "doc.xml* - Brindle 4");
            }
            TearDown();
        }
    }
}

// The save prompt as people see it: a key pressed by accident, Escape and the
// box's close button all answer Cancel; only the buttons answer Yes or No.
TEST(TQtPromptsTest, QuestionBoxAnswersCancelUnlessAButtonIsChosen)
{
    QWidget owner;
    TQtPrompts prompts(&owner, QStringLiteral("Brindle 4"));
    // A box the action leaves open is answered Yes a little later, which fails
    // the test instead of hanging it.
    const auto answerWith = [&owner](std::function<void(QMessageBox&)> act) {
        QTimer::singleShot(0, &owner, [act] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) act(*box);
        });
        QTimer::singleShot(2000, &owner, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Yes)->click();
        });
    };
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        answerWith([key](QMessageBox& box) { QTest::keyClick(&box, key); });
        EXPECT_EQ(prompts.AskYesNoCancel(QStringLiteral("Save?")), TChoice::Cancel) << key;
    }
    answerWith([](QMessageBox& box) { box.close(); });
    EXPECT_EQ(prompts.AskYesNoCancel(QStringLiteral("Save?")), TChoice::Cancel);
    answerWith([](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
    EXPECT_EQ(prompts.AskYesNoCancel(QStringLiteral("Save?")), TChoice::No);
}

// Modified without a file, Yes goes to Save As; cancelling its dialog calls
// off the command too.
TEST_F(TFileCommandTest, SavePromptWithoutAFileOffersSaveAs)
{
    Start();
    Trigger("New1");
    Prompts->AnswerInput(QStringLiteral("item"));
    SelectItem(Item({}));
    Trigger("AddChild1");
    EXPECT_EQ(Caption(), "Untitled* - Brindle 4");
    Prompts->AnswerYesNoCancel(TChoice::Yes);
    Prompts->AnswerSave(std::nullopt);
    Trigger("Close1");
    EXPECT_EQ(Asked().size(), 3u);
    EXPECT_EQ(TreeSignature(), "root(item)");
    const QString named = PathOf("named.xml");
    Prompts->AnswerYesNoCancel(TChoice::Yes);
    Prompts->AnswerSave(named);
    Trigger("Close1");
    Asked();
    EXPECT_NE(ReadFile(named).find("<item"), std::string::npos);
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
}

// Open cancelled leaves an empty window without a file; the dialog starts in
// the executable's folder as the document was closed first.
TEST_F(TFileCommandTest, OpenCancelledLeavesAnEmptyWindow)
{
    StartWith(KLibraryXml, QStringLiteral("sub.xml"));
    Prompts->AnswerOpen(std::nullopt);
    Trigger("Open1");
    EXPECT_EQ(Asked(), (std::vector<std::string>{DialogLine("OpenDialog", "Open XML file", Dir.path(), KXmlFilter)}));
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    EXPECT_EQ(Caption(), "Brindle 4");
    EXPECT_TRUE(Window->CurrentFile.isEmpty());
    // The closed document stays in memory until the next load.
    EXPECT_EQ(Window->WorkDoc->Name, "library");
}

// Open loads the chosen file; one that cannot be read is reported and leaves the
// window as the dialog left it.
TEST_F(TFileCommandTest, OpenLoadsTheChosenFile)
{
    Start();
    const QString other = WriteFile(QStringLiteral("other.xml"), "<other><x/></other>");
    Prompts->AnswerOpen(other);
    Trigger("Open1");
    EXPECT_EQ(TreeSignature(), "other(x)");
    EXPECT_EQ(Caption(), "other.xml - Brindle 4");
    EXPECT_EQ(Asked().size(), 1u);

    Prompts->AnswerOpen(PathOf("gone.xml"));
    Trigger("Open1");
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].rfind("ErrorBox: Cannot open file", 0), 0u) << asked[2];
    EXPECT_TRUE(Window->CurrentFile.isEmpty());
    EXPECT_EQ(Caption(), "Brindle 4");
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    // The window stays usable.
    Trigger("New1");
    EXPECT_EQ(TreeSignature(), "root");
}

// Save writes to the current file; Save As writes under a new name, starting in
// the current file's folder, and the caption follows the new name.
TEST_F(TFileCommandTest, SaveAndSaveAs)
{
    StartWith(KLibraryXml);
    Window->TreeModel().Rename(Item({1}), QStringLiteral("remark"));
    Trigger("Save1");
    EXPECT_TRUE(Asked().empty());
    EXPECT_NE(ReadFile(PathOf("doc.xml")).find("<remark>hello</remark>"), std::string::npos);

    const QString copy = PathOf("copy.xml");
    Prompts->AnswerSave(copy);
    Trigger("SaveAs1");
    EXPECT_EQ(Asked(), std::vector<std::string>{DialogLine("SaveDialog", "Save XML document", Dir.path(), KXmlFilter)});
    EXPECT_EQ(ReadFile(copy), ReadFile(PathOf("doc.xml")));
    EXPECT_EQ(Window->CurrentFile, copy);
    EXPECT_EQ(Caption(), "copy.xml - Brindle 4");

    // A name that cannot be written keeps the old one.
    Prompts->AnswerSave(PathOf("no/such/folder.xml"));
    Trigger("SaveAs1");
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].rfind("ErrorBox: ", 0), 0u);
    EXPECT_EQ(Window->CurrentFile, copy);
}

// Close empties every view and forgets the file, but not the document.
TEST_F(TFileCommandTest, CloseEmptiesTheViews)
{
    StartWith(KLibraryXml);
    SelectItem(Item({0}));
    Trigger("ListSubnodes1");
    ASSERT_FALSE(SourceText().empty());
    Trigger("Close1");
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    EXPECT_EQ(Selection()->model()->rowCount(), 0);
    EXPECT_EQ(Attributes()->model()->rowCount(), 0);
    EXPECT_TRUE(Editor()->toPlainText().isEmpty());
    EXPECT_TRUE(SourceText().empty());
    EXPECT_FALSE(Source()->isUndoAvailable());
    EXPECT_EQ(Caption(), "Brindle 4");
    EXPECT_EQ(Window->WorkDoc->Name, "library");
    // Nothing more to ask at the end.
    EXPECT_TRUE(Window->close());
    EXPECT_TRUE(Asked().empty());
}

// A save that fails at program end is reported and the window stays open.
TEST_F(TProgramEndTest, FailedSaveKeepsTheWindowOpen)
{
    StartWith(KLibraryXml);
    ASSERT_TRUE(Tree()->model()->setData(Item({1}), QStringLiteral("remark")));
    Window->CurrentFile = PathOf("missing-folder/doc.xml");
    Prompts->AnswerYesNoCancel(TChoice::Yes);
    EXPECT_FALSE(Window->close());
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], KSavePrompt);
    EXPECT_EQ(asked[1].rfind("ErrorBox: ", 0), 0u);
    EXPECT_TRUE(Window->isVisible());
    EXPECT_FALSE(Window->CurrentFile.isEmpty());
}

// Selecting the top item shows the whole document with its declaration; any
// other item its own subtree; nothing else changes.
TEST_F(TTreeChangeTest, SourceViewShowsTheSelectedElement)
{
    StartWith(KLibraryXml);
    SelectItem(Item({}));
    EXPECT_EQ(SourceText().substr(0, 19), "<?xml version='1.0'");
    EXPECT_EQ(SourceText(), Lf(Window->WorkDoc->GetXMLText()));
    SelectItem(Item({0, 1}));
    EXPECT_EQ(SourceText(), ShownXml(ElementOf(Item({0, 1}))));
    EXPECT_EQ(SourceText().rfind("<book id='b2'>", 0), 0u);
    EXPECT_EQ(Selection()->model()->rowCount(), 0);
    // An emptied selection keeps the text.
    Tree()->selectionModel()->clearSelection();
    EXPECT_EQ(SourceText().rfind("<book id='b2'>", 0), 0u);
}

}  // namespace
