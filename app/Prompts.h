#pragma once
// Every question and message the window puts to a person goes through one
// interface: the Qt boxes and file dialogs for people, a scripted answerer for
// tests and benchmarks.

#include <QString>

#include <optional>

class QDialog;
class QWidget;

// What a file dialog is shown with. Filter is written as pairs of description
// and patterns separated by "|", patterns by ";":
// "XML Files (*.xml;*.xsl)|*.xml;*.xsl".
struct TFileRequest {
    QString Title;
    QString Folder;
    QString Filter;
};

// An answer to a question that can also be called off.
enum class TChoice { Yes, No, Cancel };

class TPrompts {
public:
    virtual ~TPrompts() = default;

    // Shows one of the window's own dialogs modally; true when it closed with OK.
    virtual bool ShowModal(QDialog& dialog) = 0;

    // One-line input box with OK and Cancel; text holds the pre-filled value and,
    // after OK, the edited one. True for OK.
    virtual bool InputBox(const QString& caption, const QString& prompt, QString& text) = 0;
    // Confirmation box with Yes and No, No preselected. True only for Yes:
    // Escape, No and closing the box all answer false.
    virtual bool AskYesNo(const QString& text) = 0;
    // Question box with Yes, No and Cancel, Cancel preselected: Escape and
    // closing the box answer Cancel.
    virtual TChoice AskYesNoCancel(const QString& text) = 0;
    // Plain message box with an OK button.
    virtual void Message(const QString& text) = 0;
    // The standard error box with the message of a failed command.
    virtual void ErrorBox(const QString& text) = 0;
    // Open dialog: path and file must exist. The chosen file, or nothing on Cancel.
    virtual std::optional<QString> OpenDialog(const TFileRequest& request) = 0;
    // Save dialog: the folder must exist and overwriting is confirmed. No default
    // extension is added.
    virtual std::optional<QString> SaveDialog(const TFileRequest& request) = 0;
    // Asks the desktop to open the file with the program it associates with the
    // file's type. Nothing is reported: a type without a program stays closed.
    virtual void ShellOpen(const QString& file) = 0;
};

// The Qt boxes and dialogs, modal over the window.
class TQtPrompts : public TPrompts {
public:
    // owner is the window the boxes belong to (not owned); title heads the boxes.
    TQtPrompts(QWidget* owner, QString title);

    bool ShowModal(QDialog& dialog) override;
    bool InputBox(const QString& caption, const QString& prompt, QString& text) override;
    bool AskYesNo(const QString& text) override;
    TChoice AskYesNoCancel(const QString& text) override;
    void Message(const QString& text) override;
    void ErrorBox(const QString& text) override;
    std::optional<QString> OpenDialog(const TFileRequest& request) override;
    std::optional<QString> SaveDialog(const TFileRequest& request) override;
    void ShellOpen(const QString& file) override;

private:
    // A message box with an OK button; icon is a QMessageBox::Icon.
    void ShowBox(int icon, const QString& text);

    QWidget* FOwner;  // not owned
    QString FTitle;
};

// A message as a box shows it: its first line, cut at 200 characters, and
// below "Show Details..." the whole message (cut at 100,000 characters) when the
// first line does not hold it all.
struct TBoxParts {
    QString Summary;
    QString Details;
};
TBoxParts BoxParts(const QString& text);

// Qt's form of a filter: "XML Files (*.xml;*.xsl)|*.xml;*.xsl" becomes
// "XML Files (*.xml *.xsl)"; several pairs are joined by ";;".
QString QtNameFilters(const QString& filter);
