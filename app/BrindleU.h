#pragma once
// The workbench's main window: one working document shown as a tree of element
// names, a query box, a selection list of elements with the attributes and the
// text of one of them, and a source view of the selected element.

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ElementTreeModel.h"
#include "app/Prompts.h"
#include "app/RefListModel.h"
#include "app/TextCodec.h"
#include "app/UndoHistory.h"
#include "core/qelXMLParser2.h"

class QAction;
class QComboBox;
class QKeyEvent;
class QActionGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTreeView;
class TDatabasePage;
class TDocumentStep;
class THelpWindow;
class TqelMruMenu;
class TSourceEditor;
class TStandardXPathDocument;

// The language of the query box: the engine's own, or XPath 1.0.
enum class TQueryLanguage { Brindle, XPath };
// The stylesheet processor of a transformation: the engine's own, or XSLT 1.0.
enum class TStylesheetProcessor { Brindle, Xslt };
class TSourceFindBar;

// The reading the Options menu asks for: the automatic rule, or always one.
enum class TReadingChoice { Automatic, Classic, Standard };

using TSelectionListModel = TRefListModel<TqelXMLNode2>;
using TAttributeListModel = TRefListModel<TqelXMLAttribute2>;

// What the program hands the window at start.
struct TBrindleOptions {
    QString AppDir;                     // the folder of the shipped files (ProgramDataFolder), without a trailing separator
    QStringList Arguments;              // the command-line arguments after the program's name
    QString ExeName;                    // the executable's full name; empty gives AppDir + the running program's name
    std::unique_ptr<TPrompts> Prompts;  // the boxes and dialogs; nullptr gives the Qt ones
};

