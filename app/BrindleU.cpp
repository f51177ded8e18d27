// Start-up, the document's lifecycle, the file commands and program end.

#include "app/BrindleU.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>

#include <algorithm>
#include <exception>
#include <initializer_list>

#include "app/DatabasePage.h"
#include "app/HandlerGuards.h"
#include "app/SourceEditor.h"
#include "core/TreeWalk.h"
#include "core/qelStrings.h"
#include "qelBasic/qelMruMenu.h"
#include "standard/StandardXPath.h"

namespace {

const QString KXmlFilter = QStringLiteral("XML Files (*.xml;*.xsl)|*.xml;*.xsl");
// The document New starts with: the declaration line, CR LF, an empty element.
constexpr const char* KNewDocument = "<?xml version='1.0'?>\r\n<root></root>";

}  // namespace

TBrindleF::TBrindleF(TBrindleOptions options, QWidget* parent)
    : QMainWindow(parent),
      AppDir(std::move(options.AppDir)),
      FPrompts(std::move(options.Prompts)),
      FArguments(std::move(options.Arguments)),
      FExeName(std::move(options.ExeName))
{
    setObjectName(QStringLiteral("BrindleF"));
    setWindowTitle(QStringLiteral("Brindle 4"));
    AppTitle = windowTitle();
    if (!FPrompts) FPrompts = std::make_unique<TQtPrompts>(this, AppTitle);

    WorkDoc = std::make_unique<TqelXMLParser2>();
    WorkDoc->SetXelCustomHandler([this](TqelXMLParser2& document, TqelXMLNode2& element, const std::string& text) {
        DocumentMessage(document, element, text);
    });
    StyleDoc = std::make_unique<TqelXMLParser2>();

    FTreeModel = new TElementTreeModel(*WorkDoc, FCodec, this);
    FTreeModel->SetCommandGuard([this](const std::function<void()>& command) { return RunCommand(command); });
    FSelectionList = new TSelectionListModel(QStringLiteral("tag"), QStringLiteral("text"), this);
    FAttributeList = new TAttributeListModel(QStringLiteral("attribute"), QStringLiteral("Value"), this);

    CreateControls();
    CreateMenus();
    CreatePopups();
    ConnectHandlers();
    CreateKeys();
    CreateServices();
}

TBrindleF::~TBrindleF()
{
    // The views go before the documents they show, and take no events meanwhile.
    for (QObject* watched : std::initializer_list<QObject*>{InEdit, FViewViewport, tree, selection, view, sourceeditor,
                                                           edfilter, editor})
        watched->removeEventFilter(this);
    delete centralWidget();
}

bool TBrindleF::RunCommand(const std::function<void()>& command)
{
    QString message;
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        message = DecodeMessage(error.what());
    } catch (...) {
        message = QStringLiteral("The command failed.");
    }
    Prompts().ErrorBox(message);
    return false;
}

qint64 TBrindleF::CountElements(const TqelXMLNode2& top)
{
    qint64 count = 0;
    WalkPreOrder(&top, [&count](const TqelXMLNode2*) {
        ++count;
        return false;
    });
    return count;
}

QString TBrindleF::SyntaxErrorText() const
{
    const QString message = DecodeMessage(WorkDoc->LastError);
    const std::string& source = WorkDoc->Source;
    const std::ptrdiff_t position = WorkDoc->Position;
    if (position < 1 || static_cast<std::size_t>(position) > source.size() + 1) return message;
    const std::size_t at = static_cast<std::size_t>(position - 1);
    const std::size_t lineStart = at == 0 ? 0 : source.rfind('\n', at - 1) + 1;  // npos + 1 is 0
    std::size_t lineEnd = source.find_first_of("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = source.size();
    const auto line = 1 + std::count(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(lineStart), '\n');
    const qsizetype column = Decode(source.substr(lineStart, at - lineStart)).size() + 1;
    constexpr qsizetype KMaxQuoted = 80;
    QString quoted = DecodeMessage(source.substr(lineStart, lineEnd - lineStart)).trimmed();
    if (quoted.size() > KMaxQuoted) quoted = quoted.left(KMaxQuoted) + QStringLiteral("...");
    return QStringLiteral("Syntax error at line %1, column %2: %3\n\n%4").arg(line).arg(column).arg(quoted, message);
}

void TBrindleF::ReportFile(const QString& done, const QString& fileName)
{
    StatusBar1->showMessage(QStringLiteral("%1 %2: %3").arg(done, QFileInfo(fileName).fileName(),
                                                            CountOf(CountElements(*WorkDoc), "element")));
}

QString TBrindleF::DecodeMessage(const std::string& bytes) const
{
    // A box would end the text at a NUL, and show other control bytes as nothing.
    const std::string shown = VisibleControlBytes(bytes);
    return IsValidUtf8(shown) ? QString::fromStdString(shown) : FCodec.Decode(shown);
}

std::string TBrindleF::FileNameBytes(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }

void TBrindleF::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FFirstShowDone) return;
    FFirstShowDone = true;
    // Restored once the window is on its screen, whose size a stored
    // geometry is checked against.
    RunCommand([this] { RestoreLayout(); });
    // Opening waits until the window is on the screen, so that a message about
    // the document appears over it.
    QMetaObject::invokeMethod(this, [this] { RunCommand([this] { FormShow(); }); }, Qt::QueuedConnection);
}

