// The Database page: its controls, the table commands and the field commands.

#include "app/DatabasePage.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStatusBar>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include <stdexcept>

#include "app/BrindleU.h"
#include "app/DBGrid.h"
#include "app/DBNavigator.h"
#include "app/DataGridModel.h"
#include "app/DataSource.h"
#include "app/DialogParts.h"
#include "app/HandlerGuards.h"
#include "app/TMemoEditU.h"
#include "app/XMLDBFieldU.h"

// The icons shipped for desktops whose icon theme lacks them live in a resource
// of this library, which a static library must register itself.
static void InitDatabaseIcons() { Q_INIT_RESOURCE(DatabaseIcons); }

namespace {

const QString KTableFilter = QStringLiteral("XML Files (*.xml)|*.xml");

// The tool bar's images, in the order of their indexes.
struct TToolImage {
    const char* ThemeIcon;
    const char* Fallback;
};
constexpr TToolImage ImageList1[] = {
    {"document-open", ":/icons/db-open.png"},
    {"window-close", ":/icons/db-close.png"},
    {"accessories-text-editor", ":/icons/db-memo.png"},
    {"document-save", ":/icons/db-save.png"},
};

QIcon ToolImage(int index)
{
    const TToolImage& image = ImageList1[index];
    return QIcon::fromTheme(QString::fromLatin1(image.ThemeIcon), QIcon(QString::fromLatin1(image.Fallback)));
}

}  // namespace

TDatabasePage::TDatabasePage(TBrindleF& window, QWidget* parent)
    : QWidget(parent), FWindow(window), xmldb(std::make_unique<TqelXMLDataSet2>())
{
    InitDatabaseIcons();
    // Both dialogs are made once, with the window as owner so that they appear
    // centred over it, and keep their contents from one use to the next.
    XMLDBFieldF = new TXMLDBFieldF(&window);
    MemoEditF = new TMemoEditF(&window);
    CreateControls();
}

TDatabasePage::~TDatabasePage()
{
    // The views and the data source observe the table, which goes with the members.
    delete dbgrid;
    delete DBNavigator1;
    delete FGridModel;
    delete DataSource1;
}

QAction* TDatabasePage::AddCommand(QWidget* owner, const char* name, const QString& caption,
                                   void (TDatabasePage::*handler)())
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    owner->addAction(action);
    connect(action, &QAction::triggered, this, [this, handler] { Run([this, handler] { (this->*handler)(); }); });
    return action;
}

bool TDatabasePage::Run(const std::function<void()>& command) { return FWindow.RunCommand(command); }

