#pragma once
// The recent-files component: a short list of recently used file names, kept in
// an INI file between runs and shown as numbered items at the end of one
// top-level menu of a menu bar. Picking an item reports its file to the owner
// and moves the name to the top of the list.
//
// INI storage, in the section "MRU_Files_" + the owner's object name:
//   Count=<number of names>
//   File_0=<most recent name>
//   File_1=...

#include <QAction>
#include <QList>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// Where the INI file lies.
enum TMruLocation {
    ml_ExeDirectory = 0,      // beside the executable
    ml_WindowsDirectory = 1,  // in the user's configuration folder
    ml_CurrentDirectory = 2,  // in the current folder
};

// Menu actions carry a group index, 0 unless set; the component finds its menu
// by it and gives it to the items it inserts.
int GroupIndex(const QAction* action);
void SetGroupIndex(QAction* action, int group);

class TqelMruMenu : public QObject {
    Q_OBJECT

public:
    using TSelectFileEvent = std::function<void(TqelMruMenu* sender, const QString& fileName)>;

    // owner (not owned by this object; it owns this object) names the INI
    // section. Raises std::invalid_argument "IniSectionName: Owner = nil"
    // without one.
    explicit TqelMruMenu(QObject* owner);
    // Writes the list to the INI file and removes the inserted items.
    ~TqelMruMenu() override;
    TqelMruMenu(const TqelMruMenu&) = delete;
    TqelMruMenu& operator=(const TqelMruMenu&) = delete;

    // Called when one of the inserted items is picked; the name moves to the top
    // afterwards. The handler must not throw.
    TSelectFileEvent OnSelectFile;

    // The menu bar to extend (not owned); it becomes nullptr when the menu bar is destroyed.
    QMenuBar* ParentMenu() const { return FParentMenu; }
    void SetParentMenu(QMenuBar* menu) { FParentMenu = menu; }
    // The first top-level item of ParentMenu with this group index receives the items.
    std::uint8_t ParentGroup() const { return FParentGroup; }
    void SetParentGroup(std::uint8_t group) { FParentGroup = group; }
    // The group index of every inserted item.
    std::uint8_t MruGroup() const { return FMruGroup; }
    void SetMruGroup(std::uint8_t group) { FMruGroup = group; }
    // The most names AddFile keeps; below 0 counts as 0.
    int NumFiles() const { return FNumFiles; }
    void SetNumFiles(int count) { FNumFiles = count; }
    // Captions show the full name (true) or the name without its folder (false).
    bool ShowPath() const { return FShowPath; }
    void SetShowPath(bool show) { FShowPath = show; }
    TMruLocation MruLocation() const { return FMruLocation; }
    void SetMruLocation(TMruLocation location) { FMruLocation = location; }
    // The executable's full file name, which names the INI file; the running
    // program's unless set.
    const QString& ExeName() const { return FExeName; }
    void SetExeName(const QString& exeName) { FExeName = exeName; }

    // The remembered names, most recent first.
    const QStringList& Files() const { return FFiles; }

    // Once the owner is built: reads the list from the INI file and shows it.
    void Loaded();
    // Puts the name at the top: an entry equal to it, letter case ignored, is
    // dropped first, and the list is cut to NumFiles.
    void AddFile(const QString& fileName);
    // Full name of the INI file: the executable's file name with the extension
    // ".ini", in the folder that MruLocation names.
    QString IniFileName() const;
    // "MRU_Files_" + the owner's name.
    QString SectionName() const;
    // Replaces the list with the stored names whose files exist, in stored
    // order; a missing or unreadable file gives an empty list. The list is not
    // cut to NumFiles here.
    void LoadFromIni(const QString& iniFile);
    // Writes "Count" and one "File_" key per name; keys of a longer earlier list stay.
    void SaveToIni(const QString& iniFile) const;
    // Replaces the inserted items with a separator and one numbered item per
    // name; nothing at all for an empty list.
    void RebuildMenu();
    // Reports the picked item's name and moves it to the top.
    void ItemClick(QAction* item);

private:
    QString FIniSectionName;
    QStringList FFiles;
    QList<QPointer<QAction>> FMenuItems;  // owned through Qt's parent chain
    QPointer<QMenuBar> FParentMenu;       // not owned
    std::uint8_t FParentGroup = 0;
    std::uint8_t FMruGroup = 253;
    int FNumFiles = 4;
    bool FShowPath = false;
    TMruLocation FMruLocation = ml_ExeDirectory;
    QString FExeName;

    void RestoreList();
    // Takes the inserted items out of every menu; they are deleted once control
    // is back in the event loop, as one of them may be the item being clicked.
    void RemoveMenuItems();
};