void TBrindleF::FormShow()
{
    book->setCurrentWidget(viewtab);
    if (!FArguments.isEmpty()) CurrentFile = FArguments.front();
    if (!CurrentFile.isEmpty() && QFileInfo(CurrentFile).isFile()) OpenDocument(CurrentFile);
}

void TBrindleF::closeEvent(QCloseEvent* event)
{
    // A save that fails, or a Cancel, keeps the window open, so that the
    // document can still be saved elsewhere.
    bool close = false;
    if (RunCommand([this, &close] { close = FormClose(); }) && close) {
        RunCommand([this] { SaveLayout(); });
        event->accept();
    }
    else
        event->ignore();
}

bool TBrindleF::FormClose()
{
    if (!LeaveDocument()) return false;
    dbtab->FormClose();
    CloseDocument();
    return true;
}

bool TBrindleF::LeaveDocument() { return LeaveSource() && SavePrompt(); }

void TBrindleF::OpenDocument(const QString& fileName)
{
    ClearEditor();
    ClearLists();
    TqelXMLReading reading = TqelXMLReading::Classic;
    {
        TBusyCursor busy;
        BuildTree([this, &fileName, &reading] { reading = LoadInChosenReading(*WorkDoc, fileName); });
    }
    if (reading == TqelXMLReading::Standard && !WorkDoc->LastError.empty()) {
        // The standard reading keeps nothing of a file it refuses: the window
        // stays empty, so that nothing can be saved over the file.
        const QString message = RefusedFileMessage(fileName);
        CloseDocument();
        Prompts().Message(message);
        return;
    }
    CurrentFile = fileName;
    ReportFile(QStringLiteral("Opened"), fileName);
    FIncomplete = !WorkDoc->LastError.empty();
    FHistory.Clear();
    HistoryChanged();
    // Showing a partial document silently would let it be saved over the whole file.
    if (FIncomplete) Prompts().Message(SyntaxErrorText());
}

void TBrindleF::CloseDocument()
{
    CurrentFile.clear();
    FIncomplete = false;
    ClearTree();
    ClearEditor();
    ClearLists();
    sourceeditor->ClearAll();
    FHistory.Clear();
    HistoryChanged();
}

void TBrindleF::UpdateCaption()
{
    const QString modified = Modified() ? QStringLiteral("*") : QString();
    if (CurrentFile.isEmpty() && modified.isEmpty())
        setWindowTitle(AppTitle);
    else if (CurrentFile.isEmpty())
        setWindowTitle(QStringLiteral("Untitled*") + QStringLiteral(" - ") + AppTitle);
    else
        setWindowTitle(QFileInfo(CurrentFile).fileName() + modified + QStringLiteral(" - ") + AppTitle);
}

void TBrindleF::BuildTree(const std::function<void()>& load)
{
    ++FDocumentGeneration;
    FTreeModel->Reload([this, &load] {
        if (!load) return;
        load();
        // A standard document holds UTF-8 inside, whatever its file's encoding.
        FCodec = WorkDoc->Reading() == TqelXMLReading::Standard
                     ? TTextCodec()
                     : TTextCodec::ForDocument(WorkDoc->Declaration->GetAttribute("encoding"), WorkDoc->Source);
    });
    ShowReading();
}

void TBrindleF::AddTreeChildren(const QModelIndex& item, const std::function<void()>& change)
{
    FTreeModel->ReplaceChildren(item, change);
}

void TBrindleF::ClearTree()
{
    FTreeModel->ClearTree();
    ShowReading();
}

void TBrindleF::ClearEditor()
{
    THandlerDetach detached(FEditorChangeAttached);
    editor->clear();
}

void TBrindleF::ClearLists()
{
    FAttributeList->Clear();
    FSelectionList->Clear();
}

QString TBrindleF::InitialDir() const
{
    if (CurrentFile.isEmpty()) return AppDir;
    return QFileInfo(CurrentFile).absolutePath();
}

