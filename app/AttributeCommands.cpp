// The attribute list of the selected row's element: adding and deleting
// attributes, and editing a name or a value in place with the box InEdit.

#include "app/BrindleU.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTreeView>

#include <algorithm>
#include <stdexcept>

#include "app/HandlerGuards.h"
#include "app/UndoCommands.h"

int TBrindleF::SelectedAttributeRow() const
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void TBrindleF::ShowAttributes(TqelXMLNode2* element)
{
    {
        // Showing the text is no edit.
        THandlerDetach detached(FEditorChangeAttached);
        editor->setPlainText(Decode(element->Text));
    }
    std::vector<TAttributeListModel::TRow> rows;
    rows.reserve(static_cast<std::size_t>(element->Attributes.Count()));
    for (const auto& attribute : element->Attributes)
        rows.push_back({attribute.get(), {Decode(attribute->Name), Decode(attribute->Value)}});
    FAttributeList->SetRows(std::move(rows));
}

void TBrindleF::Addattribute1Click()
{
    TqelXMLNode2* element = SelectedRowElement();
    if (!element) return;
    QString name;
    if (!Prompts().InputBox(QStringLiteral("Attributes"), QStringLiteral("Enter attribute name:"), name) ||
        name.isEmpty())
        return;
    // The first attribute of an element gets an empty value, every further one "value".
    QString value;
    if (FAttributeList->Count() > 0) {
        for (int row = 0; row < FAttributeList->Count(); ++row)
            if (FAttributeList->Cell(row, 0).compare(name, Qt::CaseInsensitive) == 0) return;
        value = QStringLiteral("value");
    }
    const std::string key = Encode(name);
    element->SetAttribute(std::string_view(key), Encode(value));
    const int index = element->IndexOfAttribute(key);
    Record(std::make_unique<TAttributePresenceStep>(*this, QStringLiteral("Add attribute ") + name, PathOf(element),
                                                    index, nullptr));
    FAttributeList->AppendRow({element->Attributes[index], {name, value}});
}

void TBrindleF::Deleteattribute1Click()
{
    TqelXMLNode2* element = SelectedRowElement();
    const int row = SelectedAttributeRow();
    if (!element || row < 0) return;
    const QString question = QStringLiteral("Are you sure you want to delete ") + FAttributeList->Cell(row, 0) +
                             QLatin1Char('?');
    // Only Yes deletes: a box closed any other way keeps the attribute.
    if (!Prompts().AskYesNo(question)) return;
    const int index = element->Attributes.IndexOf(FAttributeList->Ref(row));
    if (index < 0) return;
    Record(std::make_unique<TAttributePresenceStep>(*this, QStringLiteral("Delete attribute ") + FAttributeList->Cell(row, 0),
                                                    PathOf(element), index, element->Attributes.Delete(index)));
    FAttributeList->RemoveRow(row);
}

void TBrindleF::viewClick(const QPoint& position)
{
    InEdit->hide();
    const int row = SelectedAttributeRow();
    if (row < 0) return;
    const int nameWidth = view->columnWidth(0);
    TqelXMLAttribute2* attribute = FAttributeList->Ref(row);
    QRect cell;
    if (position.x() > nameWidth) {
        cell = view->visualRect(FAttributeList->index(row, 1));
        // The value's box reaches to the list's right edge, past a short last column.
        cell.setRight(std::max(cell.right(), view->viewport()->width() - 1));
        InEdit->setText(Decode(attribute->Value));
        FInEditMode = TInEditMode::Value;
    } else {
        cell = view->visualRect(FAttributeList->index(row, 0));
        InEdit->setText(Decode(attribute->Name));
        FInEditMode = TInEditMode::Name;
    }
    // At least as high as the box needs for its text, and never narrower than the cell.
    cell.setHeight(std::max(cell.height(), InEdit->sizeHint().height()));
    InEdit->setFixedSize(cell.size());
    InEdit->move(view->viewport()->mapTo(Panel1, cell.topLeft()));
    InEdit->raise();
    InEdit->show();
    InEdit->setFocus(Qt::MouseFocusReason);
    InEdit->selectAll();
}

bool TBrindleF::InEditKeyPress(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const int row = SelectedAttributeRow();
        if (row >= 0) {
            TqelXMLAttribute2* attribute = FAttributeList->Ref(row);
            TqelXMLNode2* element = SelectedRowElement();
            const QString text = InEdit->text();
            const std::string& before = FInEditMode == TInEditMode::Value ? attribute->Value : attribute->Name;
            if (element && Encode(text) != before)
                Record(std::make_unique<TAttributeEditStep>(*this, PathOf(element),
                                                            element->Attributes.IndexOf(attribute), *attribute));
            if (FInEditMode == TInEditMode::Value) {
                std::string value = Encode(text);
                // Refused before anything changes; the box keeps the text to be mended.
                // The standard reading escapes what the value holds.
                if (std::string problem = WorkDoc->Reading() == TqelXMLReading::Classic ? AttributeValueProblem(value)
                                                                                         : std::string();
                    !problem.empty())
                    throw std::runtime_error(std::move(problem));
                attribute->SetValue(std::move(value));
                FAttributeList->SetCell(row, 1, text);
            } else {
                attribute->SetName(Encode(text));
                FAttributeList->SetCell(row, 0, text);
            }
        }
        LeaveInEdit();
        return true;
    }
    if (key == Qt::Key_Escape) {
        LeaveInEdit();
        return true;
    }
    return false;
}

void TBrindleF::LeaveInEdit()
{
    view->setFocus(Qt::OtherFocusReason);
    // Losing the focus hides the box; a window in the background gets no focus
    // events, so it is hidden here as well.
    InEdit->hide();
}

void TBrindleF::InEditExit() { InEdit->hide(); }

bool TBrindleF::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != InEdit && event->type() == QEvent::KeyPress &&
        ControlKeyPress(watched, *static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == InEdit) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            bool consumed = false;
            RunCommand([this, key, &consumed] { consumed = InEditKeyPress(key); });
            return consumed;
        }
        if (event->type() == QEvent::FocusOut) {
            RunCommand([this] { InEditExit(); });
        }
    } else if (watched == tree && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Asterisk) {
        // The view's own "expand everything below" knows no depth limit.
        RunCommand([this] { ExpandBelow(tree->currentIndex()); });
        return true;
    } else if (watched == FViewViewport && event->type() == QEvent::MouseButtonRelease) {
        // The press has already selected the row under the mouse.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QPoint position = mouse->position().toPoint();
            RunCommand([this, position] { viewClick(position); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
