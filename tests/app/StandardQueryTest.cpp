// XPath 1.0 in the query box and XSLT 1.0 transformations.

#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>
#include <QTest>

#include "WindowFixture.h"

namespace {

using TRows = std::vector<std::string>;

class TXPathQueryTest : public TWindowTest {
protected:
    QComboBox* Language() const { return Find<QComboBox>("QueryLanguageBox"); }
    void ChooseXPath() const
    {
        Language()->setCurrentIndex(1);
        emit Language()->activated(1);
    }
    void RunQuery(const QString& text)
    {
        Query()->setPlainText(text);
        QTest::keyClick(Window.get(), Qt::Key_F9);
    }
    TRows ListRows() const { return Rows(*Selection()->model()); }
};

// The choice is kept for the next start; F9 runs the chosen language.
TEST_F(TXPathQueryTest, LanguageChoiceIsKept)
{
    StartWith(KLibraryXml);
    EXPECT_EQ(Window->QueryLanguage(), TQueryLanguage::Brindle);
    ChooseXPath();
    Window.reset();
    StartWith(KLibraryXml);
    EXPECT_EQ(Language()->currentText(), QStringLiteral("XPath 1.0"));
    RunQuery(QStringLiteral("//book[@lang = 'en']/title | //note"));
    EXPECT_EQ(ListRows(), (TRows{"title|Alpha", "note|hello"}));
}

// Elements in document order; an attribute or text selects its element; the
// context is the selected item, the document when none is selected.
TEST_F(TXPathQueryTest, ResultsFillTheSelectionList)
{
    StartWith(KLibraryXml);
    ChooseXPath();
    RunQuery(QStringLiteral("//@id | //title/text()"));
    EXPECT_EQ(ListRows(), (TRows{"shelf|", "book|", "title|Alpha", "book|", "title|Beta"}));
    EXPECT_EQ(Window->statusBar()->currentMessage(), QStringLiteral("5 elements selected"));
    RunQuery(QStringLiteral("library"));
    EXPECT_EQ(ListRows(), (TRows{"library|"}));
    SelectItem(Item({0, 1}));
    RunQuery(QStringLiteral("*"));
    EXPECT_EQ(ListRows(), (TRows{"title|Beta", "year|2001"}));
    // Select finds a row's element in the tree.
    SelectRow(Selection(), 1);
    Trigger("Select1");
    EXPECT_EQ(SelectedLabel(), "year");
    EXPECT_TRUE(Asked().empty());
}

// A value is shown in the status bar and a box; an error names the position
// and keeps the list.
TEST_F(TXPathQueryTest, ValuesAndErrors)
{
    StartWith(KLibraryXml);
    ChooseXPath();
    RunQuery(QStringLiteral("count(//book) * 1.5"));
    EXPECT_EQ(Window->statusBar()->currentMessage(), QStringLiteral("Double: 3"));
    EXPECT_EQ(Asked(), TRows{"Message: Double: 3"});
    RunQuery(QStringLiteral("//book"));
    RunQuery(QStringLiteral("//book["));
    EXPECT_EQ(Asked(), TRows{"ErrorBox: XPath 1.0: Unrecognized node test at position 8 of the expression"});
    EXPECT_EQ(ListRows(), (TRows{"book|", "book|"}));
}

// A query after an edit, and after its undo, sees the document as it is.
TEST_F(TXPathQueryTest, EditedDocumentIsQueriedAsItIs)
{
    StartWith(KLibraryXml);
    ChooseXPath();
    RunQuery(QStringLiteral("//note[. = 'bye']"));
    EXPECT_TRUE(ListRows().empty());
    ListItem(Item({1}));
    Editor()->setPlainText(QStringLiteral("bye"));
    SelectItem(QModelIndex());
    Tree()->clearSelection();
    RunQuery(QStringLiteral("//note[. = 'bye']"));
    EXPECT_EQ(ListRows(), (TRows{"note|bye"}));
    Trigger("Undo1");
    ASSERT_FALSE(Window->Modified());
    RunQuery(QStringLiteral("//note[. = 'bye']"));
    EXPECT_TRUE(ListRows().empty());
}

// A sample marked as XPath sets the language; the others set it back.
TEST_F(TXPathQueryTest, SamplesCarryTheirLanguage)
{
    WriteFile(QStringLiteral("samples.txt"), "[Own]\nname = 'note'\n[Standard]\n{xpath}\n//title\n");
    StartWith(KLibraryXml);
    const QList<QAction*> samples = Find<QMenu>("Samples1")->actions();
    ASSERT_EQ(samples.size(), 2);
    samples[1]->trigger();
    EXPECT_EQ(Query()->toPlainText(), QStringLiteral("//title"));
    EXPECT_EQ(Window->QueryLanguage(), TQueryLanguage::XPath);
    samples[0]->trigger();
    EXPECT_EQ(Window->QueryLanguage(), TQueryLanguage::Brindle);
    Trigger("RunQuery1");
    EXPECT_EQ(ListRows(), (TRows{"note|hello"}));
}

const char* const KXsltSheet =
    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>\n"
    "<xsl:output method='html'/>\n"
    "<xsl:template match='/|*'><p><xsl:value-of select='count(//book)'/> &lt;<xsl:value-of select='name()'/>&gt;</p>"
    "<xsl:message>seen</xsl:message></xsl:template>\n"
    "</xsl:stylesheet>\n";

// "Transform with XSLT 1.0..." transforms the document or the selected
// element's subtree into the output file, shows the messages and opens it.
TEST_F(TXPathQueryTest, XsltTransformation)
{
    StartWith(KLibraryXml);
    const QString sheet = WriteFile(QStringLiteral("page.xsl"), KXsltSheet);
    const std::string output = Window->TransformOutputFile().toStdString();
    Prompts->AnswerOpen(sheet);
    Trigger("TransformXslt1");
    EXPECT_EQ(ReadFile(Window->TransformOutputFile()), "<p>2 &lt;&gt;</p>\n");
    EXPECT_EQ(Asked(), (TRows{"OpenDialog: Select XSLT 1.0 stylesheet for transformation|" + Dir.path().toStdString() +
                                  "|XSLT Files (*.xsl;*.xslt)|*.xsl;*.xslt",
                              "Message: seen", "ShellOpen: " + output}));
    EXPECT_TRUE(Window->statusBar()->currentMessage().startsWith(QStringLiteral("Transformed into ")));

    SelectItem(Item({0, 0}));
    Prompts->AnswerOpen(sheet);
    Trigger("TransformXslt1");
    EXPECT_EQ(ReadFile(Window->TransformOutputFile()), "<p>1 &lt;&gt;</p>\n");
    Asked();

    // Transform To asks which processor runs the stylesheet.
    Prompts->AnswerSave(PathOf(QStringLiteral("out")));
    Prompts->AnswerYesNoCancel(TChoice::Yes);
    Prompts->AnswerOpen(WriteFile(QStringLiteral("bad.xsl"), "<xsl:stylesheet version='1.0' "
                                                             "xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>\n"
                                                             "<xsl:template match='/'><xsl:value-of/></xsl:template></xsl:stylesheet>"));
    Trigger("TransformTo1");
    const TRows asked = Asked();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[3].rfind("ErrorBox: The stylesheet ", 0), 0u) << asked[3];
    EXPECT_NE(asked[3].find("line 2"), std::string::npos) << asked[3];
    EXPECT_FALSE(QFileInfo::exists(PathOf(QStringLiteral("out.html"))));
}

}  // namespace
