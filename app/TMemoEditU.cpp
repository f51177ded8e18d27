#include "app/TMemoEditU.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/DialogParts.h"

TMemoEditF::TMemoEditF(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MemoEditF"));
    setWindowTitle(QStringLiteral("MemoEditF"));
    setModal(true);
    resize(DesignedSize(*this, 497), DesignedSize(*this, 404));

    RichEdit1 = Named(new QPlainTextEdit(this), "RichEdit1");
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // A raised panel inside a lowered border.
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setFixedHeight(DesignedSize(*this, 41));
    cmdOK = DialogButton(Panel1, "cmdOK", QStringLiteral("OK"));
    cmdCancel = DialogButton(Panel1, "cmdCancel", QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout(Panel1);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(RichEdit1, 1);
    layout->addWidget(Panel1);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
}

void TMemoEditF::cmdOKClick() { done(QDialog::Accepted); }

void TMemoEditF::cmdCancelClick() { done(QDialog::Rejected); }

QString TMemoEditF::Text() const { return RichEdit1->toPlainText(); }

void TMemoEditF::SetText(const QString& text) { RichEdit1->setPlainText(text); }
