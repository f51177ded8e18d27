// The Database page's commands: the field dialog's Add, Delete and Change
// Field, the memo dialog, saving and closing the table, and the two dialogs
// on their own.

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "DatabaseFixture.h"

namespace {

const std::vector<std::string> KAskedFieldDialog = {"ShowModal: XMLDBFieldF"};
const std::vector<std::string> KNoTable = {"Message: No table is open."};
const std::vector<std::string> KCannotSave = {"ErrorBox: Can not save the XML database."};

}  // namespace

// ---- the field dialog ----

TEST_F(TDatabaseTest, FieldDialogStartsEmptyWithItsSevenTypes)
{
    TXMLDBFieldF& dialog = Page->FieldDialog();
    EXPECT_EQ(dialog.windowTitle(), "XMLDB Field");
    EXPECT_EQ(dialog.parentWidget(), Window.get());
    QStringList entries;
    for (int i = 0; i < dialog.cbFieldType->count(); ++i) entries << dialog.cbFieldType->itemText(i);
    EXPECT_EQ(entries.join('|'), "string|integer|float|date|datetime|boolean|memo");
    EXPECT_EQ(dialog.cbFieldType->currentIndex(), -1);
    EXPECT_EQ(dialog.FieldName(), "");
    EXPECT_EQ(dialog.FieldType(), TFieldType::ftString);
    EXPECT_EQ(dialog.FieldSize(), 30);
}

// The properties read and write the boxes as the commands need them.
TEST_F(TDatabaseTest, FieldDialogPropertiesConvertTheirBoxes)
{
    TXMLDBFieldF& dialog = Page->FieldDialog();
    // Size: a decimal integer, blanks around allowed; anything else is 30.
    const std::pair<const char*, int> sizes[] = {{"12", 12}, {" 7 ", 7}, {"-3", -3}, {"", 30}, {"abc", 30},
                                                 {"1.5", 30}, {"99999999999", 30}};
    for (const auto& [text, size] : sizes) {
        dialog.edFieldSize->setText(QString::fromLatin1(text));
        EXPECT_EQ(dialog.FieldSize(), size) << text;
    }
    dialog.SetFieldSize(0);
    EXPECT_EQ(dialog.edFieldSize->text(), "0");
    // Type: every type shows its own entry and reads back unchanged.
    const std::pair<TFieldType, const char*> types[] = {{TFieldType::ftMemo, "memo"},
                                                        {TFieldType::ftDateTime, "datetime"},
                                                        {TFieldType::ftDate, "date"},
                                                        {TFieldType::ftBoolean, "boolean"}};
    for (const auto& [type, entry] : types) {
        dialog.SetFieldType(type);
        EXPECT_EQ(dialog.cbFieldType->currentText(), entry);
        EXPECT_EQ(dialog.FieldType(), type);
    }
    // Typed text counts only when it is one of the entries.
    dialog.cbFieldType->setEditText(QStringLiteral("integer"));
    EXPECT_EQ(dialog.FieldType(), TFieldType::ftInteger);
    dialog.cbFieldType->setEditText(QStringLiteral("dates"));
    EXPECT_EQ(dialog.FieldType(), TFieldType::ftString);
    dialog.cbFieldType->setEditText(QStringLiteral("Integer"));
    EXPECT_EQ(dialog.FieldType(), TFieldType::ftString);
}

