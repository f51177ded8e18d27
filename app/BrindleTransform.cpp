// The commands that run the document through the engine: transforming an
// element with a stylesheet file into an HTML file that the desktop opens,
// replacing the document or one element from the text of the "Source" page,
// and running an element as an XEL program whose messages appear in boxes.

#include "app/BrindleU.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QStatusBar>

#include <algorithm>
#include <stdexcept>

#include "app/HandlerGuards.h"
#include "app/SourceEditor.h"
#include "app/UndoCommands.h"
#include "core/qelStrings.h"
#include "xel/qelXelInterpreter.h"
#include "xslt/qelXSLTransform.h"

namespace {

const QString KStylesheetTitle = QStringLiteral("Select XSLT stylesheet for transformation");
const QString KStylesheetFilter = QStringLiteral("XSL Files (*.xsl)|*.xsl");

// The text without the blanks and control characters (code 32 and below) at
// either end.
QString TrimControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20) ++first;
    while (last > first && text[last - 1].unicode() <= 0x20) --last;
    return text.mid(first, last - first);
}

// The name with its extension replaced by ".html", added when it has none; a
// dot in a folder's name starts no extension.
QString WithHtmlExtension(const QString& fileName)
{
    const qsizetype folderEnd = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QDir::separator()));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return (dot > folderEnd ? fileName.left(dot) : fileName) + QStringLiteral(".html");
}

}  // namespace

QString TBrindleF::TransformOutputFile() const
{
    return QDir(WritableFolder()).filePath(QStringLiteral("xtransform.html"));
}

void TBrindleF::TransformUsing1Click()
{
    if (CurrentFile.isEmpty()) return;
    const auto stylesheet = Prompts().OpenDialog({KStylesheetTitle, InitialDir(), KStylesheetFilter});
    if (!stylesheet) return;
    // The configuration folder may not exist yet; a failure shows when the file is written.
    QDir().mkpath(WritableFolder());
    RunTransform(*stylesheet, TransformOutputFile());
}

void TBrindleF::TransformTo1Click()
{
    const auto output = Prompts().SaveDialog(
        {QStringLiteral("Save Transformation To"), InitialDir(), QStringLiteral("HTML files (*.html)|*.html")});
    if (!output) return;
    const TChoice choice = Prompts().AskYesNoCancel(
        QStringLiteral("Run the stylesheet as XSLT 1.0?\n\nYes: XSLT 1.0. No: Brindle's own stylesheet processor."));
    if (choice == TChoice::Cancel) return;
    const TStylesheetProcessor processor = choice == TChoice::Yes ? TStylesheetProcessor::Xslt : TStylesheetProcessor::Brindle;
    const auto stylesheet = Prompts().OpenDialog({KStylesheetTitle, InitialDir(), KStylesheetFilter});
    if (stylesheet) RunTransform(*stylesheet, WithHtmlExtension(*output), processor);
}

std::string TBrindleF::TransformWithBrindle(TqelXMLNode2& source, const QString& stylesheetFile)
{
    // Read by the rule of the Options menu. A classic stylesheet with a syntax
    // error transforms with what was read of it; a standard one keeps nothing.
    const TqelXMLReading reading = LoadInChosenReading(*StyleDoc, stylesheetFile);
    if (reading == TqelXMLReading::Standard && !StyleDoc->LastError.empty())
        throw std::runtime_error(StyleDoc->LastError);
    std::string text;
    source.TransformWith(*StyleDoc, text);
    return text;
}

void TBrindleF::RunTransform(const QString& stylesheetFile, const QString& outputFile, TStylesheetProcessor processor)
{
    qint64 elapsed = 0;
    QString messages;
    {
        TBusyCursor busy;
        QElapsedTimer timer;
        timer.start();
        TqelXMLNode2* source = TElementTreeModel::Element(SelectedTreeIndex());
        if (!source) source = WorkDoc.get();
        const std::string text = processor == TStylesheetProcessor::Xslt ? TransformWithXslt(*source, stylesheetFile, messages)
                                                                          : TransformWithBrindle(*source, stylesheetFile);
        elapsed = timer.elapsed();
        // The output is written as the stylesheet produced it, byte for byte.
        WriteFileText(FileNameBytes(outputFile), text);
    }
    StatusBar1->showMessage(QStringLiteral("Transformed into %1 in %2 ms").arg(QDir::toNativeSeparators(outputFile)).arg(elapsed));
    if (!messages.isEmpty()) Prompts().Message(messages);
    Prompts().ShellOpen(outputFile);
    if (ShowMessages1->isChecked())
        edfilter->setPlainText(QStringLiteral("Performed XSLT transformation in %1 millisecond").arg(elapsed));
}

void TBrindleF::LoadasDocument1Click() { ApplySource(SelectedTreeIndex()); }

