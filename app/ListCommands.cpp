// The selection list, the node-text editor and queries: listing a tree item's
// element or children, running a query typed into the query box, relabelling
// the rows, and finding a row's element in the tree.

#include "app/BrindleU.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTreeView>

#include <stdexcept>

#include "app/HandlerGuards.h"
#include "app/UndoCommands.h"

namespace {

// Raises with what is wrong when the query cannot be whole: a quoted string
// without its closing quote, or an operator with nothing after it. The engine
// would run such a query and find nothing.
void CheckQueryComplete(const QString& query)
{
    QChar quote;
    qsizetype opened = 0;
    for (qsizetype i = 0; i < query.size(); ++i) {
        const QChar c = query[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            opened = i;
        }
    }
    if (!quote.isNull())
        throw std::runtime_error(QStringLiteral("The query is incomplete: the string at column %1 has no closing %2.")
                                     .arg(opened + 1)
                                     .arg(quote)
                                     .toStdString());
    static const QStringList KOperators = {QStringLiteral("="), QStringLiteral("<"), QStringLiteral(">"),
                                           QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("*"),
                                           QStringLiteral(" and"), QStringLiteral(" or"), QStringLiteral(" not")};
    const QString trimmed = query.trimmed();
    for (const QString& op : KOperators)
        if (trimmed.endsWith(op) && trimmed != op)
            throw std::runtime_error(
                QStringLiteral("The query is incomplete: nothing follows \"%1\".").arg(op.trimmed()).toStdString());
}

}  // namespace

QString TBrindleF::CountOf(qint64 count, const char* noun)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(QString::fromLatin1(noun), count == 1 ? QString() : QStringLiteral("s"));
}

int TBrindleF::SelectedRow() const
{
    const QModelIndexList rows = selection->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

TqelXMLNode2* TBrindleF::SelectedRowElement() const
{
    const int row = SelectedRow();
    return row < 0 ? nullptr : FSelectionList->Ref(row);
}

void TBrindleF::selectionChange()
{
    FAttributeList->Clear();
    TqelXMLNode2* element = SelectedRowElement();
    if (!element) return;
    ShowAttributes(element);
}

void TBrindleF::editorChange()
{
    const int row = SelectedRow();
    if (row < 0) return;  // the text goes into no element
    const QString text = editor->toPlainText();
    TqelXMLNode2* element = FSelectionList->Ref(row);
    Record(std::make_unique<TTextStep>(*this, PathOf(element), element->Text));
    element->SetText(Encode(text));
    FSelectionList->SetCell(row, 1, text);
}

void TBrindleF::FillSelection(const TqelNodeRefList& elements)
{
    std::vector<TSelectionListModel::TRow> rows;
    rows.reserve(elements.size());
    for (TqelXMLNode2* element : elements) rows.push_back({element, {Decode(element->Name), Decode(element->Text)}});
    FSelectionList->SetRows(std::move(rows));
    FitSelectionColumns();
}

void TBrindleF::FitSelectionColumns()
{
    selection->resizeColumnToContents(0);
    selection->resizeColumnToContents(1);
}

void TBrindleF::SelectRow(int row)
{
    if (row < 0 || row >= FSelectionList->Count()) return;
    const QModelIndex index = FSelectionList->index(row, 0);
    selection->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->scrollTo(index);
}

void TBrindleF::ListChildren(const QModelIndex& item)
{
    TqelXMLNode2* element = TElementTreeModel::Element(item);
    if (!element) return;
    THandlerDetach detached(FEditorChangeAttached);
    TqelNodeRefList elements;
    if (element->Children.Count() == 0) {
        elements.push_back(element);
    } else {
        elements.reserve(static_cast<std::size_t>(element->Children.Count()));
        for (const auto& child : element->Children) elements.push_back(child.get());
    }
    FillSelection(elements);
    SelectRow(0);
}

void TBrindleF::ListElement(const QModelIndex& item)
{
    TqelXMLNode2* element = TElementTreeModel::Element(item);
    if (!element) return;
    FillSelection({element});
    SelectRow(0);
}

void TBrindleF::ListNode1Click() { ListElement(SelectedTreeIndex()); }

void TBrindleF::ListSubnodes1Click() { ListChildren(SelectedTreeIndex()); }

void TBrindleF::cmdpathclick()
{
    QString query = edfilter->toPlainText();
    if (query.isEmpty()) return;
    // A query typed over several lines runs as one line.
    query.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    query.replace(QLatin1Char('\n'), QLatin1Char(' '));
    query.replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (!FTreeModel->Shown()) return;
    QModelIndex start = SelectedTreeIndex();
    if (!start.isValid()) start = FTreeModel->TopIndex();
    if (QueryLanguage() == TQueryLanguage::XPath) {
        RunXPathQuery(query);
        return;
    }
    if (query == QStringLiteral("*")) {
        ListChildren(start);
        return;
    }
    CheckQueryComplete(query);
    TqelNodeRefList found;
    {
        TBusyCursor busy;
        // An error leaves here, before the list is touched.
        SelectNodesDirect(TElementTreeModel::Element(start), found, Encode(query), false);
        FillSelection(found);
    }
    StatusBar1->showMessage(CountOf(static_cast<qint64>(found.size()), "element") + QStringLiteral(" selected"));
    // Filling drops the selected row without a notification.
    selectionChange();
}

void TBrindleF::Select1Click()
{
    const QModelIndex item = FTreeModel->IndexOf(SelectedRowElement());
    SelectTreeItem(item);
}

void TBrindleF::ListByTag()
{
    FSelectionList->SetHeader(0, QStringLiteral("tag"));
    FSelectionList->RelabelColumn(0, [this](const TqelXMLNode2* element) { return Decode(element->Name); });
    FitSelectionColumns();
}

void TBrindleF::ListByAttribute()
{
    const int attributeRow = SelectedAttributeRow();
    if (attributeRow < 0 || FSelectionList->Count() == 0) return;
    const QString name = FAttributeList->Cell(attributeRow, 0);
    if (name.isEmpty()) return;
    const std::string key = Encode(name);
    FSelectionList->SetHeader(0, name);
    FSelectionList->RelabelColumn(0, [this, &key](const TqelXMLNode2* element) {
        return Decode(element->GetAttribute(std::string_view(key)));
    });
    FitSelectionColumns();
}
