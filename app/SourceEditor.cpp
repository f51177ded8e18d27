#include "app/SourceEditor.h"

#include <QFontDatabase>

#include <algorithm>

#include <Qsci/qscilexerhtml.h>

namespace {

// Margins: line numbers, widened as the line count gains digits; one narrow
// margin that shows bookmarks and toggles them on a click.
constexpr int KNumberMargin = 0;
constexpr int KBookmarkMargin = 1;

}  // namespace

TSourceEditor::TSourceEditor(QWidget* parent) : QsciScintilla(parent)
{
    setUtf8(true);
    // The writer ends its lines with CR LF; lines typed here end the same way.
    setEolMode(EolWindows);
    setWrapMode(WrapNone);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(fixed);
    FLexer = new QsciLexerHTML(this);
    FLexer->setDefaultFont(fixed);
    FLexer->setFont(fixed);  // every style, bold and italic ones included
    setLexer(FLexer);

    setMarginType(KNumberMargin, NumberMargin);
    setMarginLineNumbers(KNumberMargin, true);
    FitLineNumbers();
    connect(this, &QsciScintilla::linesChanged, this, &TSourceEditor::FitLineNumbers);
    FBookmark = markerDefine(QsciScintilla::Bookmark);
    setMarginType(KBookmarkMargin, SymbolMargin);
    setMarginWidth(KBookmarkMargin, fontMetrics().height() + 2);
    setMarginMarkerMask(KBookmarkMargin, 1 << FBookmark);
    setMarginSensitivity(KBookmarkMargin, true);
    connect(this, &QsciScintilla::marginClicked, this, [this](int margin, int line, Qt::KeyboardModifiers) {
        if (margin == KBookmarkMargin) ToggleBookmark(line);
    });
}

QString TSourceEditor::Text() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    if (length <= 0) return {};
    // The buffer itself, made contiguous; no copy is made on Scintilla's side.
    const auto* bytes = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return QString::fromUtf8(bytes, static_cast<qsizetype>(length));
}

void TSourceEditor::SetText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    Replace(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void TSourceEditor::SetUtf8(std::string_view utf8) { Replace(utf8); }

void TSourceEditor::ClearAll() { Replace({}); }

void TSourceEditor::Replace(std::string_view utf8)
{
    markerDeleteAll(FBookmark);
    // Loading a text is not an edit to undo: nothing is recorded meanwhile, and
    // what was recorded before goes.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    if (!utf8.empty()) SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.data());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    // What was loaded counts as unedited.
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0UL);
    FitLineNumbers();
}

void TSourceEditor::FitLineNumbers()
{
    const int digits = static_cast<int>(QString::number(std::max(lines(), 1)).size());
    if (digits == FNumberDigits) return;
    FNumberDigits = digits;
    // One digit to spare keeps the numbers off the edge.
    setMarginWidth(KNumberMargin, QString(digits + 1, QLatin1Char('9')));
}

long TSourceEditor::Search(const QByteArray& utf8, long from, long to)
{
    SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(from));
    SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(to));
    return SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(utf8.size()), utf8.constData());
}

bool TSourceEditor::Find(const QString& text, bool forward)
{
    if (text.isEmpty()) return false;
    const QByteArray utf8 = text.toUtf8();
    const long length = SendScintilla(SCI_GETLENGTH);
    const long from = SendScintilla(forward ? SCI_GETSELECTIONEND : SCI_GETSELECTIONSTART);
    SendScintilla(SCI_SETSEARCHFLAGS, 0UL);  // letter case ignored
    long found = Search(utf8, from, forward ? length : 0);
    if (found < 0) found = Search(utf8, forward ? 0 : length, from);
    if (found < 0) return false;
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(found), SendScintilla(SCI_GETTARGETEND));
    return true;
}

void TSourceEditor::ToggleBookmark(int line)
{
    if (line < 0 || line >= lines()) return;
    if (HasBookmark(line))
        markerDelete(line, FBookmark);
    else
        markerAdd(line, FBookmark);
}

bool TSourceEditor::HasBookmark(int line) const { return (markersAtLine(line) & (1u << FBookmark)) != 0; }

int TSourceEditor::BookmarkCount() const
{
    int count = 0;
    for (int line = markerFindNext(0, 1u << FBookmark); line >= 0; line = markerFindNext(line + 1, 1u << FBookmark))
        ++count;
    return count;
}