void TBrindleF::ApplySource(const QModelIndex& item)
{
    if (!item.isValid()) throw std::runtime_error("There is no node selected.");
    const QString text = sourceeditor->Text();
    if (item.parent().isValid()) {
        UpdateFragment(item, text);
        return;
    }
    if (WorkDoc->Reading() == TqelXMLReading::Standard) {
        UpdateStandardDocument(text);
        return;
    }
    ReplaceDocument([this, &text] {
        WorkDoc->LoadFromText(Encode(text));
        // A declaration edited to name another encoding: the text is stored in
        // the encoding it now declares, so that what is shown stays what was typed.
        const TTextCodec declared =
            TTextCodec::ForDocument(WorkDoc->Declaration->GetAttribute("encoding"), WorkDoc->Source);
        if (declared.Name() != Codec().Name()) WorkDoc->LoadFromText(declared.Encode(text));
    });
    if (ReportSyntaxError(text)) return;
    ShowSource(FTreeModel->TopIndex());
    StatusBar1->showMessage(QStringLiteral("Document updated: ") + CountOf(CountElements(*WorkDoc), "element"));
}

void TBrindleF::ReplaceDocument(const std::function<void()>& load)
{
    // Rows of the lists refer to elements that the parse destroys.
    ClearEditor();
    ClearLists();
    std::unique_ptr<TqelXMLNode2> before;
    std::unique_ptr<TqelXMLNode2> declaration;
    std::string source;
    std::unique_ptr<TqelStandardSource> standard;
    BuildTree([this, &load, &before, &declaration, &source, &standard] {
        before = TakeContent(*WorkDoc);
        declaration = WorkDoc->Declaration->Clone();
        source = std::move(WorkDoc->Source);
        WorkDoc->SwapStandardSource(standard);
        load();
    });
    Record(std::make_unique<TContentStep>(*this, QStringLiteral("Update Document"), std::move(before),
                                          std::move(declaration), std::move(source), std::move(standard)));
    SelectTreeItem(FTreeModel->TopIndex());
}

void TBrindleF::UpdateFragment(const QModelIndex& item, const QString& text)
{
    const std::string fragment = Encode(TrimControls(text));
    if (fragment.empty()) throw std::runtime_error("Fragment is an empty string");
    TqelXMLNode2* element = TElementTreeModel::Element(item);
    // A standard element's own text applied again changes nothing.
    if (WorkDoc->Reading() == TqelXMLReading::Standard && fragment == WorkDoc->GetNodeXML(element)) {
        ShowSource(item);
        return;
    }
    // Rows of the lists may refer to elements that the parse destroys.
    ClearEditor();
    ClearLists();
    const QPersistentModelIndex kept = item;
    std::unique_ptr<TqelXMLNode2> before;
    {
        THandlerDetach detached(FTreeChangeAttached);
        AddTreeChildren(kept, [this, element, &fragment, &before] {
            before = TakeContent(*element);
            WorkDoc->ParseFragment(element, fragment);
        });
        SelectTreeItem(kept);
    }
    Record(std::make_unique<TContentStep>(*this, QStringLiteral("Update Document"), PathOf(element), std::move(before)));
    // The item stays selected: the source view is refreshed here, not by the tree.
    if (ReportSyntaxError(text)) return;
    ShowSource(kept);
    StatusBar1->showMessage(QStringLiteral("Element updated: ") + CountOf(CountElements(*element), "element"));
}

bool TBrindleF::ReportSyntaxError(const QString& typed)
{
    if (WorkDoc->LastError.empty()) return false;
    // The tree shows only what was parsed; the text as typed stays in the source
    // view, so that it can be mended and updated again rather than lost.
    sourceeditor->SetText(typed);
    Prompts().Message(SyntaxErrorText());
    return true;
}

void TBrindleF::RunNode1Click()
{
    TqelXMLNode2* element = TElementTreeModel::Element(SelectedTreeIndex());
    if (!element) throw std::runtime_error("You did not select a node.");
    // A program may change anything in the document: the step keeps a copy of
    // the whole document as it was, also when the run stops with an error.
    auto before = WorkDoc->Clone();
    const auto recordRun = [this, &before] {
        Record(std::make_unique<TContentStep>(*this, QStringLiteral("Run XEL"), TElementPath{}, std::move(before)));
    };
    QElapsedTimer timer;
    timer.start();
    try {
        TBusyCursor busy;
        element->ExecuteXel(*WorkDoc);
    } catch (...) {
        recordRun();
        throw;
    }
    const qint64 elapsed = timer.elapsed();
    recordRun();
    RefreshAfterRun();
    StatusBar1->showMessage(QStringLiteral("XEL program run in %1 ms").arg(elapsed));
}

void TBrindleF::RefreshAfterRun()
{
    ClearEditor();
    ClearLists();
    BuildTree();
}

void TBrindleF::DocumentMessage(TqelXMLParser2&, TqelXMLNode2& element, const std::string& text)
{
    Prompts().Message(Decode(ComposeXelMessage(element, text)));
}
