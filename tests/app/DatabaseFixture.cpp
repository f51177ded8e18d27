#include "DatabaseFixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "TestFolder.h"

void TDatabaseTest::SetUp()
{
    TWindowTest::SetUp();
    TableFile = PathOf(QStringLiteral("inventory.xml"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(ExampleFile("inventory-table.xml")), TableFile));
    Start();
    Page = Window->findChild<TDatabasePage*>(QStringLiteral("dbtab"));
    ASSERT_NE(Page, nullptr);
    FGridTester = std::make_unique<QAbstractItemModelTester>(&Page->GridModel(),
                                                             QAbstractItemModelTester::FailureReportingMode::Warning);
    Find<QTabWidget>("book")->setCurrentWidget(Page);
    ShowRows(12);
}

void TDatabaseTest::TearDown()
{
    FGridTester.reset();
    TWindowTest::TearDown();
}

void TDatabaseTest::ShowRows(int rows)
{
    // The window grows or shrinks by the difference between the rows wanted and the rows shown.
    const int rowHeight = Grid().verticalHeader()->defaultSectionSize();
    const int shown = Grid().viewport()->height() / rowHeight;
    Grid().setFixedHeight(Grid().height() + (rows - shown) * rowHeight);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(Table().BufferCount(), rows);
}

void TDatabaseTest::OpenTable(const QString& path)
{
    Prompts->AnswerOpen(path);
    Trigger("cmddbopen");
    EXPECT_EQ(Asked(), std::vector<std::string>{"OpenDialog: Open XMLDB file|" + Dir.path().toStdString() +
                                                 "|XML Files (*.xml)|*.xml"});
}

std::string TDatabaseTest::Row(int row) const
{
    std::string text;
    for (int column = 0; column < Model().columnCount(); ++column) {
        if (column > 0) text += '|';
        text += Model().index(row, column).data().toString().toStdString();
    }
    return text;
}

std::string TDatabaseTest::Columns() const
{
    std::string text;
    for (int column = 0; column < Model().columnCount(); ++column) {
        if (column > 0) text += '|';
        text += Model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
    }
    return text;
}

std::string TDatabaseTest::FieldNames() const
{
    std::string text;
    for (const auto& field : Table().Fields()) text += (text.empty() ? "" : "|") + field->FieldName();
    return text;
}

void TDatabaseTest::SelectField(const char* name)
{
    const TField* field = Table().FindField(name);
    ASSERT_NE(field, nullptr) << name;
    Grid().SelectColumn(field->FieldNo() - 1);
    ASSERT_EQ(Page->SelectedField(), field);
}

bool TDatabaseTest::Click(TDBNavigator::TNavigateBtn button)
{
    QToolButton* control = Page->Navigator().Button(button);
    if (!control->isEnabled()) return false;
    control->click();
    return true;
}

std::string TDatabaseTest::EnabledButtons() const
{
    static const char* const names[] = {"first", "prior", "next", "last",   "insert",
                                        "delete", "edit", "post", "cancel", "refresh"};
    std::string text;
    for (int i = 0; i < TDBNavigator::ButtonCount; ++i)
        if (Page->Navigator().Button(static_cast<TDBNavigator::TNavigateBtn>(i))->isEnabled())
            text += (text.empty() ? "" : " ") + std::string(names[i]);
    return text;
}

namespace {

template <class D>
void AnswerWith(TScriptedPrompts& prompts, const std::function<bool(D&)>& fill)
{
    prompts.AnswerDialog([fill](QDialog& dialog) {
        auto* typed = dynamic_cast<D*>(&dialog);
        ASSERT_NE(typed, nullptr) << dialog.objectName().toStdString();
        (fill(*typed) ? typed->cmdOK : typed->cmdCancel)->click();
    });
}

}  // namespace

void TDatabaseTest::AnswerFieldDialog(const std::function<bool(TXMLDBFieldF&)>& fill) { AnswerWith(*Prompts, fill); }

void TDatabaseTest::AnswerMemoDialog(const std::function<bool(TMemoEditF&)>& fill) { AnswerWith(*Prompts, fill); }
