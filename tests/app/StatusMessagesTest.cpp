// What the status bar says after a command: the file and its size after Open
// and Save, the number of elements a query found, and what Update Document
// replaced.

#include <QStatusBar>

#include "WindowFixture.h"

namespace {

class TStatusMessagesTest : public TWindowTest {
protected:
    std::string Status() const { return Window->statusBar()->currentMessage().toStdString(); }
};

TEST_F(TStatusMessagesTest, CommandsSayWhatTheyDid)
{
    StartWith(KLibraryXml);
    EXPECT_EQ(Status(), "Opened doc.xml: 8 elements");

    Query()->setPlainText(QStringLiteral("name = 'book'"));
    Trigger("RunQuery1");
    EXPECT_EQ(Status(), "2 elements selected");
    Query()->setPlainText(QStringLiteral("name = 'note'"));
    Trigger("RunQuery1");
    EXPECT_EQ(Status(), "1 element selected");

    SelectItem(Item({0, 1}));
    Book()->setCurrentWidget(Find<QWidget>("sourceTab"));
    Source()->SetText(QStringLiteral("<book><title/><year/><isbn/></book>"));
    Trigger("LoadasDocument1");
    EXPECT_EQ(Status(), "Element updated: 4 elements");

    Prompts->AnswerSave(PathOf("copy.xml"));
    Trigger("SaveAs1");
    Asked();
    EXPECT_EQ(Status(), "Saved copy.xml: 9 elements");
}

}  // namespace
