// The attribute list: adding and deleting attributes of the selected row's
// element, and editing names and values in place with InEdit.

#include <QLineEdit>
#include <QTest>

#include "WindowFixture.h"

namespace {

using TRows = std::vector<std::string>;

class TAttributeTest : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        StartWith(KLibraryXml);
    }
    std::vector<std::string> AttributeRows() const { return Rows(*Attributes()->model()); }
    QLineEdit* InEdit() const { return Find<QLineEdit>("InEdit"); }
    // Clicks a cell of the attribute list as a person would.
    void ClickCell(int row, int column)
    {
        const QRect cell = Attributes()->visualRect(Attributes()->model()->index(row, column));
        QTest::mouseClick(Attributes()->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

// The first attribute of an element gets an empty value, later ones "value";
// a name already listed, in any letter case, is refused silently.
TEST_F(TAttributeTest, AddAttribute)
{
    ListItem(Item({1}));
    TqelXMLNode2* note = ElementOf(Item({1}));
    for (const char* name : {"id", "class", "ID"}) Prompts->AnswerInput(QString::fromLatin1(name));
    for (int i = 0; i < 3; ++i) Trigger("Addattribute1");
    EXPECT_EQ(AttributeRows(), (TRows{"id|", "class|value"}));
    EXPECT_EQ(Signature(note), "note[id= class=value]\"hello\"");
    EXPECT_EQ(Asked(), TRows(3, "InputBox: Attributes|Enter attribute name:|"));
    // The rows refer to the element's attributes: a later edit reaches them.
    SelectRow(Attributes(), 1);
    ClickCell(1, 1);
    InEdit()->setText(QStringLiteral("big"));
    QTest::keyClick(InEdit(), Qt::Key_Return);
    EXPECT_EQ(note->GetAttribute("class"), "big");
}

// Cancel, an empty name or no selected row add nothing.
TEST_F(TAttributeTest, AddAttributePreconditions)
{
    Trigger("Addattribute1");  // no row: nothing asked
    ListItem(Item({1}));
    Prompts->AnswerInput(std::nullopt);
    Trigger("Addattribute1");
    Prompts->AnswerInput(QString());
    Trigger("Addattribute1");
    EXPECT_EQ(Asked().size(), 2u);
    EXPECT_EQ(ElementOf(Item({1}))->Attributes.Count(), 0);
    EXPECT_TRUE(AttributeRows().empty());
}

// Only Yes deletes an attribute; No, and a box closed without an answer, keep it.
TEST_F(TAttributeTest, DeleteAttributeNeedsYes)
{
    ListItem(Item({0, 0}));
    TqelXMLNode2* book = ElementOf(Item({0, 0}));
    Trigger("Deleteattribute1");  // no attribute row: nothing asked
    SelectRow(Attributes(), 1);
    Prompts->AnswerYesNo(false);
    Trigger("Deleteattribute1");
    EXPECT_EQ(Signature(book).substr(0, 16), "book[id=b1 lang=");
    Trigger("Deleteattribute1");  // unanswered: the box was closed
    EXPECT_EQ(Prompts->Unanswered, 1);
    Prompts->Unanswered = 0;
    EXPECT_EQ(book->Attributes.Count(), 2);
    Prompts->AnswerYesNo(true);
    Trigger("Deleteattribute1");
    EXPECT_EQ(Asked(), TRows(3, "AskYesNo: Are you sure you want to delete lang?"));
    EXPECT_EQ(Signature(book), "book[id=b1](title\"Alpha\")");
    EXPECT_EQ(AttributeRows(), TRows{"id|b1"});
}

// A click on a name cell opens the box over the name with the name as text;
// Enter renames the attribute and ends the edit.
TEST_F(TAttributeTest, InPlaceNameEdit)
{
    ListItem(Item({0, 0}));
    ClickCell(0, 0);
    ASSERT_TRUE(InEdit()->isVisible());
    EXPECT_TRUE(InEdit()->hasFocus());
    EXPECT_EQ(InEdit()->text(), QStringLiteral("id"));
    const QRect cell = Attributes()->visualRect(Attributes()->model()->index(0, 0));
    const QPoint expected = Attributes()->viewport()->mapTo(InEdit()->parentWidget(), QPoint(0, cell.top()));
    EXPECT_EQ(InEdit()->pos(), expected);
    // It covers the whole cell, so the old name does not show beside it.
    EXPECT_EQ(InEdit()->width(), cell.width());
    EXPECT_GE(InEdit()->height(), cell.height());
    InEdit()->setText(QStringLiteral("key"));
    QTest::keyClick(InEdit(), Qt::Key_Return);
    EXPECT_FALSE(InEdit()->isVisible());
    EXPECT_TRUE(Attributes()->hasFocus());
    EXPECT_EQ(Signature(ElementOf(Item({0, 0}))).substr(0, 19), "book[key=b1 lang=en");
    EXPECT_EQ(AttributeRows(), (TRows{"key|b1", "lang|en"}));
}

// A click on a value cell edits the value; Escape and leaving the box discard
// the edit.
TEST_F(TAttributeTest, InPlaceValueEdit)
{
    ListItem(Item({0, 0}));
    TqelXMLNode2* book = ElementOf(Item({0, 0}));
    ClickCell(1, 1);
    ASSERT_TRUE(InEdit()->isVisible());
    EXPECT_EQ(InEdit()->text(), QStringLiteral("en"));
    EXPECT_EQ(InEdit()->x(), Attributes()->viewport()->mapTo(InEdit()->parentWidget(),
                                                             QPoint(Attributes()->columnWidth(0), 0)).x());
    EXPECT_GE(InEdit()->width(), Attributes()->columnWidth(1));
    InEdit()->setText(QStringLiteral("fr"));
    QTest::keyClick(InEdit(), Qt::Key_Escape);
    EXPECT_FALSE(InEdit()->isVisible());
    EXPECT_EQ(book->GetAttribute("lang"), "en");

    ClickCell(1, 1);
    InEdit()->setText(QStringLiteral("fr"));
    Editor()->setFocus();
    EXPECT_FALSE(InEdit()->isVisible());
    EXPECT_EQ(book->GetAttribute("lang"), "en");

    ClickCell(1, 1);
    InEdit()->setText(QString());
    QTest::keyClick(InEdit(), Qt::Key_Enter);
    EXPECT_EQ(book->GetAttribute("lang"), "");
    EXPECT_TRUE(book->HasAttribute("lang"));
    EXPECT_EQ(AttributeRows(), (TRows{"id|b1", "lang|"}));
}

// A value that could not be saved and read back is refused with the reason; the
// attribute keeps its value.
TEST_F(TAttributeTest, InPlaceValueEditRefusesWhatCannotBeReadBack)
{
    ListItem(Item({0, 0}));
    for (const char* value : {"it's \"x\"", "a > b"}) {
        ClickCell(1, 1);
        InEdit()->setText(QString::fromLatin1(value));
        QTest::keyClick(InEdit(), Qt::Key_Return);
        EXPECT_EQ(Asked(), TRows{"ErrorBox: " + AttributeValueProblem(value)});
    }
    EXPECT_EQ(ElementOf(Item({0, 0}))->GetAttribute("lang"), "en");
    EXPECT_EQ(AttributeRows(), (TRows{"id|b1", "lang|en"}));
}

// A document in the standard reading escapes what it writes: such values are
// taken, and saved so that they read back.
TEST_F(TAttributeTest, InPlaceValueEditInStandardDocumentTakesAnyValue)
{
    Window.reset();
    StartWith("<!-- list -->\n<a><b id='x'/></a>\n", QStringLiteral("standard.xml"));
    ListItem(Item({0}));
    const std::string value = "it's \"x\" & a > b";
    ClickCell(0, 1);
    InEdit()->setText(QString::fromStdString(value));
    QTest::keyClick(InEdit(), Qt::Key_Return);
    EXPECT_EQ(Asked(), TRows{});
    Trigger("Save1");
    TqelXMLParser2 saved;
    saved.LoadFromFile(PathOf(QStringLiteral("standard.xml")).toStdString(), TqelXMLReading::Standard);
    EXPECT_EQ(Signature(&saved), "a(b[id=" + value + "])");
}

}  // namespace