// Neither Enter nor Escape closes the field dialog; its buttons, drawn as
// buttons, and its title bar do.
TEST_F(TDatabaseTest, FieldDialogClosesOnlyByItsButtons)
{
    TXMLDBFieldF& dialog = Page->FieldDialog();
    EXPECT_FALSE(dialog.cmdOK->isFlat());
    EXPECT_FALSE(dialog.cmdCancel->isFlat());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(dialog.edFieldName, Qt::Key_Return);
    QTest::keyClick(dialog.edFieldName, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.show();
    dialog.cmdOK->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// ---- Add, Delete and Change Field ----

// An empty size gives 30 and no chosen type gives a string field.
TEST_F(TDatabaseTest, AddFieldWithTheDialogsDefaults)
{
    OpenExample();
    AnswerFieldDialog([](TXMLDBFieldF& dialog) {
        dialog.edFieldName->setText(QStringLiteral("isbn"));
        dialog.edFieldSize->clear();
        return true;
    });
    Trigger("AddField1");
    EXPECT_EQ(Asked(), KAskedFieldDialog);
    EXPECT_EQ(Columns(), "title|stock|price|available|released|checked|notes|isbn");
    const TField& isbn = Table().FieldByName("isbn");
    EXPECT_EQ(isbn.DataType(), TFieldType::ftString);
    EXPECT_EQ(isbn.Size(), 30);
    EXPECT_EQ(Model().rowCount(), 4);
    // The close before the reopening wrote the new definition.
    EXPECT_NE(TableText().find("<isbn size='30' type='string'/>"), std::string::npos);
}

// After each field command the table still writes its file: an edit made
// afterwards reaches the file when the table closes, and the page names the file.
TEST_F(TDatabaseTest, FieldCommandsKeepTheTablesFile)
{
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"AddField1", [this] { AnswerFieldDialog([](TXMLDBFieldF& dialog) {
             dialog.edFieldName->setText(QStringLiteral("isbn"));
             return true;
         }); }},
        {"DeleteField1", [this] { SelectField("notes"); Prompts->AnswerYesNo(true); }},
        {"RenameField1", [this] { SelectField("checked"); AnswerFieldDialog([](TXMLDBFieldF&) { return true; }); }},
    };
    auto* shown = Find<QLabel>("TableFile");
    int price = 3;
    for (const auto& [command, answer] : commands) {
        const std::string edited = std::to_string(++price) + ".25";
        OpenExample();
        answer();
        Trigger(command);
        Asked();
        EXPECT_EQ(shown->text(), QFileInfo(TableFile).fileName()) << command;
        ASSERT_TRUE(Model().setData(Model().index(0, 2), QString::fromStdString(edited), Qt::EditRole)) << command;
        Trigger("cmddbclose");  // posts the edit, then writes the file
        EXPECT_NE(TableText().find("<price>" + edited + "</price>"), std::string::npos) << command;
        EXPECT_EQ(shown->text(), "") << command;
    }
}

// Field commands on a closed table say so and do nothing: the closed table
// does not come back.
TEST_F(TDatabaseTest, FieldCommandsOnAClosedTable)
{
    OpenExample();
    Trigger("cmddbclose");
    const std::string written = TableText();
    for (const char* command : {"AddField1", "DeleteField1", "RenameField1"}) {
        Trigger(command);
        EXPECT_EQ(Asked(), KNoTable) << command;
        EXPECT_FALSE(Table().Active()) << command;
    }
    EXPECT_EQ(TableText(), written);
}

// The dialog keeps what it held; Cancel changes nothing; a refused name is reported.
TEST_F(TDatabaseTest, AddFieldKeepsTheDialogsContents)
{
    OpenExample();
    AnswerFieldDialog([](TXMLDBFieldF& dialog) {
        dialog.edFieldName->setText(QStringLiteral("pages"));
        dialog.cbFieldType->setCurrentIndex(1);
        return false;
    });
    Trigger("AddField1");
    Asked();
    EXPECT_EQ(Table().FindField("pages"), nullptr);
    AnswerFieldDialog([](TXMLDBFieldF& dialog) {
        EXPECT_EQ(dialog.FieldName(), "pages");
        EXPECT_EQ(dialog.FieldType(), TFieldType::ftInteger);
        return true;
    });
    Trigger("AddField1");
    Asked();
    EXPECT_EQ(Table().FieldByName("pages").DataType(), TFieldType::ftInteger);
    EXPECT_EQ(Row(0).substr(Row(0).rfind('|')), "|0");
    AnswerFieldDialog([](TXMLDBFieldF&) { return true; });
    Trigger("AddField1");
    EXPECT_EQ(Asked(), (std::vector<std::string>{"ShowModal: XMLDBFieldF", "ErrorBox: A field named \"pages\" already exists"}));
    EXPECT_EQ(FieldNames(), "title|stock|price|available|released|checked|notes|pages");
}

