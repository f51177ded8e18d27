#pragma once
// The "Source" page's editor: XML text with HTML colouring in the desktop's
// fixed-pitch font, undo, and bookmarks set by clicking the margin beside a line.
//
// The text is handed over whole and with its exact length, so that a character
// of code 0 neither ends it nor drops what follows. Colouring is done lazily for
// the lines on the screen, so that a text of tens of megabytes loads at once.

#include <Qsci/qsciscintilla.h>

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
    // Empties the text, the bookmarks and the undo history in one step.
    void ClearAll();

    // Sets or removes the bookmark of a line (0-based).
    void ToggleBookmark(int line);
    bool HasBookmark(int line) const;
    // The number of lines that carry a bookmark.
    int BookmarkCount() const;

private:
    QsciLexerHTML* FLexer = nullptr;  // owned through Qt's parent chain
    int FBookmark = -1;               // the marker number of bookmarks

    // Loads text as the whole content without recording an undo step.
    void Replace(const QByteArray& utf8);
};
