#include "WindowFixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>

const char* const KLibraryXml =
    "<?xml version=\"1.0\"?>\n"
    "<library>\n"
    "  <shelf id=\"s1\">\n"
    "    <book id=\"b1\" lang=\"en\"><title>Alpha</title></book>\n"
    "    <book id=\"b2\"><title>Beta</title><year>2001</year></book>\n"
    "  </shelf>\n"
    "  <note>hello</note>\n"
    "</library>\n";

std::string Signature(const TqelXMLNode2* element)
{
    std::string result = element->Name;
    if (element->Attributes.Count() > 0) {
        result += '[';
        for (int i = 0; i < element->Attributes.Count(); ++i) {
            if (i > 0) result += ' ';
            result += element->Attributes[i]->Name + '=' + element->Attributes[i]->Value;
        }
        result += ']';
    }
    if (!element->Text.empty()) result += '"' + element->Text + '"';
    if (element->Children.Count() > 0) {
        result += '(';
        for (int i = 0; i < element->Children.Count(); ++i) {
            if (i > 0) result += ' ';
            result += Signature(element->Children[i]);
        }
        result += ')';
    }
    return result;
}

std::vector<std::string> Rows(const QAbstractItemModel& model)
{
    std::vector<std::string> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows.push_back(model.index(row, 0).data().toString().toStdString() + '|' +
                       model.index(row, 1).data().toString().toStdString());
    return rows;
}

std::string TWindowTest::SourceText() const
{
    Book()->setCurrentWidget(Find<QWidget>("sourceTab"));
    return Lf(Source()->Text().toStdString());
}

std::string TWindowTest::Lf(std::string text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) result += text[i];
    return result;
}

void TWindowTest::SetUp() { ASSERT_TRUE(Dir.isValid()); }

void TWindowTest::TearDown()
{
    if (Prompts) {
        EXPECT_EQ(Prompts->Unanswered, 0) << "questions nobody scripted";
        EXPECT_TRUE(Prompts->AllAnswered()) << "answers nobody asked for";
    }
    Prompts = nullptr;
    FTesters.clear();
    Window.reset();
}

void TWindowTest::Start(const QStringList& arguments)
{
    auto prompts = std::make_unique<TScriptedPrompts>();
    Prompts = prompts.get();
    TBrindleOptions options;
    options.AppDir = Dir.path();
    // The settings file is brindle.ini in the temporary folder.
    options.ExeName = Dir.filePath(QStringLiteral("brindle"));
    options.Arguments = arguments;
    options.Prompts = std::move(prompts);
    Window = std::make_unique<TBrindleF>(std::move(options));
    FTesters.push_back(std::make_unique<QAbstractItemModelTester>(
        &Window->TreeModel(), QAbstractItemModelTester::FailureReportingMode::Warning));
    FTesters.push_back(std::make_unique<QAbstractItemModelTester>(
        &Window->SelectionList(), QAbstractItemModelTester::FailureReportingMode::Warning));
    FTesters.push_back(std::make_unique<QAbstractItemModelTester>(
        &Window->AttributeList(), QAbstractItemModelTester::FailureReportingMode::Warning));
    Window->show();
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    // The start-up's opening runs once the window is on the screen.
    QCoreApplication::processEvents();
}

void TWindowTest::StartWith(std::string_view text, const QString& name) { Start({WriteFile(name, text)}); }

QString TWindowTest::WriteFile(const QString& name, std::string_view bytes) const
{
    const QString path = Dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

std::string TWindowTest::ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
}

void TWindowTest::Trigger(const char* actionName)
{
    QAction* action = Find<QAction>(actionName);
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled()) << actionName;
    action->trigger();
}

QModelIndex TWindowTest::Item(std::initializer_list<int> rows) const
{
    const QAbstractItemModel* model = Tree()->model();
    QModelIndex index = model->index(0, 0);
    for (int row : rows) index = model->index(row, 0, index);
    EXPECT_TRUE(index.isValid());
    return index;
}

void TWindowTest::ListItem(const QModelIndex& index)
{
    SelectItem(index);
    Trigger("ListNode1");
}

void TWindowTest::SelectItem(const QModelIndex& index) const
{
    Tree()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void TWindowTest::EditLabel(const QModelIndex& index, const QString& text) const
{
    Tree()->edit(index);
    auto* box = Tree()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(box, nullptr);
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
    QCoreApplication::processEvents();
}

std::string TWindowTest::SelectedLabel() const
{
    const QModelIndexList selected = Tree()->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? std::string() : selected.front().data().toString().toStdString();
}

namespace {

std::string LabelTree(const QAbstractItemModel& model, const QModelIndex& index)
{
    std::string result = index.data().toString().toStdString();
    const int rows = model.rowCount(index);
    if (rows == 0) return result;
    result += '(';
    for (int row = 0; row < rows; ++row) {
        if (row > 0) result += ' ';
        result += LabelTree(model, model.index(row, 0, index));
    }
    return result + ')';
}

}  // namespace

std::string TWindowTest::TreeSignature() const
{
    const QAbstractItemModel& model = *Tree()->model();
    if (model.rowCount() == 0) return {};
    return LabelTree(model, model.index(0, 0));
}

void TWindowTest::SelectRow(QTableView* list, int row) const
{
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int TWindowTest::SelectedRowOf(QTableView* list) const
{
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}
