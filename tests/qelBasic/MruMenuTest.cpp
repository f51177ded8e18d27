// The recent-files component: the list kept by AddFile, the numbered items it
// shows at the end of a menu, picking an item, and the INI file between runs.

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/qelStrings.h"
#include "qelBasic/qelMruMenu.h"

namespace {

const QString KSection = QStringLiteral("MRU_Files_BrindleF");

class TMruMenuTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    std::unique_ptr<QWidget> Owner;  // owns Mru and the menu bar
    QMenuBar* Bar = nullptr;
    QMenu* File1 = nullptr;
    QMenu* View1 = nullptr;
    TqelMruMenu* Mru = nullptr;
    std::vector<std::string> Picked;  // the names OnSelectFile reported

    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("docs")));
        Create();
    }

    // A window named BrindleF with a File and a View menu and the component,
    // whose INI file is brindle.ini in the temporary folder; nothing is read yet.
    void Create()
    {
        Owner = std::make_unique<QWidget>();
        Owner->setObjectName(QStringLiteral("BrindleF"));
        Bar = new QMenuBar(Owner.get());
        File1 = Bar->addMenu(QStringLiteral("&File"));
        File1->addAction(QStringLiteral("&Open..."));
        File1->addSeparator();
        File1->addAction(QStringLiteral("Transform &To..."));
        View1 = Bar->addMenu(QStringLiteral("&View"));
        View1->addAction(QStringLiteral("List Node"));
        Mru = new TqelMruMenu(Owner.get());
        Mru->SetExeName(Dir.filePath(QStringLiteral("brindle")));
        Mru->SetParentMenu(Bar);
        Mru->OnSelectFile = [this](TqelMruMenu* sender, const QString& name) {
            EXPECT_EQ(sender, Mru);
            Picked.push_back(name.toStdString());
        };
    }

    // Ends the run: the component writes its list as it goes.
    void Destroy()
    {
        Owner.reset();
        Mru = nullptr;
    }

    // A new run that restores the list from the INI file.
    void Restart()
    {
        Destroy();
        Create();
        Mru->Loaded();
    }

    QString IniFile() const { return Dir.filePath(QStringLiteral("brindle.ini")); }
    void WriteIni(const std::string& text) const { WriteFileText(IniFile().toStdString(), text); }

    // Creates an empty file in the folder docs and returns its path.
    QString Doc(const QString& name) const
    {
        const QString path = Dir.filePath(QStringLiteral("docs/") + name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

    // Creates the files in docs and adds them in turn.
    void AddFiles(std::initializer_list<const char*> names)
    {
        for (const char* name : names) Mru->AddFile(Doc(QString::fromLatin1(name)));
    }

    // Captions of a menu's items after the first fixed ones ("-" for a separator).
    static std::vector<std::string> Added(const QMenu* menu, int fixed)
    {
        std::vector<std::string> captions;
        const QList<QAction*> actions = menu->actions();
        for (qsizetype i = fixed; i < actions.size(); ++i)
            captions.push_back(actions[i]->isSeparator() ? "-" : actions[i]->text().toStdString());
        return captions;
    }
    std::vector<std::string> FileItems() const { return Added(File1, 3); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const QString& name : Mru->Files()) names.push_back(QFileInfo(name).fileName().toStdString());
        return names;
    }

    // The item numbered number (from 1) of the list in the File menu.
    QAction* Item(int number) const { return File1->actions().at(3 + number); }
};

using TMruListTest = TMruMenuTest;
using TMruMenuItemsTest = TMruMenuTest;
using TMruPickTest = TMruMenuTest;
using TMruIniTest = TMruMenuTest;

// AddFile keeps the newest NumFiles names, newest first, without duplicates.
TEST_F(TMruListTest, FiveOpensLeaveFourNewestFirst)
{
    AddFiles({"a.xml", "b.xml", "c.xml", "d.xml", "e.xml"});
    EXPECT_EQ(Names(), (std::vector<std::string>{"e.xml", "d.xml", "c.xml", "b.xml"}));
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"-", "&1 e.xml", "&2 d.xml", "&3 c.xml", "&4 b.xml"}));
    EXPECT_EQ(Mru->Files().front(), Dir.filePath(QStringLiteral("docs/e.xml")));
}

// A name already listed in other letter case moves to the top and takes the new spelling.
TEST_F(TMruListTest, OtherLetterCaseMovesToTheTop)
{
    const QString a = Doc(QStringLiteral("a.xml"));
    Mru->AddFile(a);
    Mru->AddFile(Doc(QStringLiteral("b.xml")));
    Mru->AddFile(Dir.filePath(QStringLiteral("DOCS/A.Xml")));
    EXPECT_EQ(Names(), (std::vector<std::string>{"A.Xml", "b.xml"}));
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"-", "&1 A.Xml", "&2 b.xml"}));
    // Adding the listed name again changes only the order.
    Mru->AddFile(Dir.filePath(QStringLiteral("docs/b.xml")));
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.xml", "A.Xml"}));
}

