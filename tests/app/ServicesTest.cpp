// The settings file, the Samples menu, the tree's hints and the Help menu.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QTest>
#include <QScreen>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

#include "TestFolder.h"
#include "WindowFixture.h"
#include "app/HelpWindow.h"
#include "core/FormatSettings.h"
#include "core/qelStrings.h"

namespace {

// Keeps the program-wide date settings of the other tests.
class TSettingsTest : public TWindowTest {
protected:
    TFormatSettings Saved;
    void SetUp() override
    {
        TWindowTest::SetUp();
        Saved = ProgramSettings();
    }
    void TearDown() override
    {
        TWindowTest::TearDown();
        ProgramSettings() = Saved;
    }
};

// The date settings come from the section "settings" of the settings file; a
// missing file, key or value, and a separator that is no plain character, keep
// the defaults.
TEST_F(TSettingsTest, DateSettingsAndDefaults)
{
    const std::pair<std::string, std::pair<char, std::string>> cases[] = {
        {"", {'-', "dd/mm/yyyy"}},
        {"[settings]\ndateseparator=.\nshortdateformat=yyyy/mm/dd\n", {'.', "yyyy/mm/dd"}},
        {"[settings]\ndateseparator=/-\nshortdateformat=d mmm, yyyy\n", {'/', "d mmm, yyyy"}},
        {"[settings]\ndateseparator=\nshortdateformat=\n", {'-', "dd/mm/yyyy"}},
        {"[settings]\ndateseparator=\xC2\xB7\n", {'-', "dd/mm/yyyy"}},
    };
    for (const auto& [ini, expected] : cases) {
        ProgramSettings().DateSeparator = '?';
        ProgramSettings().ShortDateFormat = "?";
        if (ini.empty())
            QFile::remove(PathOf("brindle.ini"));
        else
            WriteFile("brindle.ini", ini);
        Start();
        EXPECT_EQ(ProgramSettings().DateSeparator, expected.first) << ini;
        EXPECT_EQ(ProgramSettings().ShortDateFormat, expected.second) << ini;
        TearDown();
    }
}

// The settings govern the dates that queries compute and compare.
TEST_F(TSettingsTest, QueriesUseTheDateSettings)
{
    WriteFile("brindle.ini", "[settings]\ndateseparator=.\nshortdateformat=yyyy/mm/dd\n");
    StartWith("<r><a/></r>");
    Query()->setPlainText("easter(2001) = '2001.04.15' and dateadd('m', 1, '2001.01.31') = '2001.02.28'");
    Trigger("RunQuery1");
    EXPECT_EQ(Rows(*Selection()->model()), (std::vector<std::string>{"r|", "a|"}));
    EXPECT_TRUE(Asked().empty());
}

class TSamplesTest : public TWindowTest {
protected:
    // The captions of the Samples menu.
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (const QAction* action : Find<QMenu>("Samples1")->actions()) captions.push_back(action->text().toStdString());
        return captions;
    }
    // Chooses the sample at position i of the menu; the query box's text.
    std::string Choose(int i)
    {
        Find<QMenu>("Samples1")->actions().at(i)->trigger();
        return Query()->toPlainText().toStdString();
    }
};

// Every bracketed text is a name, also one inside a body, which then ends at
// its "["; captions are shown exactly.
TEST_F(TSamplesTest, NamesInFileOrder)
{
    WriteFile("samples.txt",
              "[Books]\r\nname = 'book'\r\n[Tom & Jerry]\r\n@id = 'b1' and child::title[x] = ''\r\n[Last]\r\nvalue\r\n");
    Start();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Books", "Tom && Jerry", "x", "Last"}));
    EXPECT_EQ(Window->SampleNames, (std::vector<std::string>{"Books", "Tom & Jerry", "x", "Last"}));
    EXPECT_EQ(Choose(1), "@id = 'b1' and child::title");
    EXPECT_EQ(Choose(2), "= ''");
    EXPECT_EQ(Choose(0), "name = 'book'");
    EXPECT_TRUE(Asked().empty());
}

// The body loses its surrounding blank lines and keeps the line breaks inside;
// the first "{appldir}", in any letter case, becomes the executable's folder.
TEST_F(TSamplesTest, BodiesAndTheFolderMarker)
{
    WriteFile("samples.txt",
              "[Two lines]\r\n\r\n  name = 'a'\r\n  or name = 'b'  \r\n\r\n\r\n"
              "[Folder]\n@file = '{APPLDIR}/x.xml' or @file = '{appldir}/y.xml'\n"
              "[Other case]\nfirst\n[other CASE]\nsecond\n");
    Start();
    EXPECT_EQ(Choose(0), "name = 'a'\n  or name = 'b'");
    EXPECT_EQ(Choose(1), "@file = '" + Dir.path().toStdString() + "/x.xml' or @file = '{appldir}/y.xml'");
    // The second of two names that differ only in letter case finds the first one's body.
    EXPECT_EQ(Choose(2), "first");
    EXPECT_EQ(Choose(3), "first");
}

