#pragma once
// The bar below the source editor that searches its text: a box for the text
// sought, Previous and Next. Enter finds the next occurrence, Shift+Enter the
// previous one, Escape closes the bar and gives the editor the focus back.

#include <QWidget>

class QLineEdit;
class TSourceEditor;

class TSourceFindBar : public QWidget {
    Q_OBJECT

public:
    // editor outlives the bar (not owned). The bar starts hidden.
    TSourceFindBar(TSourceEditor& editor, QWidget* parent);

    // Shows the bar with the focus in its box, which takes the editor's
    // selection when that is part of one line.
    void Open();
    // Selects the next (or previous) occurrence of the box's text in the
    // editor; opens the bar while its box is empty. False when nothing was found.
    bool Find(bool forward);
    // Hides the bar and gives the editor the focus.
    void Close();

signals:
    // The text sought does not occur in the editor.
    void NotFound(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TSourceEditor& FEditor;       // not owned
    QLineEdit* FText = nullptr;  // owned through Qt's parent chain
};