// NumFiles bounds the list; 0 or less keeps nothing and shows no separator.
TEST_F(TMruListTest, NumFilesBoundsTheList)
{
    Mru->SetNumFiles(2);
    AddFiles({"a.xml", "b.xml", "c.xml"});
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.xml", "b.xml"}));
    Mru->SetNumFiles(-1);
    Mru->AddFile(Doc(QStringLiteral("d.xml")));
    EXPECT_TRUE(Mru->Files().isEmpty());
    EXPECT_TRUE(FileItems().empty());
}

// Without a list the menu ends with its own last item; the items show names
// without folders, or whole names with ShowPath, and never an accelerator of a name.
TEST_F(TMruMenuItemsTest, CaptionsAndSeparator)
{
    Mru->Loaded();
    EXPECT_TRUE(FileItems().empty());
    EXPECT_EQ(File1->actions().back()->text().toStdString(), "Transform &To...");

    Mru->AddFile(Doc(QStringLiteral("Tom & Jerry.xml")));
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"-", "&1 Tom && Jerry.xml"}));
    EXPECT_EQ(GroupIndex(File1->actions().at(3)), 253);
    EXPECT_EQ(GroupIndex(Item(1)), 253);
    EXPECT_EQ(Item(1)->data().toInt(), 0);

    Mru->SetShowPath(true);
    Mru->RebuildMenu();
    EXPECT_EQ(FileItems().at(1), "&1 " + QDir::toNativeSeparators(Dir.filePath("docs/Tom && Jerry.xml")).toStdString());
    EXPECT_EQ(File1->actions().size(), 5) << "a rebuild replaces the items";
}

// The items go to the first top-level menu whose group index is ParentGroup;
// no such menu, or no menu bar any more, shows nothing and fails nothing.
TEST_F(TMruMenuItemsTest, ParentGroupAndParentMenu)
{
    SetGroupIndex(View1->menuAction(), 1);
    Mru->SetParentGroup(1);
    Mru->SetMruGroup(7);
    Mru->AddFile(Doc(QStringLiteral("a.xml")));
    EXPECT_TRUE(FileItems().empty());
    EXPECT_EQ(Added(View1, 1), (std::vector<std::string>{"-", "&1 a.xml"}));
    EXPECT_EQ(GroupIndex(View1->actions().back()), 7);

    Mru->SetParentGroup(9);
    Mru->AddFile(Doc(QStringLiteral("b.xml")));
    EXPECT_EQ(Added(View1, 1).size(), 2U) << "without a target the old items stay";
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.xml", "a.xml"}));

    delete Bar;
    EXPECT_EQ(Mru->ParentMenu(), nullptr);
    Mru->AddFile(Doc(QStringLiteral("c.xml")));
    EXPECT_EQ(Names().front(), "c.xml");
}

// A component needs an owner: its name names the INI section.
TEST_F(TMruMenuItemsTest, OwnerIsRequired)
{
    try {
        TqelMruMenu orphan(nullptr);
        ADD_FAILURE() << "created without an owner";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "IniSectionName: Owner = nil");
    }
    EXPECT_EQ(Mru->SectionName(), KSection);
}

// Picking an item reports its name and moves it to the top; the picked item is
// replaced while its own click is handled.
TEST_F(TMruPickTest, PickReportsAndMovesToTop)
{
    AddFiles({"a.xml", "b.xml", "c.xml"});
    QPointer<QAction> third = Item(3);
    third->trigger();
    EXPECT_EQ(Picked, std::vector<std::string>{Dir.filePath("docs/a.xml").toStdString()});
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"-", "&1 a.xml", "&2 c.xml", "&3 b.xml"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(third.isNull()) << "a replaced item is deleted once its click is over";

    // A vanished file is still reported and moved: the owner decides what to open.
    ASSERT_TRUE(QFile::remove(Dir.filePath("docs/c.xml")));
    Item(2)->trigger();
    EXPECT_EQ(Picked.back(), Dir.filePath("docs/c.xml").toStdString());
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.xml", "a.xml", "b.xml"}));
}

// Without a handler a pick changes nothing.
TEST_F(TMruPickTest, NoHandlerNoMove)
{
    Mru->AddFile(Doc(QStringLiteral("a.xml")));
    Mru->AddFile(Doc(QStringLiteral("b.xml")));
    Mru->OnSelectFile = nullptr;
    Item(2)->trigger();
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.xml", "a.xml"}));
}

