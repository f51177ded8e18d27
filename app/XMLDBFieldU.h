#pragma once
// The field dialog "XMLDB Field": the name, type and size of a table field, for
// adding a field and for changing one. It is made once and reused, so each use
// starts with what the previous one left in its boxes.

#include <QDialog>

#include "table/DataTypes.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TXMLDBFieldF : public QDialog {
public:
    explicit TXMLDBFieldF(QWidget* parent = nullptr);

    // The text of the name box, unchanged.
    QString FieldName() const;
    void SetFieldName(const QString& value);
    // The type of the chosen entry of the type list; a string when the box shows
    // no entry (nothing chosen, or a typed text that is not one of the entries).
    TFieldType FieldType() const;
    // Chooses the entry of the type's name, or the first entry ("string") when
    // the list has none of that name.
    void SetFieldType(TFieldType value);
    // The size box read as a decimal integer; 30 when it holds anything else.
    int FieldSize() const;
    void SetFieldSize(int value);

    // Controls, owned through Qt's parent chain; each carries its name as object name.
    QLabel* Label1 = nullptr;
    QLineEdit* edFieldName = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cbFieldType = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edFieldSize = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // Neither Enter nor Escape closes the dialog: only its buttons and its title bar do.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdOKClick();
    void cmdCancelClick();
};
