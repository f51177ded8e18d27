#include "app/ScriptedPrompts.h"

#include <QDialog>

#include <utility>

namespace {

QString Joined(const TFileRequest& request)
{
    return request.Title + QLatin1Char('|') + request.Folder + QLatin1Char('|') + request.Filter;
}

}  // namespace

std::vector<std::string> TScriptedPrompts::TakeAsked()
{
    std::vector<std::string> asked;
    asked.swap(Asked);
    return asked;
}

void TScriptedPrompts::Log(const char* kind, const QString& text)
{
    Asked.push_back(std::string(kind) + ": " + text.toStdString());
}

TScriptedPrompts::TAnswer TScriptedPrompts::Next(std::deque<TAnswer>& queue)
{
    if (queue.empty()) {
        ++Unanswered;
        return {};
    }
    TAnswer answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

std::optional<QString> TScriptedPrompts::NextFile(std::deque<TAnswer>& queue)
{
    TAnswer answer = Next(queue);
    if (!answer.Ok) return std::nullopt;
    return answer.Text;
}

bool TScriptedPrompts::InputBox(const QString& caption, const QString& prompt, QString& text)
{
    Log("InputBox", caption + QLatin1Char('|') + prompt + QLatin1Char('|') + text);
    TAnswer answer = Next(FInputs);
    if (answer.Ok) text = answer.Text;
    return answer.Ok;
}

bool TScriptedPrompts::AskYesNo(const QString& text)
{
    Log("AskYesNo", text);
    return Next(FYesNo).Ok;
}

TChoice TScriptedPrompts::AskYesNoCancel(const QString& text)
{
    Log("AskYesNoCancel", text);
    if (FChoices.empty()) {
        ++Unanswered;
        return TChoice::Cancel;
    }
    const TChoice choice = FChoices.front();
    FChoices.pop_front();
    return choice;
}

bool TScriptedPrompts::ShowModal(QDialog& dialog)
{
    Log("ShowModal", dialog.objectName());
    dialog.setResult(QDialog::Rejected);
    if (FDialogs.empty()) {
        ++Unanswered;
        return false;
    }
    const auto answer = std::move(FDialogs.front());
    FDialogs.pop_front();
    answer(dialog);
    return dialog.result() == QDialog::Accepted;
}

void TScriptedPrompts::Message(const QString& text) { Log("Message", text); }

void TScriptedPrompts::ErrorBox(const QString& text) { Log("ErrorBox", text); }

std::optional<QString> TScriptedPrompts::OpenDialog(const TFileRequest& request)
{
    Log("OpenDialog", Joined(request));
    return NextFile(FOpens);
}

std::optional<QString> TScriptedPrompts::SaveDialog(const TFileRequest& request)
{
    Log("SaveDialog", Joined(request));
    return NextFile(FSaves);
}

void TScriptedPrompts::ShellOpen(const QString& file) { Log("ShellOpen", file); }
