#include "app/HelpWindow.h"

#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Brindle 4 Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FBrowser = new QTextBrowser(this);
    FBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    FBrowser->setOpenExternalLinks(true);
    layout->addWidget(FBrowser);
}

void THelpWindow::keyPressEvent(QKeyEvent* event)
{
    // The browser leaves Escape to its window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void THelpWindow::FitToScreen()
{
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner && owner->screen() ? owner->screen() : this->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    // Designed at 760 by 620 pixels at 120 pixels per inch; never more than
    // most of the screen.
    const double scale = screen->logicalDotsPerInchY() / 120.0;
    const QSize wanted(qRound(760 * scale), qRound(620 * scale));
    const QSize size = wanted.boundedTo(available.size() * 9 / 10);
    resize(size);
    QRect frame(owner ? owner->frameGeometry().center() - QPoint(size.width() / 2, size.height() / 2) : pos(), size);
    // Moved onto the screen; the top left corner wins over the bottom right.
    frame.moveRight(std::min(frame.right(), available.right()));
    frame.moveBottom(std::min(frame.bottom(), available.bottom()));
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    move(frame.topLeft());
}

void THelpWindow::ShowTopic(const QString& fileName, const QString& anchor)
{
    QUrl url = QUrl::fromLocalFile(fileName);
    url.setFragment(anchor);
    // The same page is read again: the manual may have been replaced meanwhile.
    if (FBrowser->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment)) FBrowser->reload();
    FBrowser->setSource(url);
    if (!isVisible()) FitToScreen();
    show();
    raise();
    activateWindow();
}

QUrl THelpWindow::Source() const { return FBrowser->source(); }
