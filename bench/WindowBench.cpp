// The workbench window opening a ~50 MB records document until its tree is
// shown, beside the engine parsing the same text alone in the same run,
// expanding the tree's top item (one row per record) until it is painted, and
// selecting the top item until the whole document is painted in the source view.
//
// The window runs on the offscreen platform with scripted prompts; the
// application object it needs is made on first use.

#include "app/BrindleU.h"
#include "app/ScriptedPrompts.h"
#include "app/SourceEditor.h"
#include "bench/DocumentGenerator.h"
#include "bench/Implementations.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

namespace {

using brindle::bench::TGeneratedDocument;

constexpr std::size_t KDocumentBytes = 50u * 1024u * 1024u;

const TGeneratedDocument& Records()
{
    static const TGeneratedDocument document = brindle::bench::GenerateRecords(KDocumentBytes);
    return document;
}

void EnsureApplication()
{
    static int argc = 3;
    static char program[] = "brindle-bench";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {program, platformOption, platform, nullptr};
    // Never destroyed: Qt's own statics go first at exit, and an application
    // object destroyed after them crashes the process on its way out.
    [[maybe_unused]] static const QApplication* const application = new QApplication(argc, argv);
}

// The records document as a file, written once per run.
const QString& RecordsFile()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString name = folder.filePath(QStringLiteral("records50mb.xml"));
        QFile file(name);
        if (file.open(QIODevice::WriteOnly)) {
            const std::string& text = Records().Text;
            file.write(text.data(), static_cast<qint64>(text.size()));
        }
        return name;
    }();
    return path;
}

// A shown window with the records document open.
struct TOpenWindow {
    std::unique_ptr<TBrindleF> Window;
    QTreeView* Tree = nullptr;  // not owned

    TOpenWindow()
    {
        EnsureApplication();
        TBrindleOptions options;
        options.AppDir = QCoreApplication::applicationDirPath();
        options.Prompts = std::make_unique<TScriptedPrompts>();
        Window = std::make_unique<TBrindleF>(std::move(options));
        Tree = Window->findChild<QTreeView*>(QStringLiteral("tree"));
        Window->show();
        QCoreApplication::processEvents();
    }
    // Opens the file and lets the window lay out and paint the tree.
    void Open(const QString& file)
    {
        Window->OpenDocument(file);
        Show();
    }
    // Runs one of the window's commands by its action's name.
    void Trigger(const char* action)
    {
        Window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
        Show();
    }
    void Show()
    {
        QCoreApplication::processEvents();
        Tree->viewport()->repaint();
    }
    // Opens the records document; false, with the benchmark skipped, when it
    // did not load whole.
    bool OpenRecords(benchmark::State& state)
    {
        Open(RecordsFile());
        if (Loaded()) return true;
        state.SkipWithError("the document did not load whole");
        return false;
    }
    // True when the document loaded whole and the tree shows it.
    bool Loaded() const
    {
        return Window->WorkDoc->LastError.empty() && Window->TreeModel().rowCount() == 1 &&
               Window->WorkDoc->Children.Count() > 0;
    }
};

void SetBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Records().Text.size()));
}

// The engine alone: text to tree and the tree destroyed, as parse/brindle/records.
void BenchParse(benchmark::State& state)
{
    auto engine = brindle::bench::MakeImplementation("brindle");
    const std::string& text = Records().Text;
    for (auto _ : state) {
        bool parsed = engine->Parse(text, false);
        benchmark::DoNotOptimize(parsed);
        engine->Release();
    }
    SetBytes(state);
}

// Open in the window: the file read, parsed (destroying the previous tree), the
// text codec chosen over the whole text, and the tree model reset and painted.
void BenchOpen(benchmark::State& state)
{
    const QString& file = RecordsFile();
    TOpenWindow open;
    for (auto _ : state) open.Open(file);
    if (!open.Loaded()) state.SkipWithError("the document did not load whole");
    SetBytes(state);
}

// Expanding the top item, which has one child row per record, until painted.
void BenchExpandTop(benchmark::State& state)
{
    TOpenWindow open;
    if (!open.OpenRecords(state)) return;
    const QModelIndex top = open.Window->TreeModel().TopIndex();
    for (auto _ : state) {
        open.Tree->expand(top);
        open.Show();
        state.PauseTiming();
        open.Tree->collapse(top);
        open.Show();
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(open.Window->WorkDoc->Children.Count());
}

// Selecting the top item: the whole document written, decoded and handed to
// the source editor on the "Source" page, until the editor is painted.
void BenchSelectTop(benchmark::State& state)
{
    TOpenWindow open;
    if (!open.OpenRecords(state)) return;
    auto* source = open.Window->findChild<TSourceEditor*>(QStringLiteral("sourceeditor"));
    open.Window->findChild<QTabWidget*>(QStringLiteral("book"))->setCurrentIndex(1);
    const QModelIndex top = open.Window->TreeModel().TopIndex();
    for (auto _ : state) {
        open.Tree->selectionModel()->setCurrentIndex(top, QItemSelectionModel::ClearAndSelect);
        QCoreApplication::processEvents();
        source->viewport()->repaint();
        state.PauseTiming();
        // An emptied selection keeps the text; the next selection replaces it.
        open.Tree->selectionModel()->clearSelection();
        state.ResumeTiming();
    }
    if (static_cast<std::size_t>(source->Text().toUtf8().size()) != open.Window->WorkDoc->GetXMLText().size())
        state.SkipWithError("the source view does not hold the whole document");
    SetBytes(state);
}

// Expand All from the top item, every record and field opened, until painted.
void BenchExpandAll(benchmark::State& state)
{
    TOpenWindow open;
    if (!open.OpenRecords(state)) return;
    for (auto _ : state) {
        open.Trigger("ExpandAll1");
        state.PauseTiming();
        open.Trigger("CollapseAll1");
        state.ResumeTiming();
    }
}

// Collapse All after Expand All, until painted.
void BenchCollapseAll(benchmark::State& state)
{
    TOpenWindow open;
    if (!open.OpenRecords(state)) return;
    for (auto _ : state) {
        state.PauseTiming();
        open.Trigger("ExpandAll1");
        state.ResumeTiming();
        open.Trigger("CollapseAll1");
    }
}

// Selecting the top item while the "Editor" page is shown: the hidden source
// view is left alone.
void BenchSelectTopSourceHidden(benchmark::State& state)
{
    TOpenWindow open;
    if (!open.OpenRecords(state)) return;
    const QModelIndex top = open.Window->TreeModel().TopIndex();
    for (auto _ : state) {
        open.Tree->selectionModel()->setCurrentIndex(top, QItemSelectionModel::ClearAndSelect);
        open.Show();
        state.PauseTiming();
        open.Tree->selectionModel()->clearSelection();
        state.ResumeTiming();
    }
}

[[maybe_unused]] const bool KRegistered = [] {
    benchmark::RegisterBenchmark("parse/brindle/records50mb", BenchParse)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open/brindle-window/records50mb", BenchOpen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("expand/brindle-window/records50mb-top", BenchExpandTop)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("select-top/brindle-window/records50mb", BenchSelectTop)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("expand-all/brindle-window/records50mb", BenchExpandAll)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("collapse-all/brindle-window/records50mb", BenchCollapseAll)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("select-top/brindle-window/records50mb-source-hidden", BenchSelectTopSourceHidden)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
