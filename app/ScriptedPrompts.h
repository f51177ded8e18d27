#pragma once
// Prompts answered from a script, for tests and benchmarks: every question is
// written to a log and answered from the queue of its kind. A question with no
// answer left is answered as a person cancelling it would (Cancel, No, no file)
// and is counted, so that a test sees a question it did not expect.

#include "app/Prompts.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TScriptedPrompts : public TPrompts {
public:
    // One line per question, in UTF-8: "InputBox: caption|prompt|pre-filled text",
    // "AskYesNo: text", "AskYesNoCancel: text", "Message: text", "ErrorBox: text",
    // "OpenDialog: title|folder|filter", "SaveDialog: title|folder|filter",
    // "ShellOpen: file".
    std::vector<std::string> Asked;
    // Questions that found no scripted answer.
    int Unanswered = 0;

    // The next input box is answered with OK and this text, or Cancel for nothing.
    void AnswerInput(const std::optional<QString>& text) { FInputs.push_back(TAnswer::Of(text)); }
    void AnswerYesNo(bool yes) { FYesNo.push_back({yes, {}}); }
    void AnswerYesNoCancel(TChoice choice) { FChoices.push_back(choice); }
    // The next open or save dialog returns this file, or is cancelled for nothing.
    void AnswerOpen(const std::optional<QString>& file) { FOpens.push_back(TAnswer::Of(file)); }
    void AnswerSave(const std::optional<QString>& file) { FSaves.push_back(TAnswer::Of(file)); }
    // The next modal dialog is handed to answer, which fills its controls and
    // clicks its buttons as a person would; it closes with Cancel unless a
    // button accepted it.
    void AnswerDialog(std::function<void(QDialog&)> answer) { FDialogs.push_back(std::move(answer)); }
    // The log so far, emptied.
    std::vector<std::string> TakeAsked();
    // True when every scripted answer has been used.
    bool AllAnswered() const
    {
        return FInputs.empty() && FYesNo.empty() && FChoices.empty() && FOpens.empty() && FSaves.empty() && FDialogs.empty();
    }

    // Logged as "ShowModal: object name of the dialog".
    bool ShowModal(QDialog& dialog) override;
    bool InputBox(const QString& caption, const QString& prompt, QString& text) override;
    bool AskYesNo(const QString& text) override;
    TChoice AskYesNoCancel(const QString& text) override;
    void Message(const QString& text) override;
    void ErrorBox(const QString& text) override;
    std::optional<QString> OpenDialog(const TFileRequest& request) override;
    std::optional<QString> SaveDialog(const TFileRequest& request) override;
    // Records the file; nothing is started.
    void ShellOpen(const QString& file) override;

private:
    // OK, Yes or a chosen file, with the text or file; a cancel is not OK.
    struct TAnswer {
        bool Ok = false;
        QString Text;
        static TAnswer Of(const std::optional<QString>& text) { return text ? TAnswer{true, *text} : TAnswer{}; }
    };
    std::deque<TAnswer> FInputs;
    std::deque<TAnswer> FYesNo;
    std::deque<TChoice> FChoices;
    std::deque<TAnswer> FOpens;
    std::deque<TAnswer> FSaves;
    std::deque<std::function<void(QDialog&)>> FDialogs;

    void Log(const char* kind, const QString& text);
    // The next answer of a queue; a cancel when it is empty.
    TAnswer Next(std::deque<TAnswer>& queue);
    std::optional<QString> NextFile(std::deque<TAnswer>& queue);
};
