// The reading a file opens in: the Options menu's choice, kept in the settings
// file, and the automatic rule; a document read in the standard reading saves
// every byte that was not changed as it was read.

#include <QLabel>

#include "WindowFixture.h"

namespace {

// A comment and a DOCTYPE, which the classic reading would refuse, in a legacy
// encoding, with CR LF line ends, a tab and blanks inside a tag and both quotes.
const char* const KCommentedXml =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
    "<!-- catalogue -->\r\n"
    "<!DOCTYPE catalog>\r\n"
    "<catalog>\r\n"
    "\t<item id='a'   kind=\"x\">caf\xe9 &amp; tea<!-- price --></item>\r\n"
    "  <item id='b'/>\r\n"
    "</catalog>\r\n";

class TReadingTest : public TWindowTest {
protected:
    std::string ReadingNote() const { return Find<QLabel>("ReadingLabel")->text().toStdString(); }
    // Puts the text into the source view and chooses "Update Document".
    // The Source page's text, shown first, as it is filled only when shown.
    QString ShownSource() const
    {
        Book()->setCurrentWidget(Find<QWidget>("sourceTab"));
        return Source()->Text();
    }
    void Update(const QString& text)
    {
        ShownSource();
        Source()->SetText(text);
        Trigger("LoadasDocument1");
    }
    static std::string Replaced(std::string text, std::string_view from, std::string_view to)
    {
        return text.replace(text.find(from), from.size(), to);
    }
};

// Automatic: a file the classic reading would refuse opens in the standard
// reading; its texts show decoded, and an edit changes only its element's bytes.
TEST_F(TReadingTest, AutomaticReadsCommentedFileStandard)
{
    StartWith(KCommentedXml, QStringLiteral("catalog.xml"));
    EXPECT_EQ(Window->WorkDoc->Reading(), TqelXMLReading::Standard);
    EXPECT_EQ(ReadingNote(), "Standard XML");
    EXPECT_EQ(Signature(Window->WorkDoc.get()), "catalog(item[id=a kind=x]\"caf\xc3\xa9 & tea\" item[id=b])");

    // The Source page shows what will be saved, comments included.
    SelectItem(Item({}));
    EXPECT_EQ(SourceText(), Lf(Replaced(KCommentedXml, "\xe9", "\xc3\xa9")));
    SelectItem(Item({0}));
    EXPECT_EQ(SourceText(), "<item id='a'   kind=\"x\">caf\xc3\xa9 &amp; tea<!-- price --></item>");

    EditLabel(Item({1}), QStringLiteral("entry"));
    Trigger("Save1");
    EXPECT_EQ(ReadFile(PathOf("catalog.xml")), Replaced(KCommentedXml, "<item id='b'/>", "<entry id='b'/>"));
    EXPECT_EQ(Caption(), "catalog.xml - Brindle 4");
}

// Automatic: a file without anything the classic reading refuses opens as before.
TEST_F(TReadingTest, AutomaticReadsPlainFileClassic)
{
    StartWith(KLibraryXml);
    EXPECT_EQ(Window->WorkDoc->Reading(), TqelXMLReading::Classic);
    EXPECT_EQ(ReadingNote(), "Classic");
    EXPECT_EQ(Caption(), "doc.xml - Brindle 4");
}

// Edits undone through the window, and an element's own source applied again,
// leave the file as it was read.
TEST_F(TReadingTest, UndoneEditsAndUnchangedSourceSaveAsRead)
{
    StartWith(KCommentedXml, QStringLiteral("catalog.xml"));
    EditLabel(Item({0}), QStringLiteral("entry"));
    SelectItem(Item({1}));
    Update(QStringLiteral("<item id=\"b\" new='1'/>"));
    EXPECT_EQ(Signature(ElementOf(Item({1}))), "item[id=b new=1]");
    Trigger("Undo1");
    Trigger("Undo1");
    EXPECT_FALSE(Window->Modified());
    Trigger("Save1");
    EXPECT_EQ(ReadFile(PathOf("catalog.xml")), KCommentedXml);

    // The whole document changed and put back.
    SelectItem(Item({}));
    Update(ShownSource().replace(QStringLiteral("catalogue"), QStringLiteral("list")));
    EXPECT_TRUE(Window->Modified());
    Trigger("Undo1");

    SelectItem(Item({0}));
    Update(ShownSource());
    SelectItem(Item({}));
    Update(ShownSource());
    EXPECT_FALSE(Window->Modified());
    Trigger("Save1");
    EXPECT_EQ(ReadFile(PathOf("catalog.xml")), KCommentedXml);
}

// A file the standard reading refuses, when it is chosen, is named with line and
// column and the line itself; nothing is loaded, so nothing can be saved over it.
TEST_F(TReadingTest, StandardChoiceReportsMalformedFile)
{
    const QString file = WriteFile(QStringLiteral("bad.xml"), "<a>\n  <b></c>\n</a>\n");
    Start();
    Trigger("ReadingStandard1");
    Prompts->AnswerOpen(file);
    Trigger("Open1");
    EXPECT_EQ(Asked(), (std::vector<std::string>{"OpenDialog: Open XML file|" + Dir.path().toStdString() +
                                                     "|XML Files (*.xml;*.xsl)|*.xml;*.xsl",
                                                 "Message: " + file.toStdString() +
                                                     ":2:8: mismatched tag\n\n2:   <b></c>"}));
    EXPECT_EQ(Caption(), "Brindle 4");
    EXPECT_TRUE(Window->CurrentFile.isEmpty());
    EXPECT_EQ(ReadFile(file), "<a>\n  <b></c>\n</a>\n");
}

// The chosen reading is kept in the settings file for the next start.
TEST_F(TReadingTest, ChoiceIsKept)
{
    Start();
    EXPECT_TRUE(Find<QAction>("ReadingAutomatic1")->isChecked());
    Trigger("ReadingClassic1");
    EXPECT_FALSE(Find<QAction>("ReadingAutomatic1")->isChecked());
    Window.reset();
    // The classic reading stops at the comment, and says so.
    StartWith(KCommentedXml, QStringLiteral("catalog.xml"));
    EXPECT_TRUE(Find<QAction>("ReadingClassic1")->isChecked());
    EXPECT_EQ(Window->WorkDoc->Reading(), TqelXMLReading::Classic);
    EXPECT_TRUE(Window->Incomplete());
    EXPECT_EQ(Asked().size(), 1u);
}

}  // namespace