class TBrindleF : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window and its controls and creates both documents.
    explicit TBrindleF(TBrindleOptions options, QWidget* parent = nullptr);
    ~TBrindleF() override;

    QString AppDir;       // the folder of the shipped files: the executable's, or share/brindle when installed
    QString AppTitle;     // the caption at start: "Brindle 4"
    QString CurrentFile;  // the working document's file; empty when it has none
    std::unique_ptr<TqelXMLParser2> WorkDoc;   // owned; reloaded in place, never replaced
    std::unique_ptr<TqelXMLParser2> StyleDoc;  // owned; receives a stylesheet
    std::vector<std::string> SampleNames;      // the names of the samples, in file order
    std::string SamplesText;                   // the samples file as last read
    QString HintAttribute;                     // the attribute tree hints show; empty shows the text

    TPrompts& Prompts() { return *FPrompts; }
    // The conversion between WorkDoc's bytes and the text shown, chosen at each load.
    const TTextCodec& Codec() const { return FCodec; }
    TElementTreeModel& TreeModel() { return *FTreeModel; }
    TSelectionListModel& SelectionList() { return *FSelectionList; }
    TAttributeListModel& AttributeList() { return *FAttributeList; }

    // Runs one command: an error's message goes to the error box and the window
    // stays usable with whatever state the command reached. True when it ran to its end.
    bool RunCommand(const std::function<void()>& command);

    // Loads the file into WorkDoc in the reading the Options menu gives it and
    // shows it; CurrentFile and the caption follow. A file the standard reading
    // refuses leaves the window empty, its error shown with the line it names.
    // The selection list, attribute list and editor are emptied, as their rows
    // refer to elements of the replaced document. A syntax error leaves the tree
    // with what was parsed, is shown in a message box and marks the document
    // incomplete. The history is emptied. A file that cannot be read raises and
    // changes nothing.
    void OpenDocument(const QString& fileName);
    // Forgets the file, empties every view and the history; WorkDoc keeps its
    // element tree.
    void CloseDocument();
    // Caption: AppTitle, or "<file name without folder> - " + AppTitle; a
    // modified document adds "*" to the file name ("Untitled*" without a file).
    void UpdateCaption();
    // Empties the tree and shows WorkDoc as its single top-level item, in one
    // reset of the tree model. load, when given, runs inside the same reset: it
    // replaces WorkDoc's element tree, and the text codec is chosen anew for it.
    void BuildTree(const std::function<void()>& load = nullptr);
    // Rebuilds the items below item while change replaces its element's children.
    void AddTreeChildren(const QModelIndex& item, const std::function<void()>& change);
    void ClearTree();
    // Empties the editor without writing into any element.
    void ClearEditor();
    // Empties the attribute list, then the selection list.
    void ClearLists();
    // Start folder of the file dialogs: CurrentFile's folder, else AppDir.
    QString InitialDir() const;
    // "Do you want to save the current document?" with Yes, No and Cancel when
    // the document is modified; Yes saves (Save As without a file). False when
    // the person called off, and then whatever asked must not go on.
    bool SavePrompt();
    // True while WorkDoc differs from what was last loaded or saved.
    bool Modified() const { return !FHistory.IsClean(); }
    // The reading Open gives a file; chosen in the Options menu, kept in the settings file.
    TReadingChoice ReadingChoice() const { return FReadingChoice; }
    // True while WorkDoc holds only what was read of its file before a syntax error.
    bool Incomplete() const { return FIncomplete; }
    const TUndoHistory& History() const { return FHistory; }
    // The language F9 runs the query box in; chosen beside it, kept in the settings file.
    TQueryLanguage QueryLanguage() const;
    // Counts the changes of WorkDoc: every load, edit, undo and redo moves it.
    unsigned long long DocumentGeneration() const { return FDocumentGeneration; }

    // "1 element", "3 elements": a count with its noun for the status bar.
    static QString CountOf(qint64 count, const char* noun);
    // The elements of the tree below and including top, counted without recursion.
    static qint64 CountElements(const TqelXMLNode2& top);

    // WorkDoc's bytes as text and back, through Codec().
    QString Decode(const std::string& bytes) const { return FCodec.Decode(bytes); }
    std::string Encode(const QString& text) const { return FCodec.Encode(text); }
    // An engine message: UTF-8 when it is valid UTF-8 (file names, fixed texts),
    // else WorkDoc's codec (parts of the document quoted in a syntax error).
    QString DecodeMessage(const std::string& bytes) const;
    // WorkDoc's syntax error as a box shows it: "Syntax error at line L, column
    // C: <that line>" from Position, then the engine's whole message.
    QString SyntaxErrorText() const;
    // A file name in the form the engine opens.
    static std::string FileNameBytes(const QString& fileName);
    // The settings file, which also holds the recent-files list: the
    // executable's name with the extension ".ini", in WritableFolder.
    QString SettingsFileName() const;
    // Where the window writes: the executable's folder, or the person's
    // configuration folder when the executable's cannot be written.
    QString WritableFolder() const;
    // The body of the sample name in the samples text: from the first "[name]",
    // letter case ignored, to the next "[" or the end, without surrounding
    // blanks and line breaks; empty when the name does not occur.
    static std::string SampleBody(std::string_view text, std::string_view name);
    // The file "Transform Using..." writes: "xtransform.html" in WritableFolder.
    QString TransformOutputFile() const;
    // The marker at the start of a sample's body that makes it an XPath 1.0 query.
    static constexpr std::string_view KXPathSampleMarker = "{xpath}";
    // The window's size when none is remembered: two thirds of the available
    // width and three quarters of its height, at least minimum, at most available.
    static QSize FirstWindowSize(const QSize& available, const QSize& minimum);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<TPrompts> FPrompts;  // owned
    TTextCodec FCodec;
    QStringList FArguments;
    QString FExeName;
    bool FFirstShowDone = false;
    bool FIncomplete = false;
    TReadingChoice FReadingChoice = TReadingChoice::Automatic;
    TUndoHistory FHistory;
    unsigned long long FDocumentGeneration = 0;
    // The copy XPath 1.0 queries run on, and the generation of WorkDoc it was made from.
    std::unique_ptr<TStandardXPathDocument> FXPathCopy;  // owned
    unsigned long long FXPathCopyGeneration = 0;
    // The tree item whose XML the source view shows.
    QPersistentModelIndex FSourceItem;
    bool FTreeChangeAttached = true;
    bool FEditorChangeAttached = true;
    // Which part of the attribute an Enter in InEdit changes.
    enum class TInEditMode { Name = 0, Value = 1 };
    TInEditMode FInEditMode = TInEditMode::Name;

    // Models, owned by the window through Qt's parent chain.
    TElementTreeModel* FTreeModel = nullptr;
    TSelectionListModel* FSelectionList = nullptr;
    TAttributeListModel* FAttributeList = nullptr;

    // Controls, owned through Qt's parent chain; each carries its name as object name.
    QGroupBox* GroupBox1 = nullptr;
    QPlainTextEdit* edfilter = nullptr;
    QComboBox* QueryLanguageBox = nullptr;
    QSplitter* Splitter4 = nullptr;
    QTreeView* tree = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTabWidget* book = nullptr;
    QWidget* viewtab = nullptr;
    QWidget* sourceTab = nullptr;
    TDatabasePage* dbtab = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QWidget* Panel1 = nullptr;
    QTableView* selection = nullptr;
    QSplitter* Splitter3 = nullptr;
    QPlainTextEdit* editor = nullptr;
    QSplitter* Splitter2 = nullptr;
    QTableView* view = nullptr;
    QLineEdit* InEdit = nullptr;
    TSourceEditor* sourceeditor = nullptr;
    TSourceFindBar* sourcefind = nullptr;
    QWidget* FViewViewport = nullptr;  // not owned; where clicks on the attribute list arrive

    QMenuBar* MainMenu1 = nullptr;
    QMenu* File1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* View1 = nullptr;
    QMenu* Samples1 = nullptr;
    QMenu* Options1 = nullptr;
    QMenu* Tools1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* Close1 = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QAction* TransformUsing1 = nullptr;
    QAction* TransformTo1 = nullptr;
    QAction* TransformXslt1 = nullptr;
    QAction* ListNode1 = nullptr;
    QAction* ListSubnodes1 = nullptr;
    QAction* ShowMessages1 = nullptr;
    QAction* HintField1 = nullptr;
    QActionGroup* FReadingItems = nullptr;  // owned through Qt's parent chain
    QAction* ReadingAutomatic1 = nullptr;
    QAction* ReadingClassic1 = nullptr;
    QAction* ReadingStandard1 = nullptr;
    QLabel* ReadingLabel = nullptr;  // the status bar's note of WorkDoc's reading
    QAction* RunQuery1 = nullptr;
    QAction* RunNode1 = nullptr;
    QAction* LoadSamples1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* About1 = nullptr;

    QMenu* treepop = nullptr;
    QAction* AddChild1 = nullptr;
    QAction* Duplicate1 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* Rename1 = nullptr;
    QAction* RenameInPlace1 = nullptr;
    QAction* ExpandAll1 = nullptr;
    QAction* CollapseAll1 = nullptr;
    QMenu* viewpop = nullptr;
    QAction* Addattribute1 = nullptr;
    QAction* Deleteattribute1 = nullptr;
    QAction* Listby1 = nullptr;
    QMenu* selpop = nullptr;
    QAction* Listbytag1 = nullptr;
    QAction* Select1 = nullptr;
    QMenu* sourcepop = nullptr;
    QAction* LoadasDocument1 = nullptr;
    QAction* UndoSource1 = nullptr;
    QAction* RedoSource1 = nullptr;
    QAction* CutSource1 = nullptr;
    QAction* CopySource1 = nullptr;
    QAction* PasteSource1 = nullptr;
    QAction* SelectAllSource1 = nullptr;
    QAction* FindSource1 = nullptr;
    QAction* FindNextSource1 = nullptr;
    QAction* FindPreviousSource1 = nullptr;

    // Layout (BrindleLayout.cpp).
    void CreateControls();
    void CreateMenus();
    void CreatePopups();
    void ConnectHandlers();
    // The source pop-up's editing and search items.
    void CreateSourceItems();
    // The size and place of a window whose layout is not remembered.
    void PlaceFirstWindow();
    // A size given at 120 pixels per inch, in pixels of this screen.
    int Scaled(int size) const;
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption, void (TBrindleF::*handler)());
    void Bind(QAction* action, void (TBrindleF::*handler)());

    // Start, file commands and program end (BrindleU.cpp).
    void FormShow();
    // False when the person chose to keep the window open.
    bool FormClose();
    // Asks about unapplied source edits, then about saving; false when the
    // person called off the command that is about to drop the document.
    bool LeaveDocument();
    // Writes WorkDoc to CurrentFile, or through Save As without one. An
    // incomplete document asks before it overwrites its own file. False when
    // nothing was written.
    bool SaveDocument();
    bool SaveDocumentAs();
    // "<done> <file name>: <n> elements" in the status bar, counted in WorkDoc.
    void ReportFile(const QString& done, const QString& fileName);
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Close1Click();
    void treeChange();
    // Shows the item's XML in the source view, at once when the view is shown or
    // holds edits, else when it is next shown; an invalid item keeps the view.
    void ShowSource(const QModelIndex& item);
    // Source edits not applied yet: asks whether to apply them (Update Document),
    // discard them, or stay. False for stay.
    bool LeaveSource();
    void bookChange();

    // The history (EditCommands.cpp).
    // Records a change just made to WorkDoc.
    void Record(std::unique_ptr<TDocumentStep> step);
    // The caption and the Undo and Redo items follow the history.
    void HistoryChanged();
    void Undo1Click();
    void Redo1Click();
    // The views follow a step just undone or redone.
    void AfterStep(const TDocumentStep& step);
    // Tree commands (TreeCommands.cpp).
    QModelIndex SelectedTreeIndex() const;
    // Makes index the tree's selected item, expanding its ancestors.
    void SelectTreeItem(const QModelIndex& index);
    void AddChild1Click();
    void Duplicate1Click();
    void Delete1Click();
    void Rename1Click();
    // Renames the item's element from a label; a label equal to the name changes nothing.
    void RenameItem(const QModelIndex& item, const QString& label);
    void ExpandAll1Click();
    void CollapseAll1Click();
    // Expands index and the items below it, down to the deepest level the view
    // can lay out.
    void ExpandBelow(const QModelIndex& index);
    // Collapses an item expanded deeper than the view can lay out.
    void treeExpanded(const QModelIndex& index);
    // Starts editing the selected item's label in place.
    void RenameInPlace1Click();
    // Delete and Duplicate are offered for items below the top item only.
    void UpdateTreeItems();

    // Keys beyond the menus' shortcuts (KeyCommands.cpp).
    // The tree's and the source page's keys, and the controls whose keys are watched.
    void CreateKeys();
    // Shift+F10 and the Menu key open a control's pop-up at its current item or
    // caret; Ctrl+Tab types a tab where Tab moves the focus. True when the key was consumed.
    bool ControlKeyPress(QObject* watched, const QKeyEvent& key);

    // Selection list, editor and queries (ListCommands.cpp).
    // The selected row of the selection list, or -1.
    int SelectedRow() const;
    // The element of the selected row, or nullptr.
    TqelXMLNode2* SelectedRowElement() const;
    void selectionChange();
    void editorChange();
    // Lists the child elements of the item, or the item's own element when it has none.
    void ListChildren(const QModelIndex& item);
    void ListElement(const QModelIndex& item);
    // Fills the selection list with one row per element (name, text).
    void FillSelection(const TqelNodeRefList& elements);
    // Both columns of the selection list as wide as what they show.
    void FitSelectionColumns();
    void SelectRow(int row);
    void ListNode1Click();
    void ListSubnodes1Click();
    void cmdpathclick();
    void Select1Click();
    void ListByTag();
    void ListByAttribute();

    // Attribute list and in-place editing (AttributeCommands.cpp).
    int SelectedAttributeRow() const;
    // Shows the selected row's element: its text in the editor, its attributes in the list.
    void ShowAttributes(TqelXMLNode2* element);
    void Addattribute1Click();
    void Deleteattribute1Click();
    void viewClick(const QPoint& position);
    // True when the key was consumed.
    bool InEditKeyPress(int key);
    // Gives the focus back to the attribute list, which ends the in-place edit.
    void LeaveInEdit();
    void InEditExit();

    // Transformations, the source view and XEL runs (BrindleTransform.cpp).
    // "Show Messages" is a check item that toggles itself.
    void TransformUsing1Click();
    void TransformTo1Click();
    // Transforms the selected element, or the whole document when none is
    // selected, with the stylesheet file into the output file and has the
    // desktop open it; with "Show Messages" on, the query box gets the time taken.
    void RunTransform(const QString& stylesheetFile, const QString& outputFile,
                      TStylesheetProcessor processor = TStylesheetProcessor::Brindle);
    // The output text of the own processor for source.
    std::string TransformWithBrindle(TqelXMLNode2& source, const QString& stylesheetFile);
    // Replaces the selected element, or the whole document for the top item,
    // with the source view's text.
    void LoadasDocument1Click();
    void ApplySource(const QModelIndex& item);
    // Replaces the whole document with what load reads into WorkDoc, as one
    // undoable step that keeps the old content, declaration, source and reading
    // state, and selects the top item.
    void ReplaceDocument(const std::function<void()>& load);
    void UpdateFragment(const QModelIndex& item, const QString& text);
    // After a parse of typed text that failed: puts the typed text back into
    // the source view and shows the error. False when the parse succeeded.
    bool ReportSyntaxError(const QString& typed);
    // Runs the selected element as an XEL program, then rebuilds the views.
    void RunNode1Click();
    void RefreshAfterRun();
    // WorkDoc's XEL custom handler: shows the element's message in a box.
    void DocumentMessage(TqelXMLParser2& document, TqelXMLNode2& element, const std::string& text);

    // XPath 1.0 queries and XSLT 1.0 transformations (StandardCommands.cpp).
    // The language choice beside the query box.
    void CreateQueryLanguageBox();
    // The choice stored in the settings file; Brindle when none is stored.
    void ReadQueryLanguageSetting();
    void QueryLanguageChosen();
    void SetQueryLanguage(TQueryLanguage language);
    // Runs the query as XPath 1.0 from the selected element, or the document node
    // when none is selected: elements fill the selection list, a value is shown
    // in the status bar and a box.
    void RunXPathQuery(const QString& query);
    // The copy of WorkDoc the queries run on, made again when WorkDoc changed.
    const TStandardXPathDocument& XPathCopy();
    void TransformXslt1Click();
    // The output text of an XSLT 1.0 transformation of source; messages gets
    // what xsl:message wrote.
    std::string TransformWithXslt(TqelXMLNode2& source, const QString& stylesheetFile, QString& messages);

    // The two readings of a document (ReadingCommands.cpp).
    // The Options menu's reading items and the status bar's note of the reading.
    void CreateReadingControls();
    // The reading item chosen in the settings file; Automatic when none is stored.
    void ReadReadingSetting();
    // Takes the reading of a checked item and stores it in the settings file.
    void ReadingItemChosen(QAction* item);
    // The reading a file is opened in (documents and stylesheets): the chosen one,
    // or the automatic rule on its text.
    TqelXMLReading LoadInChosenReading(TqelXMLParser2& document, const QString& fileName) const;
    // The status bar's note follows WorkDoc's reading; empty while no document is shown.
    void ShowReading();
    // The message for a file the standard reading refused: the error, then the
    // line it names.
    QString RefusedFileMessage(const QString& fileName) const;
    // WorkDoc's XML text of element as a person reads it, in UTF-8: a standard
    // document holds UTF-8 inside, but its whole text is in its file's encoding.
    std::string ShownXml(const TqelXMLNode2* element);
    // Update Document on the top item of a standard document: the text is read
    // in the standard reading first, so that an error changes nothing.
    void UpdateStandardDocument(const QString& text);

    // Recent files, settings, samples, hints and help (BrindleServices.cpp).
    TqelMruMenu* qelMruMenu1 = nullptr;  // owned through Qt's parent chain
    THelpWindow* FHelpWindow = nullptr;  // owned through Qt's parent chain; made on first use
    // The recent-files list of the File menu and the start-up of the services below.
    void CreateServices();
    // Opens a file picked from the recent-files list when it still exists.
    void qelMruMenu1SelectFile(TqelMruMenu* sender, const QString& fileName);
    // The date separator and short date format from the settings file.
    void ReadSettings();
    // The window's size, place and splitter positions, kept in the settings file.
    void RestoreLayout();
    void SaveLayout() const;
    QList<QSplitter*> LayoutSplitters() const;
    // Reads the samples file, when there is one, into the Samples menu.
    void LoadSamples();
    void LoadSamples1Click();
    // Copies the sample's body into the query box, "{appldir}" once replaced by AppDir.
    void SampleClick(std::size_t sample);
    void HintField1Click();
    // The tree's hint: the text or the hint attribute of the element under the
    // mouse, shown in the status bar as well. False for other controls and
    // places without an item, which keep their own hints.
    bool DoShowHint(QString& hintText, QWidget* control, const QPoint& position, QRect& cursorRect);
    void Contents1Click();
    void About1Click();
};
