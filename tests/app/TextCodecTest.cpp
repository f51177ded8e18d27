// The codec of a document: chosen once at load, used for everything shown and
// typed, so that viewing never changes a byte.

#include <QTest>

#include "WindowFixture.h"
#include "app/TextCodec.h"

namespace {

struct TCodecCase {
    const char* Declared;
    const char* Text;
    const char* Expected;
};

// The declared encoding wins when Qt converts it byte-wise; else valid UTF-8
// gives UTF-8 and anything else ISO-8859-1.
TEST(TextCodecTest, ChoiceAtLoad)
{
    const TCodecCase cases[] = {
        {"", "plain", "UTF-8"},
        {"", "caf\xC3\xA9", "UTF-8"},
        {"", "caf\xE9", "ISO-8859-1"},
        {"utf-8", "caf\xE9", "UTF-8"},
        {"ISO-8859-1", "caf\xC3\xA9", "ISO-8859-1"},
        {"windows-1251", "\xCF\xF0\xE8", "windows-1251"},
        {"UTF-16", "caf\xE9", "ISO-8859-1"},
        {"no-such-encoding", "caf\xC3\xA9", "UTF-8"},
    };
    for (const TCodecCase& c : cases)
        EXPECT_EQ(TTextCodec::ForDocument(c.Declared, c.Text).Name().toStdString(), c.Expected)
            << c.Declared << " / " << c.Text;
}

// Well-formed UTF-8 only: overlong forms, surrogates, code points past U+10FFFF
// and cut sequences are refused, also after a long ASCII run.
TEST(TextCodecTest, Utf8Validity)
{
    const std::pair<const char*, bool> cases[] = {
        {"", true},
        {"\xF0\x9F\x98\x80 smile", true},
        {"\xE2\x82\xAC", true},
        {"\xC0\x80", false},
        {"\xE0\x80\xAF", false},
        {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false},
        {"\xE2\x82", false},
        {"\x80", false},
        {"0123456789abcdef\xFF", false},
        {"0123456789abcdef\xC3\xA9", true},
    };
    for (const auto& [text, valid] : cases) EXPECT_EQ(IsValidUtf8(text), valid) << text;
}

// Text goes out and back unchanged through each codec.
TEST(TextCodecTest, RoundTrips)
{
    const TTextCodec cyrillic = TTextCodec::Named("windows-1251");
    EXPECT_EQ(cyrillic.Decode("\xCF\xF0\xE8"), QStringLiteral("\u041F\u0440\u0438"));
    EXPECT_EQ(cyrillic.Encode(QStringLiteral("\u041F\u0440\u0438")), "\xCF\xF0\xE8");
    const TTextCodec latin = TTextCodec::Named("ISO-8859-1");
    std::string every;
    for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
    EXPECT_EQ(latin.Encode(latin.Decode(every)), every);
    EXPECT_EQ(TTextCodec().Encode(QStringLiteral("caf\u00E9")), "caf\xC3\xA9");
}

using TDocumentCodecTest = TWindowTest;

// A document in Latin-1 without a declaration: names show their letters, also
// on the Source page; a typed query and typed text are written back in Latin-1.
TEST_F(TDocumentCodecTest, Latin1DocumentShowsAndTakesItsLetters)
{
    StartWith("<caf\xE9><cr\xE8me>douce</cr\xE8me></caf\xE9>");
    EXPECT_EQ(Window->Codec().Name(), QByteArray("ISO-8859-1"));
    EXPECT_EQ(Item({}).data().toString(), QStringLiteral("caf\u00E9"));
    Query()->setPlainText(QStringLiteral("name = 'cr\u00E8me'"));
    Trigger("RunQuery1");
    ASSERT_EQ(Rows(*Selection()->model()), std::vector<std::string>{"cr\xC3\xA8me|douce"});
    SelectRow(Selection(), 0);
    Editor()->moveCursor(QTextCursor::End);
    Editor()->insertPlainText(QStringLiteral("\u00E0"));
    EXPECT_EQ(ElementOf(Item({0}))->Text, "douce\xE0");
    Book()->setCurrentWidget(Find<QWidget>("sourceTab"));
    SelectItem(Item({}));
    EXPECT_TRUE(Source()->Text().contains(QStringLiteral("<cr\u00E8me>douce\u00E0</cr\u00E8me>")));
}

// Showing elements whose bytes the codec cannot read back (a document that
// declares UTF-8 but holds a Latin-1 byte) leaves every byte as it was.
TEST_F(TDocumentCodecTest, ViewingChangesNoByte)
{
    StartWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a k=\"\xE9\"><b>caf\xE9</b><c>\xFF\xFE</c></a>");
    const std::string before = Window->WorkDoc->GetXMLText();
    SelectItem(Item({}));
    Trigger("ListSubnodes1");
    SelectRow(Selection(), 1);
    SelectRow(Selection(), 0);
    Trigger("ListNode1");
    Query()->setPlainText(QStringLiteral("*"));
    Trigger("RunQuery1");
    SelectItem(Item({0}));
    EXPECT_EQ(Window->WorkDoc->GetXMLText(), before);
    EXPECT_TRUE(Asked().empty());
}

}  // namespace
