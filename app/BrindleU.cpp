// Start-up, the document's lifecycle, the file commands and program end.

#include "app/BrindleU.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeView>

#include <exception>

#include "app/DatabasePage.h"
#include "app/HandlerGuards.h"
#include "app/SourceEditor.h"
#include "core/qelStrings.h"
#include "qelBasic/qelMruMenu.h"

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
    CreateServices();
}

TBrindleF::~TBrindleF()
{
    // The views go before the documents they show, and take no events meanwhile.
    InEdit->removeEventFilter(this);
    FViewViewport->removeEventFilter(this);
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
    // A save that fails keeps the window open, so that the document can still be
    // saved elsewhere.
    if (RunCommand([this] { FormClose(); }))
        event->accept();
    else
        event->ignore();
}

void TBrindleF::FormClose()
{
    dbtab->FormClose();
    SavePrompt();
    CloseDocument();
}

void TBrindleF::OpenDocument(const QString& fileName)
{
    ClearEditor();
    ClearLists();
    BuildTree([this, &fileName] { WorkDoc->LoadFromFile(FileNameBytes(fileName)); });
    CurrentFile = fileName;
    UpdateCaption();
    // Showing a partial document silently would let it be saved over the whole file.
    if (!WorkDoc->LastError.empty()) Prompts().Message(DecodeMessage(WorkDoc->LastError));
}

void TBrindleF::CloseDocument()
{
    CurrentFile.clear();
    ClearTree();
    ClearEditor();
    ClearLists();
    sourceeditor->ClearAll();
    UpdateCaption();
}

void TBrindleF::UpdateCaption()
{
    if (CurrentFile.isEmpty())
        setWindowTitle(AppTitle);
    else
        setWindowTitle(QFileInfo(CurrentFile).fileName() + QStringLiteral(" - ") + AppTitle);
}

void TBrindleF::BuildTree(const std::function<void()>& load)
{
    FTreeModel->Reload([this, &load] {
        if (!load) return;
        load();
        FCodec = TTextCodec::ForDocument(WorkDoc->Declaration->GetAttribute("encoding"), WorkDoc->Source);
    });
}

void TBrindleF::AddTreeChildren(const QModelIndex& item, const std::function<void()>& change)
{
    FTreeModel->ReplaceChildren(item, change);
}

void TBrindleF::ClearTree() { FTreeModel->ClearTree(); }

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

void TBrindleF::SavePrompt()
{
    if (CurrentFile.isEmpty()) return;
    if (Prompts().AskYesNo(QStringLiteral("Do you want to save the current document?")))
        WorkDoc->SaveToFile(FileNameBytes(CurrentFile));
}

void TBrindleF::New1Click()
{
    SavePrompt();
    CloseDocument();
    BuildTree([this] { WorkDoc->LoadFromText(KNewDocument); });
}

void TBrindleF::Open1Click()
{
    SavePrompt();
    // Closed before the dialog: cancelling it leaves an empty window.
    CloseDocument();
    const auto file = Prompts().OpenDialog({QStringLiteral("Open XML file"), InitialDir(), KXmlFilter});
    if (!file) return;
    qelMruMenu1->AddFile(*file);
    OpenDocument(*file);
}

void TBrindleF::Save1Click()
{
    if (CurrentFile.isEmpty()) {
        SaveAs1Click();
        return;
    }
    WorkDoc->SaveToFile(FileNameBytes(CurrentFile));
}

void TBrindleF::SaveAs1Click()
{
    const auto file = Prompts().SaveDialog({QStringLiteral("Save XML document"), InitialDir(), KXmlFilter});
    if (!file) return;
    // The name is taken only once the document is written under it.
    WorkDoc->SaveToFile(FileNameBytes(*file));
    CurrentFile = *file;
    UpdateCaption();
}

void TBrindleF::Close1Click()
{
    SavePrompt();
    CloseDocument();
}

void TBrindleF::treeChange()
{
    TqelXMLNode2* element = TElementTreeModel::Element(SelectedTreeIndex());
    // An empty selection keeps the source view as it is.
    if (!element) return;
    sourceeditor->SetText(Decode(WorkDoc->GetNodeXML(element)));
}
