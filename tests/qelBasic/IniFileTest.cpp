// Reading INI values, the INI file beside an executable and literal menu captions.

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/qelStrings.h"
#include "qelBasic/qelIniFile.h"
#include "qelBasic/qelMenuText.h"

namespace {

// The executable's extension is replaced by ".ini", or ".ini" is added; dots in
// folders and a leading dot of the name begin no extension.
TEST(TIniFileTest, IniFileBesideReplacesTheExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/brindle/brindle", "/opt/brindle/brindle.ini"},
        {"/opt/brindle/brindle.exe", "/opt/brindle/brindle.ini"},
        {"/opt/brindle/brindle.tar.gz", "/opt/brindle/brindle.tar.ini"},
        {"/opt/v4.0/brindle", "/opt/v4.0/brindle.ini"},
        {"/opt/.brindle", "/opt/.brindle.ini"},
        {"brindle", "brindle.ini"},
    };
    for (const auto& [exe, ini] : cases) EXPECT_EQ(IniFileBeside(QString::fromLatin1(exe)).toStdString(), ini) << exe;
}

class TIniValueTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString File;

    // An INI file holding text, read through the settings class.
    QSettings& Read(const char* text)
    {
        File = Dir.filePath(QStringLiteral("values.ini"));
        WriteFileText(File.toStdString(), text);
        FSettings = std::make_unique<QSettings>(File, QSettings::IniFormat);
        return *FSettings;
    }

private:
    std::unique_ptr<QSettings> FSettings;
};

// Strings come back as stored; a missing section or key gives the default; a
// value with unquoted commas comes back whole.
TEST_F(TIniValueTest, StringsAsStored)
{
    const QSettings& ini = Read("[settings]\nshortdateformat=d mmm, yyyy\nempty=\nplain=dd/mm/yyyy\n");
    EXPECT_EQ(ReadIniString(ini, "settings", "plain", "x").toStdString(), "dd/mm/yyyy");
    EXPECT_EQ(ReadIniString(ini, "settings", "shortdateformat", "x").toStdString(), "d mmm, yyyy");
    EXPECT_EQ(ReadIniString(ini, "settings", "empty", "x").toStdString(), "");
    EXPECT_EQ(ReadIniString(ini, "settings", "missing", "x").toStdString(), "x");
    EXPECT_EQ(ReadIniString(ini, "other", "plain", "x").toStdString(), "x");
}

// Integers are decimal 32-bit numbers with blanks around; any other text gives the default.
TEST_F(TIniValueTest, IntegersAreDecimal)
{
    const QSettings& ini = Read("[s]\na=4\nb=007\nc=  12  \nd=4.0\ne=0x1F\nf=\ng=2147483648\nh=-3\ni=12abc\n");
    const std::pair<const char*, int> cases[] = {{"a", 4},  {"b", 7},  {"c", 12}, {"d", -1}, {"e", -1},
                                                 {"f", -1}, {"g", -1}, {"h", -3}, {"i", -1}, {"missing", -1}};
    for (const auto& [key, value] : cases) EXPECT_EQ(ReadIniInteger(ini, "s", key, -1), value) << key;
}

// A caption shows its text exactly: no accelerator, no shortcut column, one line.
TEST(TMenuTextTest, LiteralCaptions)
{
    EXPECT_EQ(LiteralMenuText("Tom & Jerry").toStdString(), "Tom && Jerry");
    EXPECT_EQ(LiteralMenuText("&&x&").toStdString(), "&&&&x&&");
    EXPECT_EQ(LiteralMenuText("a\tb\r\nc").toStdString(), "a b  c");
    EXPECT_EQ(LiteralMenuText("plain [name]").toStdString(), "plain [name]");
}

}  // namespace
