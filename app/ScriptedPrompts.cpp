#include "app/ScriptedPrompts.h"

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

template <class T>
T TScriptedPrompts::Next(std::deque<T>& queue, T fallback)
{
    if (queue.empty()) {
        ++Unanswered;
        return fallback;
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

bool TScriptedPrompts::InputBox(const QString& caption, const QString& prompt, QString& text)
{
    Log("InputBox", caption + QLatin1Char('|') + prompt + QLatin1Char('|') + text);
    const std::optional<QString> answer = Next<std::optional<QString>>(FInputs, std::nullopt);
    if (!answer) return false;
    text = *answer;
    return true;
}

bool TScriptedPrompts::AskYesNo(const QString& text)
{
    Log("AskYesNo", text);
    return Next(FYesNo, false);
}

void TScriptedPrompts::Message(const QString& text) { Log("Message", text); }

void TScriptedPrompts::ErrorBox(const QString& text) { Log("ErrorBox", text); }

std::optional<QString> TScriptedPrompts::OpenDialog(const TFileRequest& request)
{
    Log("OpenDialog", Joined(request));
    return Next<std::optional<QString>>(FOpens, std::nullopt);
}

std::optional<QString> TScriptedPrompts::SaveDialog(const TFileRequest& request)
{
    Log("SaveDialog", Joined(request));
    return Next<std::optional<QString>>(FSaves, std::nullopt);
}
