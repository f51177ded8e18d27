#pragma once
// The memo dialog "MemoEditF": a plain-text box for the text of a memo field,
// with OK and Cancel below it. It is made once and reused.

#include <QDialog>

class QFrame;
class QPlainTextEdit;
class QPushButton;

class TMemoEditF : public QDialog {
public:
    explicit TMemoEditF(QWidget* parent = nullptr);

    // The whole text of the box.
    QString Text() const;
    void SetText(const QString& text);

    // Controls, owned through Qt's parent chain; each carries its name as object name.
    QPlainTextEdit* RichEdit1 = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void cmdOKClick();
    void cmdCancelClick();
};
