#include "app/XMLDBFieldU.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdint>

#include "app/DialogParts.h"
#include "core/NumberText.h"
#include "table/qelXMLDataSet2.h"

namespace {

// The size a new field gets when the size box holds no number.
constexpr int DefaultFieldSize = 30;

}  // namespace

TXMLDBFieldF::TXMLDBFieldF(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("XMLDBFieldF"));
    setWindowTitle(QStringLiteral("XMLDB Field"));
    setModal(true);
    resize(DesignedSize(*this, 302), DesignedSize(*this, 279));

    Label1 = Named(new QLabel(QStringLiteral("FieldName"), this), "Label1");
    edFieldName = Named(new QLineEdit(this), "edFieldName");
    Label2 = Named(new QLabel(QStringLiteral("FieldType"), this), "Label2");
    cbFieldType = Named(new QComboBox(this), "cbFieldType");
    cbFieldType->setEditable(true);
    cbFieldType->setInsertPolicy(QComboBox::NoInsert);
    cbFieldType->addItems({QStringLiteral("string"), QStringLiteral("integer"), QStringLiteral("float"),
                           QStringLiteral("date"), QStringLiteral("datetime"), QStringLiteral("boolean"), QStringLiteral("memo")});
    cbFieldType->setCurrentIndex(-1);
    Label3 = Named(new QLabel(QStringLiteral("FieldSize"), this), "Label3");
    edFieldSize = Named(new QLineEdit(QStringLiteral("30"), this), "edFieldSize");
    cmdOK = DialogButton(this, "cmdOK", QStringLiteral("OK"));
    cmdCancel = DialogButton(this, "cmdCancel", QStringLiteral("Cancel"));
    Label1->setBuddy(edFieldName);
    Label2->setBuddy(cbFieldType);
    Label3->setBuddy(edFieldSize);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* control : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(edFieldName),
                             static_cast<QWidget*>(Label2), static_cast<QWidget*>(cbFieldType),
                             static_cast<QWidget*>(Label3), static_cast<QWidget*>(edFieldSize)})
        layout->addWidget(control);
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
}

void TXMLDBFieldF::cmdOKClick() { done(QDialog::Accepted); }

void TXMLDBFieldF::cmdCancelClick() { done(QDialog::Rejected); }

void TXMLDBFieldF::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

QString TXMLDBFieldF::FieldName() const { return edFieldName->text(); }

void TXMLDBFieldF::SetFieldName(const QString& value) { edFieldName->setText(value); }

TFieldType TXMLDBFieldF::FieldType() const
{
    const int entry = cbFieldType->findText(cbFieldType->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry < 0) return TypeFromName("string");
    return TypeFromName(cbFieldType->itemText(entry).toStdString());
}

void TXMLDBFieldF::SetFieldType(TFieldType value)
{
    const int entry =
        cbFieldType->findText(QString::fromStdString(TypeName(value)), Qt::MatchExactly | Qt::MatchCaseSensitive);
    cbFieldType->setCurrentIndex(entry >= 0 ? entry : 0);
}

int TXMLDBFieldF::FieldSize() const
{
    std::int32_t value = 0;
    if (!TextToInt(edFieldSize->text().toStdString(), value)) return DefaultFieldSize;
    return value;
}

void TXMLDBFieldF::SetFieldSize(int value) { edFieldSize->setText(QString::number(value)); }
