// The window's controls and menus. Sizes are written as designed, at 120 pixels
// per inch, and scaled to the screen; the designed fonts become the desktop's
// user-interface font and its fixed-pitch font.

#include "app/BrindleU.h"

#include <QAction>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>
#include <QHBoxLayout>
#include <QComboBox>

#include "app/DatabasePage.h"
#include "app/SourceEditor.h"
#include "app/SourceFindBar.h"

namespace {

template <class W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A report-style list: grid lines, whole rows, one selection, no label editing.
void SetUpReportList(QTableView* list, QAbstractItemModel* model)
{
    list->setModel(model);
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    list->horizontalHeader()->setStretchLastSection(true);
    list->horizontalHeader()->setHighlightSections(false);
    // Sizing columns to their contents reads only the rows near the top, so that
    // a list of a million rows fills as fast as a short one.
    list->horizontalHeader()->setResizeContentsPrecision(200);
}

}  // namespace

int TBrindleF::Scaled(int size) const
{
    const QScreen* screen = this->screen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return qRound(size * dpi / 120.0);
}

void TBrindleF::CreateControls()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    Splitter4 = Named(new QSplitter(Qt::Vertical, this), "Splitter4");
    Splitter4->setChildrenCollapsible(false);
    setCentralWidget(Splitter4);

    GroupBox1 = Named(new QGroupBox(QStringLiteral("Query / Message"), Splitter4), "GroupBox1");
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->setContentsMargins(Scaled(4), Scaled(2), Scaled(4), Scaled(4));
    edfilter = Named(new QPlainTextEdit(GroupBox1), "edfilter");
    edfilter->setFont(fixed);
    edfilter->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edfilter->setTabChangesFocus(true);
    QueryLanguageBox = Named(new QComboBox(GroupBox1), "QueryLanguageBox");
    CreateQueryLanguageBox();
    auto* queryRow = new QHBoxLayout();
    queryRow->addWidget(edfilter, 1);
    queryRow->addWidget(QueryLanguageBox, 0, Qt::AlignTop);
    groupLayout->addLayout(queryRow);

    Splitter1 = Named(new QSplitter(Qt::Horizontal, Splitter4), "Splitter1");
    Splitter1->setChildrenCollapsible(false);
    Splitter4->addWidget(GroupBox1);
    Splitter4->addWidget(Splitter1);
    Splitter4->setStretchFactor(0, 0);
    Splitter4->setStretchFactor(1, 1);

    tree = Named(new QTreeView(Splitter1), "tree");
    tree->setModel(FTreeModel);
    tree->setHeaderHidden(true);
    // The one column is as wide as its widest label: deep items scroll into
    // view sideways instead of being cut.
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Every row has the height of one line of text: the view then lays out only
    // the rows it shows, however many children an item has.
    tree->setUniformRowHeights(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    tree->setExpandsOnDoubleClick(true);

    book = Named(new QTabWidget(Splitter1), "book");
    book->setDocumentMode(true);
    Splitter1->addWidget(tree);
    Splitter1->addWidget(book);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);

    // Page "Editor": the selection list, the editor and the attribute list.
    viewtab = Named(new QWidget(book), "viewtab");
    auto* viewLayout = new QVBoxLayout(viewtab);
    viewLayout->setContentsMargins(0, 0, 0, 0);
    Panel1 = Named(new QWidget(viewtab), "Panel1");
    viewLayout->addWidget(Panel1);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    Splitter3 = Named(new QSplitter(Qt::Vertical, Panel1), "Splitter3");
    Splitter3->setChildrenCollapsible(false);
    panelLayout->addWidget(Splitter3);
    selection = Named(new QTableView(Splitter3), "selection");
    SetUpReportList(selection, FSelectionList);
    Splitter2 = Named(new QSplitter(Qt::Vertical, Splitter3), "Splitter2");
    Splitter2->setChildrenCollapsible(false);
    Splitter3->addWidget(selection);
    Splitter3->addWidget(Splitter2);
    editor = Named(new QPlainTextEdit(Splitter2), "editor");
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setTabChangesFocus(true);
    view = Named(new QTableView(Splitter2), "view");
    SetUpReportList(view, FAttributeList);
    Splitter2->addWidget(editor);
    Splitter2->addWidget(view);
    // Height beyond the designed one is shared by the selection list, the
    // editor and the attribute list alike.
    Splitter3->setStretchFactor(0, 1);
    Splitter3->setStretchFactor(1, 2);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 1);

    InEdit = Named(new QLineEdit(Panel1), "InEdit");
    // Sized to the cell it edits each time it is shown.
    InEdit->hide();
    InEdit->installEventFilter(this);
    FViewViewport = view->viewport();
    FViewViewport->installEventFilter(this);

    // Page "Source": the selected element's XML text.
    sourceTab = Named(new QWidget(book), "sourceTab");
    auto* sourceLayout = new QVBoxLayout(sourceTab);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    sourceeditor = Named(new TSourceEditor(sourceTab), "sourceeditor");
    sourceeditor->setContextMenuPolicy(Qt::CustomContextMenu);
    sourceLayout->addWidget(sourceeditor);
    sourcefind = Named(new TSourceFindBar(*sourceeditor, sourceTab), "sourcefind");
    sourceLayout->addWidget(sourcefind);

    dbtab = Named(new TDatabasePage(*this, book), "dbtab");

    book->addTab(viewtab, QStringLiteral("Editor"));
    book->addTab(sourceTab, QStringLiteral("Source"));
    book->addTab(dbtab, QStringLiteral("Database"));

    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);

    // Designed sizes: the group box 75 high, the tree 216 wide, the selection
    // list 137 and the attribute list 128 high, the window 708 by 524 (at
    // least; see PlaceFirstWindow).
    resize(Scaled(708), Scaled(524));
    const int groupHeight = Scaled(75);
    Splitter4->setSizes({groupHeight, Scaled(524) - groupHeight});
    Splitter1->setSizes({Scaled(216), Scaled(708) - Scaled(216)});
    Splitter3->setSizes({Scaled(137), Scaled(250)});
    Splitter2->setSizes({Scaled(120), Scaled(128)});
}