// The menu reflects the file at the last read: Load Samples reads it again, and
// a deleted file keeps the menu and its texts.
TEST_F(TSamplesTest, LoadSamplesReadsAgain)
{
    Start();
    EXPECT_TRUE(Captions().empty());
    WriteFile("samples.txt", "[One]\nname = 'one'\n");
    Trigger("LoadSamples1");
    EXPECT_EQ(Captions(), std::vector<std::string>{"One"});
    WriteFile("samples.txt", "[Two]\nname = 'two'\n[Three]\nname = 'three'\n");
    Trigger("LoadSamples1");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Two", "Three"}));
    ASSERT_TRUE(QFile::remove(PathOf("samples.txt")));
    Trigger("LoadSamples1");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Two", "Three"}));
    EXPECT_EQ(Choose(1), "name = 'three'");
    EXPECT_TRUE(Asked().empty());
}

// SampleBody by itself: from the first "[name]", letter case ignored, to the next "[".
TEST(TSampleBodyTest, BodyRules)
{
    const char* const text = "[a]\r\n x \r\n[B]y[c]\tz\t\r\n[a]second";
    const std::pair<const char*, const char*> cases[] = {
        {"a", "x"}, {"A", "x"}, {"b", "y"}, {"c", "z"}, {"d", ""}, {"", ""},
    };
    for (const auto& [name, body] : cases) EXPECT_EQ(TBrindleF::SampleBody(text, name), body) << name;
    EXPECT_EQ(TBrindleF::SampleBody("[]empty name", ""), "empty name");
    EXPECT_EQ(TBrindleF::SampleBody("[end]", "end"), "");
}

// The samples that ship with the workbench run on the example catalogue and
// each selects something.
TEST_F(TSamplesTest, ShippedSamplesRunOnTheCatalogue)
{
    WriteFile("samples.txt", ReadFileText(ExampleFile("samples.txt")));
    StartWith(ReadFileText(ExampleFile("catalog.xml")), QStringLiteral("catalog.xml"));
    const std::vector<std::string> captions = Captions();
    ASSERT_GE(captions.size(), 12U);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        Choose(static_cast<int>(i));
        Trigger("RunQuery1");
        EXPECT_TRUE(Asked().empty()) << captions[i];
        EXPECT_GT(Selection()->model()->rowCount(), 0) << captions[i];
    }
}

class THintTest : public TWindowTest {
protected:
    // Rests the mouse on the tree item; the hint's text, "" when none is shown.
    std::string HintAt(const QModelIndex& item)
    {
        Tree()->scrollTo(item);
        const QPoint at = Tree()->visualRect(item).center();
        return HintAtPoint(at);
    }
    std::string HintAtPoint(const QPoint& at)
    {
        QWidget* viewport = Tree()->viewport();
        // A hidden hint fades out for a while; gone at once, it cannot be taken for the next one.
        if (QLabel* tip = VisibleTip()) tip->hide();
        QHelpEvent event(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QCoreApplication::sendEvent(viewport, &event);
        const QLabel* tip = VisibleTip();
        if (!tip) return {};
        // What the person reads: a hint in rich text is shown as its plain text.
        if (!Qt::mightBeRichText(tip->text())) return tip->text().toStdString();
        QTextDocument shown;
        shown.setHtml(tip->text());
        return shown.toPlainText().toStdString();
    }
    static QLabel* VisibleTip()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QStringLiteral("qtooltip_label") && widget->isVisible())
                return qobject_cast<QLabel*>(widget);
        return nullptr;
    }
    std::string Status() const { return Find<QStatusBar>("StatusBar1")->currentMessage().toStdString(); }
};

// Without a hint attribute the hint and the status bar show the element's text;
// an element without text shows no hint and empties the status bar.
TEST_F(THintTest, TextHints)
{
    StartWith(KLibraryXml);
    Tree()->expandAll();
    EXPECT_EQ(HintAt(Item({1})), "hello");
    EXPECT_EQ(Status(), "hello");
    EXPECT_EQ(HintAt(Item({0, 1, 0})), "Beta");
    EXPECT_EQ(HintAt(Item({0})), "");
    EXPECT_EQ(Status(), "");
    // Markup in a text is shown as it stands.
    Window->WorkDoc->Children[1]->SetText("a <b>bold</b> & <soon>\nline");
    EXPECT_EQ(HintAt(Item({1})), "a <b>bold</b> & <soon>\nline");
    EXPECT_EQ(Status(), "a <b>bold</b> & <soon>\nline");
    Window->WorkDoc->Children[1]->SetText("hello");
    // Below the last item there is no element: the status bar keeps its text.
    HintAt(Item({1}));
    EXPECT_EQ(HintAtPoint(QPoint(5, Tree()->viewport()->height() - 2)), "");
    EXPECT_EQ(Status(), "hello");
}