bool TBrindleF::SavePrompt()
{
    if (!Modified()) return true;
    switch (Prompts().AskYesNoCancel(QStringLiteral("Do you want to save the current document?"))) {
    case TChoice::Yes:
        return SaveDocument();
    case TChoice::No:
        return true;
    case TChoice::Cancel:
        break;
    }
    return false;
}

bool TBrindleF::SaveDocument()
{
    if (CurrentFile.isEmpty()) return SaveDocumentAs();
    if (FIncomplete &&
        !Prompts().AskYesNo(QStringLiteral("The document holds only the part of ") + QFileInfo(CurrentFile).fileName() +
                            QStringLiteral(" that was read before an error. Saving it there loses the unread part "
                                           "of the file. Do you want to save it anyway?")))
        return false;
    {
        TBusyCursor busy;
        WorkDoc->SaveToFile(FileNameBytes(CurrentFile));
    }
    ReportFile(QStringLiteral("Saved"), CurrentFile);
    FIncomplete = false;
    FHistory.SetClean();
    HistoryChanged();
    return true;
}

bool TBrindleF::SaveDocumentAs()
{
    const auto file = Prompts().SaveDialog({QStringLiteral("Save XML document"), InitialDir(), KXmlFilter});
    if (!file) return false;
    // The name is taken only once the document is written under it. An
    // incomplete document saved over its own file still asks.
    if (FIncomplete && QFileInfo(*file) == QFileInfo(CurrentFile)) return SaveDocument();
    {
        TBusyCursor busy;
        WorkDoc->SaveToFile(FileNameBytes(*file));
    }
    ReportFile(QStringLiteral("Saved"), *file);
    CurrentFile = *file;
    FIncomplete = false;
    FHistory.SetClean();
    HistoryChanged();
    return true;
}

void TBrindleF::New1Click()
{
    if (!LeaveDocument()) return;
    CloseDocument();
    BuildTree([this] { WorkDoc->LoadFromText(KNewDocument); });
}

void TBrindleF::Open1Click()
{
    if (!LeaveDocument()) return;
    // Closed before the dialog: cancelling it leaves an empty window.
    CloseDocument();
    const auto file = Prompts().OpenDialog({QStringLiteral("Open XML file"), InitialDir(), KXmlFilter});
    if (!file) return;
    qelMruMenu1->AddFile(*file);
    OpenDocument(*file);
}

void TBrindleF::Save1Click() { SaveDocument(); }

void TBrindleF::SaveAs1Click() { SaveDocumentAs(); }

void TBrindleF::Close1Click()
{
    if (!LeaveDocument()) return;
    CloseDocument();
}

void TBrindleF::treeChange()
{
    const QModelIndex item = SelectedTreeIndex();
    // An empty selection keeps the source view as it is.
    if (!item.isValid()) return;
    if (sourceeditor->isModified() && FSourceItem.isValid()) {
        if (item == FSourceItem) return;  // the edits stay where they are
        const QPersistentModelIndex chosen = item;
        const QPersistentModelIndex shown = FSourceItem;
        if (!LeaveSource()) {
            THandlerDetach detached(FTreeChangeAttached);
            SelectTreeItem(shown);
            return;
        }
        // Applying selects the updated item, or the top item after a whole
        // document, whose items are all new.
        if (chosen.isValid()) {
            THandlerDetach detached(FTreeChangeAttached);
            SelectTreeItem(chosen);
        }
    }
    ShowSource(SelectedTreeIndex());
}

void TBrindleF::ShowSource(const QModelIndex& item)
{
    TqelXMLNode2* element = TElementTreeModel::Element(item);
    if (!element) return;
    FSourceItem = item;
    // A hidden source view is filled when it is shown (bookChange): a large
    // element is then not written out at every click. Edits waiting there are
    // replaced at once, as the caller asked.
    if (book->currentWidget() != sourceTab && !sourceeditor->isModified()) return;
    sourceeditor->SetUtf8(ShownXml(element));
}

bool TBrindleF::LeaveSource()
{
    if (!sourceeditor->isModified() || !FSourceItem.isValid()) return true;
    switch (Prompts().AskYesNoCancel(QStringLiteral("The source text was edited. Do you want to update the "
                                                    "document with it?"))) {
    case TChoice::Yes:
        ApplySource(FSourceItem);
        return true;
    case TChoice::No:
        ShowSource(FSourceItem);
        return true;
    case TChoice::Cancel:
        break;
    }
    return false;
}

void TBrindleF::bookChange()
{
    // The source view is filled as it is shown, so edits made on the Editor
    // page show there too; without a selection it shows the item it showed last.
    if (book->currentWidget() != sourceTab || sourceeditor->isModified()) return;
    const QModelIndex selected = SelectedTreeIndex();
    ShowSource(selected.isValid() ? selected : QModelIndex(FSourceItem));
}