QSize TBrindleF::FirstWindowSize(const QSize& available, const QSize& minimum)
{
    if (available.isEmpty()) return minimum;
    const QSize share(available.width() * 2 / 3, available.height() * 3 / 4);
    return share.expandedTo(minimum).boundedTo(available);
}

void TBrindleF::PlaceFirstWindow()
{
    const QScreen* shown = screen();
    if (!shown) return;
    const QRect available = shown->availableGeometry();
    const QSize size = FirstWindowSize(available.size(), QSize(Scaled(708), Scaled(524)));
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
}

QAction* TBrindleF::AddAction(QMenu* menu, const char* name, const QString& caption, void (TBrindleF::*handler)())
{
    auto* action = Named(new QAction(caption, this), name);
    menu->addAction(action);
    if (handler) Bind(action, handler);
    return action;
}

void TBrindleF::Bind(QAction* action, void (TBrindleF::*handler)())
{
    connect(action, &QAction::triggered, this, [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
}

void TBrindleF::CreateMenus()
{
    MainMenu1 = Named(new QMenuBar(this), "MainMenu1");
    setMenuBar(MainMenu1);
    auto addMenu = [this](const char* name, const QString& caption) {
        return Named(MainMenu1->addMenu(caption), name);
    };

    File1 = addMenu("File1", QStringLiteral("&File"));
    New1 = AddAction(File1, "New1", QStringLiteral("&New..."), &TBrindleF::New1Click);
    Open1 = AddAction(File1, "Open1", QStringLiteral("&Open..."), &TBrindleF::Open1Click);
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = AddAction(File1, "Save1", QStringLiteral("&Save"), &TBrindleF::Save1Click);
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAs1 = AddAction(File1, "SaveAs1", QStringLiteral("Save &As..."), &TBrindleF::SaveAs1Click);
    Close1 = AddAction(File1, "Close1", QStringLiteral("&Close"), &TBrindleF::Close1Click);
    File1->addSeparator()->setObjectName(QStringLiteral("N1"));
    TransformUsing1 =
        AddAction(File1, "TransformUsing1", QStringLiteral("Transform &Using..."), &TBrindleF::TransformUsing1Click);
    TransformXslt1 =
        AddAction(File1, "TransformXslt1", QStringLiteral("Transform with XSLT &1.0..."), &TBrindleF::TransformXslt1Click);
    TransformTo1 = AddAction(File1, "TransformTo1", QStringLiteral("Transform &To..."), &TBrindleF::TransformTo1Click);

    Edit1 = addMenu("Edit1", QStringLiteral("&Edit"));
    Undo1 = AddAction(Edit1, "Undo1", QStringLiteral("&Undo"), &TBrindleF::Undo1Click);
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Undo1->setEnabled(false);
    Redo1 = AddAction(Edit1, "Redo1", QStringLiteral("&Redo"), &TBrindleF::Redo1Click);
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    Redo1->setEnabled(false);

    View1 = addMenu("View1", QStringLiteral("&View"));
    ListNode1 = AddAction(View1, "ListNode1", QStringLiteral("List Node"), &TBrindleF::ListNode1Click);
    ListNode1->setShortcut(QKeySequence(Qt::Key_F2));
    ListSubnodes1 = AddAction(View1, "ListSubnodes1", QStringLiteral("List Subnodes"), &TBrindleF::ListSubnodes1Click);
    ListSubnodes1->setShortcut(QKeySequence(Qt::Key_F3));

    Samples1 = addMenu("Samples1", QStringLiteral("&Samples"));

    Options1 = addMenu("Options1", QStringLiteral("&Options"));
    ShowMessages1 = AddAction(Options1, "ShowMessages1", QStringLiteral("Show &Messages"), nullptr);
    // A check item: choosing it toggles its check mark; off at start, not stored.
    ShowMessages1->setCheckable(true);
    ShowMessages1->setChecked(false);
    HintField1 = AddAction(Options1, "HintField1", QStringLiteral("&Hint Field..."), &TBrindleF::HintField1Click);
    CreateReadingControls();

    Tools1 = addMenu("Tools1", QStringLiteral("&Tools"));
    RunQuery1 = AddAction(Tools1, "RunQuery1", QStringLiteral("&Run Query"), &TBrindleF::cmdpathclick);
    RunQuery1->setShortcut(QKeySequence(Qt::Key_F9));
    RunNode1 = AddAction(Tools1, "RunNode1", QStringLiteral("Run &XEL"), &TBrindleF::RunNode1Click);
    RunNode1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
    Tools1->addSeparator()->setObjectName(QStringLiteral("N4"));
    LoadSamples1 =
        AddAction(Tools1, "LoadSamples1", QStringLiteral("&Load Samples"), &TBrindleF::LoadSamples1Click);

    Help1 = addMenu("Help1", QStringLiteral("&Help"));
    Contents1 = AddAction(Help1, "Contents1", QStringLiteral("&Contents"), &TBrindleF::Contents1Click);
    Contents1->setShortcut(QKeySequence(Qt::Key_F1));
    About1 = AddAction(Help1, "About1", QStringLiteral("&About"), &TBrindleF::About1Click);
}

void TBrindleF::CreatePopups()
{
    treepop = Named(new QMenu(tree), "treepop");
    AddChild1 = AddAction(treepop, "AddChild1", QStringLiteral("&Add Child"), &TBrindleF::AddChild1Click);
    Duplicate1 = AddAction(treepop, "Duplicate1", QStringLiteral("D&uplicate"), &TBrindleF::Duplicate1Click);
    Delete1 = AddAction(treepop, "Delete1", QStringLiteral("&Delete"), &TBrindleF::Delete1Click);
    treepop->addSeparator()->setObjectName(QStringLiteral("N2"));
    Rename1 = AddAction(treepop, "Rename1", QStringLiteral("&Rename"), &TBrindleF::Rename1Click);
    RenameInPlace1 =
        AddAction(treepop, "RenameInPlace1", QStringLiteral("Rename in &Place"), &TBrindleF::RenameInPlace1Click);
    treepop->addSeparator()->setObjectName(QStringLiteral("N5"));
    ExpandAll1 = AddAction(treepop, "ExpandAll1", QStringLiteral("Expand All"), &TBrindleF::ExpandAll1Click);
    CollapseAll1 = AddAction(treepop, "CollapseAll1", QStringLiteral("&Collapse All"), &TBrindleF::CollapseAll1Click);

    viewpop = Named(new QMenu(view), "viewpop");
    Addattribute1 = AddAction(viewpop, "Addattribute1", QStringLiteral("&Add attribute"), &TBrindleF::Addattribute1Click);
    Deleteattribute1 =
        AddAction(viewpop, "Deleteattribute1", QStringLiteral("&Delete attribute"), &TBrindleF::Deleteattribute1Click);
    viewpop->addSeparator()->setObjectName(QStringLiteral("N3"));
    Listby1 = AddAction(viewpop, "Listby1", QStringLiteral("List by"), &TBrindleF::ListByAttribute);

    selpop = Named(new QMenu(selection), "selpop");
    Listbytag1 = AddAction(selpop, "Listbytag1", QStringLiteral("List by tag"), &TBrindleF::ListByTag);
    Select1 = AddAction(selpop, "Select1", QStringLiteral("Select"), &TBrindleF::Select1Click);

    sourcepop = Named(new QMenu(sourceeditor), "sourcepop");
    LoadasDocument1 =
        AddAction(sourcepop, "LoadasDocument1", QStringLiteral("&Update Document"), &TBrindleF::LoadasDocument1Click);
    CreateSourceItems();

    auto attach = [](QAbstractScrollArea* owner, QMenu* menu) {
        QObject::connect(owner, &QWidget::customContextMenuRequested, menu,
                         [owner, menu](const QPoint& at) { menu->popup(owner->viewport()->mapToGlobal(at)); });
    };
    attach(tree, treepop);
    attach(view, viewpop);
    attach(selection, selpop);
    attach(sourceeditor, sourcepop);
}

void TBrindleF::CreateSourceItems()
{
    // The editing items show the keys the editor itself answers to; the search
    // items' keys work anywhere on the "Source" page.
    auto item = [this](const char* name, const QString& caption, const QKeySequence& key, auto* receiver, auto slot,
                       bool pageWide) {
        auto* action = Named(new QAction(caption, this), name);
        action->setShortcut(key);
        action->setShortcutContext(pageWide ? Qt::WidgetWithChildrenShortcut : Qt::WidgetShortcut);
        sourcepop->addAction(action);
        if (pageWide) sourceTab->addAction(action);
        connect(action, &QAction::triggered, receiver, slot);
        return action;
    };
    auto edit = [&item, this](const char* name, const QString& caption, const QKeySequence& key, auto slot) {
        return item(name, caption, key, sourceeditor, slot, false);
    };
    auto find = [&item, this](const char* name, const QString& caption, const QKeySequence& key, auto slot) {
        return item(name, caption, key, sourcefind, slot, true);
    };
    sourcepop->addSeparator()->setObjectName(QStringLiteral("N7"));
    UndoSource1 = edit("UndoSource1", QStringLiteral("Und&o"), QKeySequence::Undo, &TSourceEditor::undo);
    RedoSource1 = edit("RedoSource1", QStringLiteral("&Redo"), Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &TSourceEditor::redo);
    sourcepop->addSeparator()->setObjectName(QStringLiteral("N8"));
    CutSource1 = edit("CutSource1", QStringLiteral("Cu&t"), QKeySequence::Cut, &TSourceEditor::cut);
    CopySource1 = edit("CopySource1", QStringLiteral("&Copy"), QKeySequence::Copy, &TSourceEditor::copy);
    PasteSource1 = edit("PasteSource1", QStringLiteral("&Paste"), QKeySequence::Paste, &TSourceEditor::paste);
    sourcepop->addSeparator()->setObjectName(QStringLiteral("N9"));
    SelectAllSource1 = edit("SelectAllSource1", QStringLiteral("Select &All"), QKeySequence::SelectAll,
                            [this] { sourceeditor->selectAll(); });
    connect(sourcepop, &QMenu::aboutToShow, this, [this] {
        UndoSource1->setEnabled(sourceeditor->isUndoAvailable());
        RedoSource1->setEnabled(sourceeditor->isRedoAvailable());
        CutSource1->setEnabled(sourceeditor->hasSelectedText());
        CopySource1->setEnabled(sourceeditor->hasSelectedText());
    });

    sourcepop->addSeparator()->setObjectName(QStringLiteral("N10"));
    FindSource1 = find("FindSource1", QStringLiteral("&Find..."), Qt::CTRL | Qt::Key_F, &TSourceFindBar::Open);
    FindNextSource1 = find("FindNextSource1", QStringLiteral("Find &Next"), Qt::CTRL | Qt::Key_G,
                           [this] { sourcefind->Find(true); });
    FindPreviousSource1 = find("FindPreviousSource1", QStringLiteral("Find Pre&vious"), Qt::CTRL | Qt::SHIFT | Qt::Key_G,
                               [this] { sourcefind->Find(false); });
    connect(sourcefind, &TSourceFindBar::NotFound, this, [this](const QString& text) {
        StatusBar1->showMessage(QStringLiteral("\"%1\" was not found.").arg(text));
    });
}

void TBrindleF::ConnectHandlers()
{
    connect(tree, &QTreeView::expanded, this, [this](const QModelIndex& index) { RunCommand([&] { treeExpanded(index); }); });
    tree->installEventFilter(this);
    connect(tree->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (FTreeChangeAttached) RunCommand([this] { treeChange(); });
    });
    connect(selection->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { RunCommand([this] { selectionChange(); }); });
    connect(selection, &QAbstractItemView::clicked, this, [this] { RunCommand([this] { selectionChange(); }); });
    connect(editor, &QPlainTextEdit::textChanged, this, [this] {
        if (FEditorChangeAttached) RunCommand([this] { editorChange(); });
    });
    connect(book, &QTabWidget::currentChanged, this, [this] { RunCommand([this] { bookChange(); }); });
    FTreeModel->SetLabelEdit([this](const QModelIndex& item, const QString& label) { RenameItem(item, label); });
}