// The INI file lies beside the executable, in the user's configuration folder
// or in the current folder, named after the executable.
TEST_F(TMruIniTest, IniFileNameByLocation)
{
    Mru->SetExeName(Dir.filePath(QStringLiteral("brindle.exe")));
    EXPECT_EQ(Mru->IniFileName(), IniFile());
    Mru->SetMruLocation(ml_CurrentDirectory);
    EXPECT_EQ(Mru->IniFileName(), QStringLiteral("brindle.ini"));
    Mru->SetMruLocation(ml_WindowsDirectory);
    EXPECT_EQ(QFileInfo(Mru->IniFileName()).absolutePath(),
              QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).absolutePath());
    EXPECT_EQ(QFileInfo(Mru->IniFileName()).fileName(), QStringLiteral("brindle.ini"));
    // The run ends writing beside the test's executable name, in the temporary folder.
    Mru->SetMruLocation(ml_ExeDirectory);
}

// The list is written when the component goes and read at the next start,
// newest first; its section holds Count and one File_ key per name.
TEST_F(TMruIniTest, ListSurvivesTheRun)
{
    AddFiles({"a.xml", "b.xml", "c.xml"});
    Restart();
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.xml", "b.xml", "a.xml"}));
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"-", "&1 c.xml", "&2 b.xml", "&3 a.xml"}));

    QSettings ini(IniFile(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(KSection + "/Count").toString(), QStringLiteral("3"));
    EXPECT_EQ(ini.value(KSection + "/File_0").toString(), Dir.filePath(QStringLiteral("docs/c.xml")));
    EXPECT_EQ(ini.value(KSection + "/File_2").toString(), Dir.filePath(QStringLiteral("docs/a.xml")));
}

// A stored list longer than NumFiles is shown whole until the next AddFile.
TEST_F(TMruIniTest, StoredSixShowSixUntilTheNextAdd)
{
    std::string text = "[" + KSection.toStdString() + "]\nCount=6\n";
    for (int i = 0; i < 6; ++i)
        text += "File_" + std::to_string(i) + "=" + Doc(QStringLiteral("f%1.xml").arg(i)).toStdString() + "\n";
    WriteIni(text);
    Mru->Loaded();
    EXPECT_EQ(FileItems().size(), 7U);
    EXPECT_EQ(FileItems().back(), "&6 f5.xml");
    Mru->AddFile(Doc(QStringLiteral("new.xml")));
    EXPECT_EQ(Names(), (std::vector<std::string>{"new.xml", "f0.xml", "f1.xml", "f2.xml"}));
}

// Stored names of files that are gone are dropped at the start; keys beyond
// Count, keys that are not plain numbers and a damaged Count read as nothing.
TEST_F(TMruIniTest, ReadingIsForgiving)
{
    const std::string a = Doc(QStringLiteral("a.xml")).toStdString();
    const std::string c = Doc(QStringLiteral("c.xml")).toStdString();
    const std::string section = "[" + KSection.toStdString() + "]\n";
    WriteIni(section + "Count=4\nFile_0=" + a + "\nFile_1=" + Dir.filePath("docs/gone.xml").toStdString() +
             "\nFile_2=" + c + "\nFile_3=\nFile_4=" + a + "\nFile_02=" + a + "\n");
    Mru->Loaded();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.xml", "c.xml"}));

    const std::pair<std::string, std::vector<std::string>> damaged[] = {
        {"Count=abc\nFile_0=" + a, {}},
        {"File_0=" + a, {}},
        {"Count=-2\nFile_0=" + a, {}},
        {"Count=2000000000\nFile_1=" + c + "\nFile_0=" + a, {"a.xml", "c.xml"}},
    };
    for (const auto& [keys, names] : damaged) {
        WriteIni(section + keys + "\n");
        Mru->LoadFromIni(IniFile());
        EXPECT_EQ(Names(), names) << keys;
    }
    // A missing file or one that is no INI file gives an empty list.
    Mru->LoadFromIni(Dir.filePath(QStringLiteral("none.ini")));
    EXPECT_TRUE(Mru->Files().isEmpty());
    Mru->LoadFromIni(Dir.path());
    EXPECT_TRUE(Mru->Files().isEmpty());
}

// A shorter list leaves the keys of a longer one; Count tells how many are valid.
TEST_F(TMruIniTest, ShorterListKeepsOldKeys)
{
    AddFiles({"a.xml", "b.xml", "c.xml"});
    Mru->SaveToIni(IniFile());
    Mru->SetNumFiles(1);
    Mru->AddFile(Doc(QStringLiteral("d.xml")));
    Mru->SaveToIni(IniFile());
    QSettings ini(IniFile(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(KSection + "/Count").toString(), QStringLiteral("1"));
    EXPECT_EQ(ini.value(KSection + "/File_2").toString(), Dir.filePath(QStringLiteral("docs/a.xml")));
    Restart();
    EXPECT_EQ(Names(), std::vector<std::string>{"d.xml"});
}

}  // namespace