void TDatabasePage::CreateControls()
{
    const auto guard = [this](const std::function<void()>& command) { return Run(command); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = Named(new QToolBar(this), "ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setIconSize(QSize(DesignedSize(*this, 20), DesignedSize(*this, 20)));
    ToolBar1->setFixedHeight(DesignedSize(*this, 29) + 4);
    ToolBar1->addSeparator()->setObjectName(QStringLiteral("ToolButton1"));
    cmddbopen = AddCommand(ToolBar1, "cmddbopen", QStringLiteral("Open table"), &TDatabasePage::cmddbopenClick);
    cmddbopen->setIcon(ToolImage(0));
    cmdSave = AddCommand(ToolBar1, "cmdSave", QStringLiteral("Save table"), &TDatabasePage::cmdSaveClick);
    cmdSave->setIcon(ToolImage(3));
    cmddbclose = AddCommand(ToolBar1, "cmddbclose", QStringLiteral("Close table"), &TDatabasePage::cmddbcloseClick);
    cmddbclose->setIcon(ToolImage(1));
    ToolBar1->addSeparator()->setObjectName(QStringLiteral("ToolButton2"));
    cmdMemo = AddCommand(ToolBar1, "cmdMemo", QStringLiteral("Edit memo field"), &TDatabasePage::cmdMemoClick);
    cmdMemo->setIcon(ToolImage(2));
    cmdMemo->setToolTip(QStringLiteral("Edit memo field"));
    cmdMemo->setStatusTip(QStringLiteral("Edit memo field"));
    layout->addWidget(ToolBar1);

    DataSource1 = new TDataSource(*xmldb, this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    FGridModel = new TDataGridModel(*DataSource1, FCodec, this);
    FGridModel->SetCommandGuard(guard);
    dbgrid = Named(new TDBGrid(this), "dbgrid");
    dbgrid->SetCommandGuard(guard);
    dbgrid->SetDataModel(FGridModel, DataSource1);
    layout->addWidget(dbgrid, 1);

    gridpop = Named(new QMenu(dbgrid), "gridpop");
    AddField1 = AddCommand(gridpop, "AddField1", QStringLiteral("&Add Field..."), &TDatabasePage::AddField1Click);
    DeleteField1 =
        AddCommand(gridpop, "DeleteField1", QStringLiteral("&Delete Field..."), &TDatabasePage::DeleteField1Click);
    RenameField1 =
        AddCommand(gridpop, "RenameField1", QStringLiteral("&Change Field..."), &TDatabasePage::RenameField1Click);
    connect(dbgrid, &QWidget::customContextMenuRequested, gridpop,
            [this](const QPoint& at) { gridpop->popup(dbgrid->viewport()->mapToGlobal(at)); });

    Panel2 = Named(new QWidget(this), "Panel2");
    Panel2->setFixedHeight(DesignedSize(*this, 41));
    auto* panelLayout = new QHBoxLayout(Panel2);
    panelLayout->setContentsMargins(DesignedSize(*this, 8), 0, 0, 0);
    DBNavigator1 = Named(new TDBNavigator(Panel2), "DBNavigator1");
    DBNavigator1->setFixedSize(DesignedSize(*this, 240), DesignedSize(*this, 25));
    DBNavigator1->SetCommandGuard(guard);
    DBNavigator1->SetConfirmDelete([this](const QString& text) { return FWindow.Prompts().AskYesNo(text); });
    DBNavigator1->SetBeforeAction([this] { dbgrid->CommitEdit(); });
    DBNavigator1->SetDataSource(DataSource1);
    panelLayout->addWidget(DBNavigator1);
    TableFile = Named(new QLabel(Panel2), "TableFile");
    TableFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panelLayout->addSpacing(DesignedSize(*this, 8));
    panelLayout->addWidget(TableFile, 1);
    connect(DataSource1, &TDataSource::stateChanged, this, [this] { ShowTableFile(); });
    layout->addWidget(Panel2);
}

void TDatabasePage::ShowTableFile()
{
    const QString file = xmldb->Active() ? QFile::decodeName(QByteArray::fromStdString(xmldb->XMLFile())) : QString();
    TableFile->setText(file.isEmpty() ? QString() : QFileInfo(file).fileName());
    TableFile->setToolTip(file);
}

TField* TDatabasePage::SelectedField() const { return dbgrid->SelectedField(); }

TField& TDatabasePage::RequireSelectedField() const
{
    TField* field = SelectedField();
    if (!field) throw std::runtime_error("You did not select a field.");
    return *field;
}

void TDatabasePage::PostPending()
{
    dbgrid->CommitEdit();
    if (xmldb->Active()) xmldb->CheckBrowseMode();
}

void TDatabasePage::CloseTable()
{
    PostPending();
    xmldb->Close();
}

void TDatabasePage::FormClose() { CloseTable(); }

// ---- tool bar ----

void TDatabasePage::cmddbopenClick()
{
    const auto file = FWindow.Prompts().OpenDialog({QStringLiteral("Open XMLDB file"), FWindow.InitialDir(), KTableFilter});
    if (!file) return;
    CloseTable();
    xmldb->SetXMLFile(TBrindleF::FileNameBytes(*file));
    const TqelXMLParser2& document = xmldb->TableDoc();
    FCodec = TTextCodec::ForDocument(document.Declaration->GetAttribute("encoding"), document.Source);
    {
        TBusyCursor busy;
        xmldb->Open();
    }
    ReportTable(QStringLiteral("Opened table"));
}

void TDatabasePage::cmdSaveClick()
{
    PostPending();
    TBusyCursor busy;
    if (!xmldb->SaveTable()) throw std::runtime_error("Can not save the XML database.");
    ReportTable(QStringLiteral("Saved table"));
}

void TDatabasePage::ReportTable(const QString& done)
{
    const QString file = QFile::decodeName(QByteArray::fromStdString(xmldb->XMLFile()));
    FWindow.statusBar()->showMessage(QStringLiteral("%1 %2: %3").arg(done, QFileInfo(file).fileName(),
                                                                     TBrindleF::CountOf(xmldb->RecordCount(), "record")));
}

void TDatabasePage::cmddbcloseClick() { CloseTable(); }

void TDatabasePage::cmdMemoClick()
{
    TField* field = SelectedField();
    if (!field || field->DataType() != TFieldType::ftMemo) return;
    const std::string name = field->FieldName();
    dbgrid->CommitEdit();
    MemoEditF->SetText(FCodec.Decode(xmldb->FieldByName(name).AsString()));
    if (!FWindow.Prompts().ShowModal(*MemoEditF)) return;
    TField& memo = xmldb->FieldByName(name);
    xmldb->Edit();
    memo.SetAsString(FCodec.Encode(MemoEditF->Text()));
    xmldb->Post();
}

// ---- field commands ----

bool TDatabasePage::ReportClosedTable()
{
    if (xmldb->Active()) return false;
    // The closed table's document still holds its definitions: a field command
    // would bring it back without a file to write it to.
    FWindow.Prompts().Message(QStringLiteral("No table is open."));
    return true;
}

void TDatabasePage::AddField1Click()
{
    if (ReportClosedTable()) return;
    if (!FWindow.Prompts().ShowModal(*XMLDBFieldF)) return;
    PostPending();
    xmldb->AddField(FCodec.Encode(XMLDBFieldF->FieldName()), XMLDBFieldF->FieldType(), XMLDBFieldF->FieldSize());
}

void TDatabasePage::DeleteField1Click()
{
    if (ReportClosedTable()) return;
    const std::string name = RequireSelectedField().FieldName();
    const QString question =
        QStringLiteral("Are you sure you want to delete the field \"") + FCodec.Decode(name) + QStringLiteral("\"?");
    if (!FWindow.Prompts().AskYesNo(question)) return;
    PostPending();
    xmldb->DeleteField(name);
}

void TDatabasePage::RenameField1Click()
{
    if (ReportClosedTable()) return;
    const TField& field = RequireSelectedField();
    const std::string oldName = field.FieldName();
    XMLDBFieldF->SetFieldName(FCodec.Decode(oldName));
    XMLDBFieldF->SetFieldSize(field.Size());
    XMLDBFieldF->SetFieldType(field.DataType());
    if (!FWindow.Prompts().ShowModal(*XMLDBFieldF)) return;
    PostPending();
    xmldb->ChangeField(oldName, FCodec.Encode(XMLDBFieldF->FieldName()), XMLDBFieldF->FieldType(),
                       XMLDBFieldF->FieldSize());
}
