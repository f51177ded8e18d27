#include "app/SourceFindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/SourceEditor.h"

TSourceFindBar::TSourceFindBar(TSourceEditor& editor, QWidget* parent) : QWidget(parent), FEditor(editor)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(new QLabel(QStringLiteral("Find:"), this));
    FText = new QLineEdit(this);
    FText->setObjectName(QStringLiteral("findtext"));
    FText->setClearButtonEnabled(true);
    FText->installEventFilter(this);
    layout->addWidget(FText, 1);
    auto addButton = [this, layout](const QString& caption, const char* name) {
        auto* button = new QToolButton(this);
        button->setText(caption);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        layout->addWidget(button);
        return button;
    };
    connect(addButton(QStringLiteral("Previous"), "findprevious"), &QToolButton::clicked, this,
            [this] { Find(false); });
    connect(addButton(QStringLiteral("Next"), "findnext"), &QToolButton::clicked, this, [this] { Find(true); });
    connect(addButton(QStringLiteral("Close"), "findclose"), &QToolButton::clicked, this, &TSourceFindBar::Close);
    hide();
}

void TSourceFindBar::Open()
{
    const QString selected = FEditor.selectedText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
        FText->setText(selected);
    show();
    FText->setFocus();
    FText->selectAll();
}

void TSourceFindBar::Close()
{
    hide();
    FEditor.setFocus();
}

bool TSourceFindBar::Find(bool forward)
{
    const QString text = FText->text();
    if (text.isEmpty()) {
        Open();
        return false;
    }
    if (FEditor.Find(text, forward)) return true;
    emit NotFound(text);
    return false;
}

bool TSourceFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != FText || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Find(!(key->modifiers() & Qt::ShiftModifier));
        return true;
    case Qt::Key_Escape:
        Close();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