// Delete Field asks about the selected field; No keeps it, Yes removes the
// definition and leaves the values in the records.
TEST_F(TDatabaseTest, DeleteFieldAnsweredNoThenYes)
{
    Trigger("DeleteField1");
    EXPECT_EQ(Asked(), KNoTable);
    OpenExample();
    SelectField("price");
    Prompts->AnswerYesNo(false);
    Trigger("DeleteField1");
    EXPECT_EQ(Asked(), std::vector<std::string>{"AskYesNo: Are you sure you want to delete the field \"price\"?"});
    EXPECT_EQ(FieldNames(), "title|stock|price|available|released|checked|notes");
    Prompts->AnswerYesNo(true);
    Trigger("DeleteField1");
    Asked();
    EXPECT_EQ(Columns(), "title|stock|available|released|checked|notes");
    // The grid keeps the column position: the field after the deleted one is selected.
    EXPECT_EQ(Page->SelectedField(), Table().FindField("available"));
    const std::string written = TableText();
    EXPECT_EQ(written.find("<price type="), std::string::npos);
    EXPECT_NE(written.find("<price>12.5</price>"), std::string::npos);
}

// Change Field fills the dialog from the selected field, a date field with
// "date": OK without changes leaves the field and its values as they were.
TEST_F(TDatabaseTest, ChangeFieldOfADateField)
{
    Trigger("RenameField1");
    EXPECT_EQ(Asked(), KNoTable);
    OpenExample();
    SelectField("released");
    const std::string row = Row(0);
    AnswerFieldDialog([](TXMLDBFieldF& dialog) {
        EXPECT_EQ(dialog.FieldName(), "released");
        EXPECT_EQ(dialog.cbFieldType->currentText(), "date");
        return true;
    });
    Trigger("RenameField1");
    EXPECT_EQ(Asked(), KAskedFieldDialog);
    EXPECT_EQ(Table().FieldByName("released").DataType(), TFieldType::ftDate);
    EXPECT_EQ(Row(0), row);
    EXPECT_NE(TableText().find("<released>1998-04-17</released>"), std::string::npos);
}

// Change Field to another type converts the stored values; Cancel changes nothing.
TEST_F(TDatabaseTest, ChangeFieldConvertsOrCancels)
{
    OpenExample();
    SelectField("stock");
    AnswerFieldDialog([](TXMLDBFieldF& dialog) {
        dialog.cbFieldType->setCurrentText(QStringLiteral("boolean"));
        return false;
    });
    Trigger("RenameField1");
    Asked();
    EXPECT_EQ(Table().FieldByName("stock").DataType(), TFieldType::ftInteger);
    AnswerFieldDialog([](TXMLDBFieldF& dialog) {
        EXPECT_EQ(dialog.cbFieldType->currentText(), "integer");
        dialog.cbFieldType->setCurrentText(QStringLiteral("boolean"));
        return true;
    });
    Trigger("RenameField1");
    Asked();
    EXPECT_EQ(Table().FieldByName("stock").DataType(), TFieldType::ftBoolean);
    // "0" stays false, every other value becomes true.
    EXPECT_EQ(Row(0).substr(0, 27), "The Lighthouse Keeper|True|");
    EXPECT_EQ(Row(1).substr(0, 21), "Winter Orchard|False|");
}

// ---- the memo dialog ----

TEST_F(TDatabaseTest, MemoDialogEditsTheSelectedMemoField)
{
    EXPECT_EQ(Page->MemoDialog().windowTitle(), "MemoEditF");
    // Without a table, and on a field that is no memo, the button does nothing.
    Trigger("cmdMemo");
    OpenExample();
    SelectField("title");
    Trigger("cmdMemo");
    EXPECT_EQ(Asked(), std::vector<std::string>{});

    SelectField("notes");
    AnswerMemoDialog([](TMemoEditF& dialog) {
        EXPECT_EQ(dialog.Text(), "Paperback, second printing.");
        dialog.RichEdit1->setPlainText(QStringLiteral("Paperback.\nSecond printing."));
        return false;
    });
    Trigger("cmdMemo");
    EXPECT_EQ(Asked(), std::vector<std::string>{"ShowModal: MemoEditF"});
    EXPECT_EQ(Table().State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Table().FieldByName("notes").AsString(), "Paperback, second printing.");

    AnswerMemoDialog([](TMemoEditF& dialog) {
        // The dialog shows the record's text again, not what the cancelled use left.
        EXPECT_EQ(dialog.Text(), "Paperback, second printing.");
        dialog.RichEdit1->setPlainText(QStringLiteral("Paperback.\nSecond printing."));
        return true;
    });
    Trigger("cmdMemo");
    Asked();
    EXPECT_EQ(Table().State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Table().FieldByName("notes").AsString(), "Paperback.\nSecond printing.");
    EXPECT_EQ(Row(0).substr(Row(0).rfind('|') + 1), "Paperback.\nSecond printing.");
}