// With a hint attribute: its name, ": " and the element's value, empty when the
// element lacks it; the input box offers the attribute in use.
TEST_F(THintTest, AttributeHints)
{
    StartWith(KLibraryXml);
    Tree()->expandAll();
    Prompts->AnswerInput(QStringLiteral("id"));
    Trigger("HintField1");
    EXPECT_EQ(HintAt(Item({0, 0})), "id: b1");
    EXPECT_EQ(Status(), "id: b1");
    EXPECT_EQ(HintAt(Item({1})), "id: ");

    Prompts->AnswerInput(std::nullopt);
    Trigger("HintField1");
    EXPECT_EQ(Window->HintAttribute, QStringLiteral("id"));
    Prompts->AnswerInput(QString());
    Trigger("HintField1");
    EXPECT_EQ(HintAt(Item({1})), "hello");
    EXPECT_EQ(Asked(), (std::vector<std::string>{
                           "InputBox: Display Hint|Enter attribute to display (empty for text display)|",
                           "InputBox: Display Hint|Enter attribute to display (empty for text display)|id",
                           "InputBox: Display Hint|Enter attribute to display (empty for text display)|id",
                       }));
}

// A long text is cut in the hint, not in the document.
TEST_F(THintTest, LongTextIsCut)
{
    StartWith("<r>" + std::string(100000, 'x') + "</r>");
    const std::string hint = HintAt(Item({}));
    EXPECT_EQ(QString::fromStdString(hint).size(), 1001);
    EXPECT_EQ(hint.substr(0, 1000), std::string(1000, 'x'));
    EXPECT_EQ(Window->WorkDoc->Text.size(), 100000U);
}

using THelpTest = TWindowTest;

// Contents shows the manual at the topic "Brindle" in the help window; a
// missing manual is reported by name.
TEST_F(THelpTest, ContentsShowsTheManual)
{
    Start();
    Trigger("Contents1");
    EXPECT_EQ(Asked(), std::vector<std::string>{"ErrorBox: Cannot open file \"" + PathOf("help/Brindle.html").toStdString() +
                                                 "\": No such file or directory"});
    EXPECT_EQ(Window->findChild<THelpWindow*>(), nullptr);

    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("help")));
    WriteFile("help/Brindle.html", "<html><body><h1><a name=\"Brindle\">Brindle</a></h1></body></html>");
    Trigger("Contents1");
    auto* help = Window->findChild<THelpWindow*>(QStringLiteral("HelpWindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->Source().fragment(), QStringLiteral("Brindle"));
    EXPECT_EQ(help->Source().toLocalFile(), PathOf("help/Brindle.html"));
    EXPECT_TRUE(Asked().empty());
    // It opens wholly on the screen, and Escape closes it.
    const QRect screen = help->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(help->geometry())) << help->geometry().width() << 'x' << help->geometry().height();
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

// The manual that ships has the topic and describes every command of the window.
TEST_F(THelpTest, ManualDescribesEveryCommand)
{
    const std::string manual = ReadFileText(ExampleFile("../help/Brindle.html"));
    EXPECT_NE(manual.find("name=\"Brindle\""), std::string::npos);
    Start();
    for (const QMenu* menu : Window->findChildren<QMenu*>()) {
        // Qt's own menus, such as the menu bar's overflow, carry no name.
        if (menu->objectName().isEmpty()) continue;
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            const std::string caption = action->text().remove(QLatin1Char('&')).toStdString();
            EXPECT_NE(manual.find(caption), std::string::npos) << caption;
        }
    }
}

// About names the program and its version first, then who made it and how to reach them.
TEST_F(THelpTest, AboutBox)
{
    Start();
    Trigger("About1");
    const std::vector<std::string> asked = Asked();
    ASSERT_EQ(asked.size(), 1U);
    EXPECT_EQ(asked[0].rfind("Message: Brindle 4.0\n", 0), 0U) << asked[0];
    EXPECT_NE(asked[0].find("Written by the Brindle project."), std::string::npos);
    EXPECT_GE(std::count(asked[0].begin(), asked[0].end(), '\n'), 3);
}

}  // namespace
