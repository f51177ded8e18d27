// The recent-files list of the File menu: Open adds to it, picking an item opens
// its file, and the list is kept in the settings file between runs.

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>

#include "WindowFixture.h"
#include "qelBasic/qelMruMenu.h"

namespace {

const std::string KSavePrompt = "AskYesNoCancel: Do you want to save the current document?";

class TRecentFilesTest : public TWindowTest {
protected:
    // Opens the file through File, Open; the save prompt, when one comes, is answered No.
    void OpenThroughDialog(const QString& path)
    {
        if (Window->Modified()) Prompts->AnswerYesNoCancel(TChoice::No);
        Prompts->AnswerOpen(path);
        Trigger("Open1");
    }

    // The recent-files items of the File menu: what follows "Transform To...";
    // a separator shows as "-" followed by whatever text it carries.
    QList<QAction*> RecentActions() const
    {
        const QList<QAction*> actions = Find<QMenu>("File1")->actions();
        return actions.mid(actions.indexOf(Find<QAction>("TransformTo1")) + 1);
    }
    std::vector<std::string> RecentItems() const
    {
        std::vector<std::string> items;
        for (const QAction* action : RecentActions())
            items.push_back((action->isSeparator() ? "-" : "") + action->text().toStdString());
        return items;
    }

    // Picks the item numbered n of the list.
    void Pick(int n)
    {
        const QList<QAction*> actions = RecentActions();
        ASSERT_LT(n, actions.size());
        actions[n]->trigger();
    }

