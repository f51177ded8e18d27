#include "app/Prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

#include <algorithm>

QString QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        // The description usually repeats the patterns in parentheses; Qt reads
        // the patterns from there, so they are written once in its own form.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0) description = description.left(open).trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString BoxText(const QString& text)
{
    constexpr int KMaxLines = 40;
    constexpr qsizetype KMaxLineLength = 300;
    const QString more = QStringLiteral("...");
    QString shown;
    qsizetype start = 0;
    for (int line = 0; start <= text.size(); ++line) {
        if (line == KMaxLines && start < text.size()) return shown + more;
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const bool last = end < 0;
        if (last) end = text.size();
        const qsizetype length = end - start;
        shown += text.mid(start, std::min(length, KMaxLineLength));
        if (length > KMaxLineLength) shown += more;
        if (last) break;
        shown += QLatin1Char('\n');
        start = end + 1;
    }
    return shown;
}

TQtPrompts::TQtPrompts(QWidget* owner, QString title) : FOwner(owner), FTitle(std::move(title)) {}

bool TQtPrompts::InputBox(const QString& caption, const QString& prompt, QString& text)
{
    bool ok = false;
    const QString result = QInputDialog::getText(FOwner, caption, prompt, QLineEdit::Normal, text, &ok);
    if (ok) text = result;
    return ok;
}

bool TQtPrompts::ShowModal(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

bool TQtPrompts::AskYesNo(const QString& text)
{
    QMessageBox box(QMessageBox::Question, FTitle, text, QMessageBox::Yes | QMessageBox::No, FOwner);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

TChoice TQtPrompts::AskYesNoCancel(const QString& text)
{
    QMessageBox box(QMessageBox::Question, FTitle, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    FOwner);
    // A key pressed by accident must neither save nor discard.
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TChoice::Yes;
    case QMessageBox::No:
        return TChoice::No;
    default:
        return TChoice::Cancel;
    }
}

void TQtPrompts::Message(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, FTitle, BoxText(text), QMessageBox::Ok, FOwner);
    box.exec();
}

void TQtPrompts::ErrorBox(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, FTitle, BoxText(text), QMessageBox::Ok, FOwner);
    box.exec();
}

namespace {

std::optional<QString> RunFileDialog(QWidget* owner, const char* name, const TFileRequest& request, bool save)
{
    QFileDialog dialog(owner, request.Title, request.Folder, QtNameFilters(request.Filter));
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.front();
}

}  // namespace

std::optional<QString> TQtPrompts::OpenDialog(const TFileRequest& request)
{
    return RunFileDialog(FOwner, "OpenDialog1", request, false);
}

std::optional<QString> TQtPrompts::SaveDialog(const TFileRequest& request)
{
    return RunFileDialog(FOwner, "SaveDialog1", request, true);
}

void TQtPrompts::ShellOpen(const QString& file) { QDesktopServices::openUrl(QUrl::fromLocalFile(file)); }
