#pragma once
// The "Source" page's editor: XML text with HTML colouring in the desktop's
// fixed-pitch font, line numbers, undo, search, and bookmarks set by clicking
// the margin beside a line.
//
// The text is handed over whole and with its exact length, so that a character
// of code 0 neither ends it nor drops what follows. Colouring is done lazily for
// the lines on the screen, so that a text of tens of megabytes loads at once.

#include <Qsci/qsciscintilla.h>

#include <string_view>

class QsciLexerHTML;

class TSourceEditor : public QsciScintilla {
    Q_OBJECT

public:
    explicit TSourceEditor(QWidget* parent);

    // The whole text.
    QString Text() const;
    // Replaces the whole text and empties the undo history; bookmarks go with
    // the lines they were on. The caret goes to the start, and isModified()
    // is false until the text is edited.
    void SetText(const QString& text);
    // The same for text in UTF-8.
    void SetUtf8(std::string_view utf8);
    // Empties the text, the bookmarks and the undo history in one step.
    void ClearAll();

    // Sets or removes the bookmark of a line (0-based).
    void ToggleBookmark(int line);
    bool HasBookmark(int line) const;
    // The number of lines that carry a bookmark.
    int BookmarkCount() const;

    // Selects the next occurrence of text after the selection (or the previous
    // one before it), letter case ignored, going round the end of the text.
    // False, with the selection kept, when the text does not occur.
    bool Find(const QString& text, bool forward);

private:
    QsciLexerHTML* FLexer = nullptr;  // owned through Qt's parent chain
    int FBookmark = -1;               // the marker number of bookmarks
    int FNumberDigits = 0;            // the digits the line-number margin has room for

    // Loads text as the whole content without recording an undo step.
    void Replace(std::string_view utf8);
    // The line-number margin as wide as the largest number it shows.
    void FitLineNumbers();
    // The start of the first occurrence of utf8 between from and to (backwards
    // when to < from), or -1; the target then spans it.
    long Search(const QByteArray& utf8, long from, long to);
};