// ---- saving and closing ----

TEST_F(TDatabaseTest, SaveWritesTheOpenTableOrReportsThatItCannot)
{
    Trigger("cmdSave");
    EXPECT_EQ(Asked(), KCannotSave);
    OpenExample();
    EXPECT_EQ(Window->statusBar()->currentMessage(), QStringLiteral("Opened table inventory.xml: 4 records"));
    // A change that is not posted yet is posted by the save.
    ASSERT_TRUE(Model().setData(Model().index(0, 1), QStringLiteral("6"), Qt::EditRole));
    Trigger("cmdSave");
    EXPECT_EQ(Asked(), std::vector<std::string>{});
    EXPECT_EQ(Table().State(), TDataSetState::dsBrowse);
    EXPECT_NE(TableText().find("<stock>6</stock>"), std::string::npos);
    EXPECT_EQ(Window->statusBar()->currentMessage(), QStringLiteral("Saved table inventory.xml: 4 records"));
    // The file deleted on disk: nothing to save to; the data stay in memory.
    ASSERT_TRUE(QFile::remove(TableFile));
    Trigger("cmdSave");
    EXPECT_EQ(Asked(), KCannotSave);
    EXPECT_EQ(Row(0).substr(0, 24), "The Lighthouse Keeper|6|");
}

// Opening another table closes the first, which writes its file.
TEST_F(TDatabaseTest, OpeningAnotherTableWritesTheFirst)
{
    OpenExample();
    ASSERT_TRUE(Model().setData(Model().index(0, 0), QStringLiteral("Beacon"), Qt::EditRole));
    const QString other = WriteFile(QStringLiteral("other.xml"), "<t><fields><a/></fields><rows><r><a>x</a></r></rows></t>");
    OpenTable(other);
    EXPECT_EQ(Row(0), "x");
    EXPECT_NE(TableText().find("<title>Beacon</title>"), std::string::npos);
    // A file that is no table is refused and the page shows nothing.
    const QString plain = WriteFile(QStringLiteral("plain.xml"), "<t><rows/></t>");
    Prompts->AnswerOpen(plain);
    Trigger("cmddbopen");
    ASSERT_EQ(Asked().size(), 2u);
    EXPECT_FALSE(Table().Active());
    EXPECT_EQ(Model().columnCount(), 0);
    EXPECT_EQ(ReadFile(other).find("<a>x</a>") != std::string::npos, true);
}

// Closing the window closes the table: a pending edit is posted and the file written.
TEST_F(TDatabaseTest, ClosingTheWindowWritesTheTable)
{
    OpenExample();
    ASSERT_TRUE(Model().setData(Model().index(2, 2), QStringLiteral("16.5"), Qt::EditRole));
    EXPECT_EQ(TableText().find("<price>16.5</price>"), std::string::npos);
    EXPECT_TRUE(Window->close());
    EXPECT_FALSE(Table().Active());
    EXPECT_NE(TableText().find("<price>16.5</price>"), std::string::npos);
    EXPECT_EQ(Asked(), std::vector<std::string>{});
}

// The table button closes the table and writes it; the page shows nothing afterwards.
TEST_F(TDatabaseTest, CloseButtonWritesTheTable)
{
    OpenExample();
    ASSERT_TRUE(Model().setData(Model().index(1, 3), true, Qt::EditRole));
    Trigger("cmddbclose");
    EXPECT_FALSE(Table().Active());
    EXPECT_EQ(Model().rowCount(), 0);
    EXPECT_EQ(Page->SelectedField(), nullptr);
    const std::string written = TableText();
    const std::size_t second = written.find("Winter Orchard");
    EXPECT_NE(written.find("<available>1</available>", second), std::string::npos);
}