    // Destroys the window as the program ends and starts it again in the same folder.
    void Restart()
    {
        TearDown();
        Start();
    }
};

// Open adds the chosen file; the command line and Save As do not.
TEST_F(TRecentFilesTest, OpenAddsTheFile)
{
    StartWith(KLibraryXml, QStringLiteral("start.xml"));
    EXPECT_TRUE(RecentItems().empty());

    Prompts->AnswerSave(PathOf("copy.xml"));
    Trigger("SaveAs1");
    EXPECT_TRUE(RecentItems().empty());

    const QString a = WriteFile("a.xml", "<a/>");
    const QString b = WriteFile("b.xml", "<b/>");
    OpenThroughDialog(a);
    OpenThroughDialog(b);
    EXPECT_EQ(RecentItems(), (std::vector<std::string>{"-", "&1 b.xml", "&2 a.xml"}));
    // A cancelled dialog adds nothing.
    Prompts->AnswerOpen(std::nullopt);
    Trigger("Open1");
    EXPECT_EQ(RecentItems().size(), 3U);
    Asked();
}

// Picking an item opens its file as Open does: the save prompt first, then the
// document with its name in the caption; the name moves to the top.
TEST_F(TRecentFilesTest, PickOpensTheFile)
{
    Start();
    const QString a = WriteFile("a.xml", KLibraryXml);
    OpenThroughDialog(a);
    OpenThroughDialog(WriteFile("b.xml", "<b><c/></b>"));
    Asked();

    Pick(2);
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(Caption(), "a.xml - Brindle 4");
    EXPECT_EQ(Window->CurrentFile, a);
    EXPECT_EQ(TreeSignature(), "library(shelf(book(title) book(title year)) note)");
    EXPECT_EQ(RecentItems(), (std::vector<std::string>{"-", "&1 a.xml", "&2 b.xml"}));

    // A modified document asks: Cancel stays, Yes saves it before the other one is opened.
    ASSERT_TRUE(Tree()->model()->setData(Item({1}), QStringLiteral("changed")));
    Prompts->AnswerYesNoCancel(TChoice::Cancel);
    Pick(2);
    EXPECT_EQ(Asked(), std::vector<std::string>{KSavePrompt});
    EXPECT_EQ(Caption(), "a.xml* - Brindle 4");
    ASSERT_EQ(RecentItems(), (std::vector<std::string>{"-", "&1 b.xml", "&2 a.xml"}));
    Prompts->AnswerYesNoCancel(TChoice::Yes);
    Pick(1);
    EXPECT_EQ(Caption(), "b.xml - Brindle 4");
    EXPECT_NE(ReadFile(a).find("changed"), std::string::npos);
    Asked();
}

// A picked document with a syntax error shows what was parsed and the error;
// the lists and the editor, which showed the replaced document, are emptied.
TEST_F(TRecentFilesTest, PickedSyntaxErrorIsShown)
{
    Start();
    const QString broken = WriteFile("broken.xml", "<r>\n<a x=1/></r>");
    OpenThroughDialog(broken);
    Asked();
    OpenThroughDialog(WriteFile("good.xml", KLibraryXml));
    SelectItem(Item({0}));
    Query()->setPlainText("*");
    Trigger("RunQuery1");
    ASSERT_GT(Selection()->model()->rowCount(), 0);
    ASSERT_GT(Attributes()->model()->rowCount(), 0);
    Asked();

    Pick(2);
    const std::vector<std::string> asked = Asked();
    ASSERT_EQ(asked.size(), 1U);
    EXPECT_FALSE(Window->WorkDoc->LastError.empty());
    EXPECT_EQ(asked[0], SyntaxMessage(2, 9, "<a x=1/></r>"));
    EXPECT_EQ(TreeSignature(), "r(a)");
    EXPECT_EQ(Caption(), "broken.xml - Brindle 4");
    EXPECT_EQ(Selection()->model()->rowCount(), 0);
    EXPECT_EQ(Attributes()->model()->rowCount(), 0);
    EXPECT_TRUE(Editor()->toPlainText().isEmpty());
}

// A file deleted during the run opens nothing and asks nothing when picked,
// but its name moves to the top; a name in other letter case is one entry.
TEST_F(TRecentFilesTest, VanishedFileOpensNothing)
{
    Start();
    const QString a = WriteFile("a.xml", "<a/>");
    OpenThroughDialog(a);
    OpenThroughDialog(WriteFile("b.xml", "<b/>"));
    Asked();
    ASSERT_TRUE(QFile::remove(a));
    Pick(2);
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(Caption(), "b.xml - Brindle 4");
    EXPECT_EQ(TreeSignature(), "b");
    EXPECT_EQ(RecentItems(), (std::vector<std::string>{"-", "&1 a.xml", "&2 b.xml"}));

    Window->findChild<TqelMruMenu*>(QStringLiteral("qelMruMenu1"))->AddFile(PathOf("B.XML"));
    EXPECT_EQ(RecentItems(), (std::vector<std::string>{"-", "&1 B.XML", "&2 a.xml"}));
}

// The list is written to the settings file at the end and read at the next
// start, without the files that are gone by then; the settings section stays.
TEST_F(TRecentFilesTest, ListSurvivesTheRun)
{
    WriteFile("brindle.ini", "[settings]\ndateseparator=-\n");
    Start();
    const QString a = WriteFile("a.xml", "<a/>");
    const QString b = WriteFile("b.xml", "<b/>");
    const QString c = WriteFile("c.xml", "<c/>");
    for (const QString& file : {a, b, c}) OpenThroughDialog(file);
    Restart();
    EXPECT_EQ(RecentItems(), (std::vector<std::string>{"-", "&1 c.xml", "&2 b.xml", "&3 a.xml"}));

    QSettings ini(PathOf("brindle.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("MRU_Files_BrindleF/Count").toString(), QStringLiteral("3"));
    EXPECT_EQ(ini.value("MRU_Files_BrindleF/File_0").toString(), c);
    EXPECT_EQ(ini.value("settings/dateseparator").toString(), QStringLiteral("-"));

    ASSERT_TRUE(QFile::remove(b));
    Restart();
    EXPECT_EQ(RecentItems(), (std::vector<std::string>{"-", "&1 c.xml", "&2 a.xml"}));
    Asked();
}

}  // namespace
