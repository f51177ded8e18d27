// Transformations into HTML files that the desktop opens, their timing in the
// query box, and XEL runs with the messages their programs show.

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStatusBar>

#include "WindowFixture.h"

namespace {

// Writes the name of the transformed element, then the id of every book below it.
const char* const KNamesSheet =
    "<xsl:stylesheet><xsl:template match=\".\"><xsl:value-of select=\"name\"/>"
    "<xsl:for-each select=\"name='book'\"><xsl:value-of select=\"' ' + @id\"/></xsl:for-each>"
    "</xsl:template></xsl:stylesheet>";

const QString KSheetFilter = QStringLiteral("XSL Files (*.xsl)|*.xsl");

class TTransformTest : public TWindowTest {
protected:
    QString Sheet() const { return WriteFile(QStringLiteral("names.xsl"), KNamesSheet); }
    std::string SheetDialog(const QString& folder) const
    {
        return "OpenDialog: Select XSLT stylesheet for transformation|" + folder.toStdString() + '|' +
               KSheetFilter.toStdString();
    }
    // "Transform Using..." with the stylesheet chosen; returns the output file.
    QString TransformUsing()
    {
        Prompts->AnswerOpen(Sheet());
        Trigger("TransformUsing1");
        return Window->TransformOutputFile();
    }
};

// "Transform Using..." needs a document file and writes "xtransform.html" in the
// executable's folder; only the selected element's subtree is transformed, the
// whole document when nothing is selected.
TEST_F(TTransformTest, UsingTransformsTheSelectedElement)
{
    Start();
    Trigger("New1");
    Trigger("TransformUsing1");
    EXPECT_TRUE(Asked().empty());
    EXPECT_FALSE(QFileInfo::exists(Window->TransformOutputFile()));
    TearDown();

    StartWith(KLibraryXml);
    const QString output = TransformUsing();
    EXPECT_EQ(output, Dir.path() + QDir::separator() + QStringLiteral("xtransform.html"));
    EXPECT_EQ(Asked(), (std::vector<std::string>{SheetDialog(Dir.path()), "ShellOpen: " + output.toStdString()}));
    EXPECT_EQ(ReadFile(output), "library b1\r\n b2\r\n");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Transformed into .+ in \\d+ ms$"))
                    .match(Window->statusBar()->currentMessage())
                    .hasMatch());

    SelectItem(Item({0, 1}));
    TransformUsing();
    EXPECT_EQ(Asked().size(), 2u);
    EXPECT_EQ(ReadFile(output), "book b2\r\n");
    // Cancelling the dialog transforms nothing.
    Prompts->AnswerOpen(std::nullopt);
    Trigger("TransformUsing1");
    EXPECT_EQ(Asked().size(), 1u);
}

// "Transform To..." needs no document file; the chosen name's extension becomes
// ".html" (a dot in a folder's name starts none).
TEST_F(TTransformTest, ToReplacesTheExtension)
{
    Start();
    Trigger("New1");
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("v1.2")));
    const std::pair<const char*, const char*> names[] = {
        {"report.htm", "report.html"}, {"report", "report.html"}, {"a.b.txt", "a.b.html"}, {"v1.2/page", "v1.2/page.html"}};
    for (const auto& [chosen, written] : names) {
        SCOPED_TRACE(chosen);
        Prompts->AnswerSave(PathOf(QString::fromLatin1(chosen)));
        Prompts->AnswerYesNoCancel(TChoice::No);
        Prompts->AnswerOpen(Sheet());
        Trigger("TransformTo1");
        const auto asked = Asked();
        ASSERT_EQ(asked.size(), 4u);
        EXPECT_EQ(asked[0], "SaveDialog: Save Transformation To|" + Dir.path().toStdString() + "|HTML files (*.html)|*.html");
        EXPECT_EQ(asked[1].rfind("AskYesNoCancel: Run the stylesheet as XSLT 1.0?", 0), 0u);
        EXPECT_EQ(asked[2], SheetDialog(Dir.path()));
        EXPECT_EQ(asked[3], "ShellOpen: " + PathOf(QString::fromLatin1(written)).toStdString());
        EXPECT_EQ(ReadFile(PathOf(QString::fromLatin1(written))), "root");
    }
    // Cancelling the first dialog asks nothing more.
    Prompts->AnswerSave(std::nullopt);
    Trigger("TransformTo1");
    EXPECT_EQ(Asked().size(), 1u);
}

