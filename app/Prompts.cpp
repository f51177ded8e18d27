#include "app/Prompts.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QGuiApplication>
#include <QSpacerItem>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

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

TBoxParts BoxParts(const QString& text)
{
    constexpr qsizetype KMaxSummary = 200;
    constexpr qsizetype KMaxDetails = 100000;
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    QString first = lineEnd < 0 ? text : text.left(lineEnd);
    if (lineEnd < 0 && first.size() <= KMaxSummary) return {text, QString()};
    if (first.size() > KMaxSummary) first = first.left(KMaxSummary) + QStringLiteral("...");
    QString details = text.left(KMaxDetails);
    if (text.size() > KMaxDetails) details += QStringLiteral("...");
    return {first, details};
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

void TQtPrompts::ShowBox(int icon, const QString& text)
{
    const TBoxParts parts = BoxParts(text);
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), FTitle, parts.Summary, QMessageBox::Ok, FOwner);
    // The rest of a long message goes under "Show Details...".
    if (!parts.Details.isEmpty()) box.setDetailedText(parts.Details);
    // Wide enough for the title and a short sentence however short the text.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(box.fontMetrics().averageCharWidth() * 45, 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    // A box shown during a long command takes clicks: it shows the arrow.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

void TQtPrompts::Message(const QString& text) { ShowBox(QMessageBox::NoIcon, text); }

void TQtPrompts::ErrorBox(const QString& text) { ShowBox(QMessageBox::Critical, text); }

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
