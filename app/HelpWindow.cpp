#include "app/HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

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
    resize(760, 620);
}

void THelpWindow::ShowTopic(const QString& fileName, const QString& anchor)
{
    QUrl url = QUrl::fromLocalFile(fileName);
    url.setFragment(anchor);
    // The same page is read again: the manual may have been replaced meanwhile.
    if (FBrowser->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment)) FBrowser->reload();
    FBrowser->setSource(url);
    show();
    raise();
    activateWindow();
}

QUrl THelpWindow::Source() const { return FBrowser->source(); }