// With "Show Messages" checked the query box holds exactly the time taken; the
// check item toggles, and a failed transformation neither opens nor times anything.
TEST_F(TTransformTest, ShowMessagesReportsTheTime)
{
    StartWith(KLibraryXml);
    auto* showMessages = Find<QAction>("ShowMessages1");
    Query()->setPlainText(QStringLiteral("name='book'"));
    TransformUsing();
    EXPECT_EQ(Query()->toPlainText(), QStringLiteral("name='book'"));

    Trigger("ShowMessages1");
    EXPECT_TRUE(showMessages->isChecked());
    TransformUsing();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Performed XSLT transformation in \\d+ millisecond$"))
                    .match(Query()->toPlainText())
                    .hasMatch())
        << Query()->toPlainText().toStdString();
    Asked();

    Query()->setPlainText(QStringLiteral("kept"));
    Prompts->AnswerSave(PathOf("no/folder/out.html"));
    Prompts->AnswerYesNoCancel(TChoice::No);
    Prompts->AnswerOpen(Sheet());
    Trigger("TransformTo1");
    Prompts->AnswerOpen(PathOf("missing.xsl"));
    Trigger("TransformUsing1");
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[3].rfind("ErrorBox: ", 0), 0u) << asked[3];
    EXPECT_EQ(asked[5].rfind("ErrorBox: ", 0), 0u) << asked[5];
    EXPECT_EQ(Query()->toPlainText(), QStringLiteral("kept"));

    Trigger("ShowMessages1");
    EXPECT_FALSE(showMessages->isChecked());
}

// A program that sets a variable and shows messages: "show:" followed by a
// visible variable's name shows the name and its text, any other name just the
// name (not trimmed), any other text unchanged (the prefix's case counts).
const char* const KProgramXml =
    "<doc>"
    "<xel:program><xel:var id=\"n\">0</xel:var><xel:do act=\"assign('n', 'caf\xc3\xa9')\"/>"
    "<xel:custom act=\"show:n\"/><xel:custom act=\"show:nobody\"/><xel:custom act=\"show: n\"/>"
    "<xel:custom act=\"Show:n\"/></xel:program>"
    "<bad><xel:custom act=\"before\"/><xel:if/></bad>"
    "</doc>";

using TXelRunTest = TWindowTest;

// Run XEL needs a selected item; the run's messages come one box each; the
// views are rebuilt afterwards: a new, collapsed tree without selection, empty
// lists and editor, and the source view as it was.
TEST_F(TXelRunTest, RunShowsMessagesAndRebuildsTheViews)
{
    StartWith(KProgramXml);
    Trigger("RunNode1");
    EXPECT_EQ(Asked(), std::vector<std::string>{"ErrorBox: You did not select a node."});

    SelectItem(Item({}));
    Trigger("ListSubnodes1");
    Tree()->expand(Item({}));
    SelectItem(Item({0}));
    const std::string source = SourceText();
    Trigger("RunNode1");
    EXPECT_EQ(Asked(), (std::vector<std::string>{"Message: n: caf\xc3\xa9", "Message: nobody", "Message:  n",
                                                 "Message: Show:n"}));
    EXPECT_EQ(Window->WorkDoc->FindById("n", true)->Text, "caf\xc3\xa9");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^XEL program run in \\d+ ms$"))
                    .match(Window->statusBar()->currentMessage())
                    .hasMatch());
    EXPECT_EQ(TreeSignature(), "doc(xel:program(xel:var xel:do xel:custom xel:custom xel:custom xel:custom) bad(xel:custom xel:if))");
    EXPECT_EQ(SelectedLabel(), "");
    EXPECT_FALSE(Tree()->isExpanded(Item({})));
    EXPECT_EQ(Selection()->model()->rowCount(), 0);
    EXPECT_TRUE(Editor()->toPlainText().isEmpty());
    EXPECT_EQ(SourceText(), source);
}

// A run that fails shows its error after the messages before it, and leaves the
// views as they were.
TEST_F(TXelRunTest, FailedRunKeepsTheViews)
{
    StartWith(KProgramXml);
    SelectItem(Item({}));
    Trigger("ListSubnodes1");
    Tree()->expand(Item({}));
    SelectItem(Item({1}));
    Trigger("RunNode1");
    EXPECT_EQ(Asked(), (std::vector<std::string>{"Message: before", "ErrorBox: Invalid variant type conversion"}));
    EXPECT_EQ(SelectedLabel(), "bad");
    EXPECT_TRUE(Tree()->isExpanded(Item({})));
    EXPECT_EQ(Rows(*Selection()->model()).size(), 2u);
    // The window stays usable.
    SelectItem(Item({0}));
    Trigger("RunNode1");
    EXPECT_EQ(Asked().size(), 4u);
}

}  // namespace
