#include "qelBasic/qelMruMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "core/qelStrings.h"
#include "qelBasic/qelIniFile.h"
#include "qelBasic/qelMenuText.h"

namespace {

const char* const KGroupIndexProperty = "GroupIndex";
const QString KCountKey = QStringLiteral("Count");
const QString KFilePrefix = QStringLiteral("File_");

// File names compare through the fixed upper-case table, byte by byte.
bool SameFileName(const QString& a, const QString& b)
{
    return SameText(QFile::encodeName(a).toStdString(), QFile::encodeName(b).toStdString());
}

// The folder part with a trailing separator ("" for the current folder).
QString WithSeparator(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
    return folder + QLatin1Char('/');
}

}  // namespace

int GroupIndex(const QAction* action)
{
    const QVariant group = action->property(KGroupIndexProperty);
    return group.isValid() ? group.toInt() : 0;
}

void SetGroupIndex(QAction* action, int group) { action->setProperty(KGroupIndexProperty, group); }

TqelMruMenu::TqelMruMenu(QObject* owner) : QObject(owner)
{
    if (!owner) throw std::invalid_argument("IniSectionName: Owner = nil");
    FIniSectionName = owner->objectName();
    FExeName = QCoreApplication::applicationFilePath();
}

TqelMruMenu::~TqelMruMenu()
{
    SaveToIni(IniFileName());
    FFiles.clear();
    RebuildMenu();
}

void TqelMruMenu::Loaded() { RestoreList(); }

void TqelMruMenu::RestoreList()
{
    LoadFromIni(IniFileName());
    RebuildMenu();
}

QString TqelMruMenu::SectionName() const { return QStringLiteral("MRU_Files_") + FIniSectionName; }

QString TqelMruMenu::IniFileName() const
{
    const QString base = QFileInfo(IniFileBeside(FExeName)).fileName();
    switch (FMruLocation) {
    case ml_WindowsDirectory:
        return WithSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) + base;
    case ml_CurrentDirectory:
        return base;
    case ml_ExeDirectory:
        break;
    }
    return WithSeparator(QFileInfo(FExeName).absolutePath()) + base;
}

void TqelMruMenu::LoadFromIni(const QString& iniFile)
{
    const QSettings ini(iniFile, QSettings::IniFormat);
    const int count = ReadIniInteger(ini, SectionName(), KCountKey, 0);
    FFiles.clear();
    // The stored keys below Count, by number. Reading only the keys that exist
    // keeps a damaged Count of two thousand million from stalling the start.
    std::map<int, QString> stored;
    const QString prefix = SectionName() + QLatin1Char('/');
    for (const QString& key : ini.allKeys()) {
        if (!key.startsWith(prefix + KFilePrefix)) continue;
        const QString number = key.mid(prefix.size() + KFilePrefix.size());
        bool ok = false;
        const int position = number.toInt(&ok);
        // Only the plain decimal form names a position: "File_01" is not "File_1".
        if (!ok || position < 0 || position >= count || QString::number(position) != number) continue;
        stored[position] = ReadIniString(ini, SectionName(), KFilePrefix + number, QString());
    }
    for (const auto& [position, name] : stored)
        if (QFileInfo(name).isFile()) FFiles.append(name);
}

void TqelMruMenu::SaveToIni(const QString& iniFile) const
{
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.beginGroup(SectionName());
    ini.setValue(KCountKey, static_cast<int>(FFiles.size()));
    for (qsizetype i = 0; i < FFiles.size(); ++i) ini.setValue(KFilePrefix + QString::number(i), FFiles[i]);
    ini.endGroup();
    ini.sync();
}

void TqelMruMenu::AddFile(const QString& fileName)
{
    const auto same = std::find_if(FFiles.begin(), FFiles.end(),
                                   [&fileName](const QString& entry) { return SameFileName(entry, fileName); });
    if (same != FFiles.end()) FFiles.erase(same);
    FFiles.prepend(fileName);
    const qsizetype limit = std::max(FNumFiles, 0);
    while (FFiles.size() > limit) FFiles.removeLast();
    RebuildMenu();
}

void TqelMruMenu::RemoveMenuItems()
{
    for (const QPointer<QAction>& item : FMenuItems) {
        if (!item) continue;
        for (QObject* holder : item->associatedObjects())
            if (auto* widget = qobject_cast<QWidget*>(holder)) widget->removeAction(item);
        item->deleteLater();
    }
    FMenuItems.clear();
}

void TqelMruMenu::RebuildMenu()
{
    if (!FParentMenu) return;
    QMenu* target = nullptr;
    for (QAction* top : FParentMenu->actions()) {
        if (top->menu() && GroupIndex(top) == FParentGroup) {
            target = top->menu();
            break;
        }
    }
    if (!target) return;
    RemoveMenuItems();
    if (FFiles.isEmpty()) return;

    auto* separator = new QAction(this);
    separator->setSeparator(true);
    SetGroupIndex(separator, FMruGroup);
    target->addAction(separator);
    FMenuItems.append(separator);
    for (qsizetype i = 0; i < FFiles.size(); ++i) {
        const QString shown = FShowPath ? QDir::toNativeSeparators(FFiles[i]) : QFileInfo(FFiles[i]).fileName();
        auto* item = new QAction(QLatin1Char('&') + QString::number(i + 1) + QLatin1Char(' ') + LiteralMenuText(shown), this);
        item->setData(static_cast<int>(i));
        SetGroupIndex(item, FMruGroup);
        connect(item, &QAction::triggered, this, [this, item] { ItemClick(item); });
        target->addAction(item);
        FMenuItems.append(item);
    }
}

void TqelMruMenu::ItemClick(QAction* item)
{
    if (!OnSelectFile || !item) return;
    const int position = item->data().toInt();
    if (position < 0 || position >= FFiles.size()) return;
    const QString name = FFiles[position];
    OnSelectFile(this, name);
    AddFile(name);
}
