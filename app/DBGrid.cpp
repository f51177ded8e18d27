#include "app/DBGrid.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cctype>

#include "core/FormatSettings.h"

namespace {

TFieldType TypeOf(const QModelIndex& index)
{
    return static_cast<TFieldType>(index.data(TDataGridModel::FieldTypeRole).toInt());
}

// The short date format in the form of Qt's date editors: runs of d, m and y,
// the date separator for "/", quoted and other characters as literals.
QString QtDateFormat(const TFormatSettings& settings)
{
    const std::string& format = settings.ShortDateFormat;
    QString result;
    const auto literal = [&result](char c) {
        if (c == '\'')
            result += QStringLiteral("''");
        else if (std::isalpha(static_cast<unsigned char>(c)))
            result += QStringLiteral("'") + QLatin1Char(c) + QLatin1Char('\'');
        else
            result += QLatin1Char(c);
    };
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == 'd' || lower == 'm' || lower == 'y') {
            std::size_t end = i;
            while (end < format.size() && std::tolower(static_cast<unsigned char>(format[end])) == lower) ++end;
            const std::size_t run = std::min<std::size_t>(end - i, 4);
            i = end;
            if (lower == 'y')
                result += run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            else
                result += QString(static_cast<qsizetype>(run), QLatin1Char(lower == 'd' ? 'd' : 'M'));
        } else if (c == '/') {
            literal(settings.DateSeparator);
            ++i;
        } else if (c == '"' || c == '\'') {
            std::size_t close = format.find(c, i + 1);
            if (close == std::string::npos) close = format.size();
            for (std::size_t j = i + 1; j < close; ++j) literal(format[j]);
            i = close + 1;
        } else {
            literal(c);
            ++i;
        }
    }
    return result;
}

}  // namespace

// ---- editors ----

QWidget* TDBGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const QString dateFormat = QtDateFormat(ProgramSettings());
    switch (TypeOf(index)) {
    case TFieldType::ftBoolean: {
        auto* box = new QCheckBox(parent);
        box->setAutoFillBackground(true);
        return box;
    }
    case TFieldType::ftDate: {
        auto* edit = new QDateEdit(parent);
        edit->setDisplayFormat(dateFormat);
        edit->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
        edit->setCalendarPopup(true);
        return edit;
    }
    case TFieldType::ftDateTime: {
        auto* edit = new QDateTimeEdit(parent);
        edit->setTimeSpec(Qt::UTC);
        edit->setDisplayFormat(dateFormat + QStringLiteral(" HH:mm:ss"));
        edit->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
        edit->setCalendarPopup(true);
        return edit;
    }
    case TFieldType::ftMemo: {
        auto* edit = new QPlainTextEdit(parent);
        edit->setTabChangesFocus(true);
        return edit;
    }
    default: {
        auto* line = new QLineEdit(parent);
        line->setFrame(false);
        const int size = index.data(TDataGridModel::FieldSizeRole).toInt();
        if (TypeOf(index) == TFieldType::ftString && size > 0) line->setMaxLength(size);
        line->setAlignment(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()));
        return line;
    }
    }
}

void TDBGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QVariant value = index.data(Qt::EditRole);
    if (auto* box = qobject_cast<QCheckBox*>(editor))
        box->setChecked(value.toBool());
    else if (auto* date = qobject_cast<QDateEdit*>(editor))
        date->setDate(value.toDate());
    else if (auto* dateTime = qobject_cast<QDateTimeEdit*>(editor))
        dateTime->setDateTime(value.toDateTime());
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(editor))
        memo->setPlainText(value.toString());
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(value.toString());
}

void TDBGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QCheckBox*>(editor)) {
        model->setData(index, box->isChecked());
    } else if (auto* date = qobject_cast<QDateEdit*>(editor)) {
        model->setData(index, date->date());
    } else if (auto* dateTime = qobject_cast<QDateTimeEdit*>(editor)) {
        model->setData(index, dateTime->dateTime());
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(editor)) {
        // The box keeps line breaks as LF: a memo whose text only differs by its
        // CR LF line ends is left as stored.
        const QString text = memo->toPlainText();
        QString stored = index.data(Qt::EditRole).toString();
        if (stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n")) == text) return;
        model->setData(index, text);
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, line->text());
    }
}

void TDBGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    // A memo gets room for a few lines below its cell.
    if (qobject_cast<QPlainTextEdit*>(editor))
        editor->resize(std::max(editor->width(), 240), std::max(editor->height(), 5 * option.fontMetrics.height()));
}

// ---- the grid ----

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new TDBGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWordWrap(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 2);
    horizontalHeader()->setHighlightSections(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { SelectColumn(column); });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int action) { ScrollBarAction(action); });
}

void TDBGrid::SetDataModel(TDataGridModel* model, TDataSource* source)
{
    FModel = model;
    FSource = source;
    setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, [this] { FitColumns(); });
    FitColumns();
    // The model has already taken each notification when the grid hears of it.
    connect(source, &TDataSource::changed, this, [this] { Follow(); });
    connect(source, &TDataSource::stateChanged, this, [this] { ScheduleFitWindow(); });
    ScheduleFitWindow();
    Follow();
}

bool TDBGrid::Active() const { return FModel && FModel->DataSet().Active(); }

bool TDBGrid::Run(const std::function<void()>& command)
{
    if (FGuard) return FGuard(command);
    command();
    return true;
}

TField* TDBGrid::SelectedField() const { return FModel ? FModel->Field(FColumn) : nullptr; }

void TDBGrid::SelectColumn(int column)
{
    if (!FModel || column < 0 || column >= FModel->columnCount()) return;
    FColumn = column;
    Follow();
}

void TDBGrid::CommitEdit()
{
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // The base hands an open editor's value to the previous cell, whose record
    // is still the active one.
    const bool moving = FMoving;
    FMoving = true;
    QTableView::currentChanged(current, previous);
    if (current.isValid()) {
        FColumn = current.column();
        if (!moving && Active() && current.row() != FModel->ActiveRow() && FModel->ActiveRow() >= 0) {
            const int distance = current.row() - FModel->ActiveRow();
            Run([this, distance] { FModel->DataSet().MoveBy(distance); });
        }
    }
    FMoving = moving;
    if (!moving) Follow();
}

void TDBGrid::MoveDataSet(const std::function<void(TDataSet&)>& move)
{
    const bool moving = FMoving;
    FMoving = true;
    Run([this, &move] { move(FModel->DataSet()); });
    FMoving = moving;
    // A move stopped at an end tells nobody, yet it changes Bof or Eof.
    if (FSource) FSource->Touch();
}

QModelIndex TDBGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if (!Active() || FModel->columnCount() == 0) return QTableView::moveCursor(cursorAction, modifiers);
    const int page = std::max(FModel->rowCount(), 1);
    const bool control = modifiers & Qt::ControlModifier;
    switch (cursorAction) {
    case MoveUp:
        MoveDataSet([](TDataSet& dataSet) { dataSet.MoveBy(-1); });
        break;
    case MoveDown:
        MoveDataSet([](TDataSet& dataSet) { dataSet.MoveBy(1); });
        break;
    case MovePageUp:
        MoveDataSet([page](TDataSet& dataSet) { dataSet.MoveBy(-page); });
        break;
    case MovePageDown:
        MoveDataSet([page](TDataSet& dataSet) { dataSet.MoveBy(page); });
        break;
    case MoveHome:
        if (!control) return QTableView::moveCursor(cursorAction, modifiers);
        MoveDataSet([](TDataSet& dataSet) { dataSet.First(); });
        break;
    case MoveEnd:
        if (!control) return QTableView::moveCursor(cursorAction, modifiers);
        MoveDataSet([](TDataSet& dataSet) { dataSet.Last(); });
        break;
    default:
        return QTableView::moveCursor(cursorAction, modifiers);
    }
    const int row = FModel->ActiveRow();
    return row < 0 ? QModelIndex() : FModel->index(row, FColumn);
}

void TDBGrid::wheelEvent(QWheelEvent* event)
{
    if (!Active() || event->angleDelta().y() == 0) {
        QTableView::wheelEvent(event);
        return;
    }
    FWheelAngle += event->angleDelta().y();
    const int steps = FWheelAngle / 120;
    FWheelAngle -= steps * 120;
    if (steps != 0) MoveDataSet([steps](TDataSet& dataSet) { dataSet.MoveBy(-steps); });
    event->accept();
}

void TDBGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    ScheduleFitWindow();
}

void TDBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    SyncScrollBar();
}

void TDBGrid::scrollContentsBy(int dx, int) { QTableView::scrollContentsBy(dx, 0); }

void TDBGrid::Follow()
{
    if (!FModel || FMoving) return;
    const int columns = FModel->columnCount();
    // A closed table keeps the column, so that a field command reopening it
    // leaves the same column selected.
    if (columns > 0) FColumn = std::clamp(FColumn, 0, columns - 1);
    const int row = FModel->ActiveRow();
    if (row >= 0 && columns > 0) {
        const QModelIndex target = FModel->index(row, FColumn);
        if (currentIndex() != target) {
            // Whoever moved the dataset has taken the editor's value already.
            if (state() == QAbstractItemView::EditingState)
                if (QWidget* editor = indexWidget(currentIndex()))
                    closeEditor(editor, QAbstractItemDelegate::NoHint);
            FMoving = true;
            selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
            FMoving = false;
        }
        scrollTo(target);
    }
    SyncScrollBar();
}

void TDBGrid::SyncScrollBar()
{
    QScrollBar* bar = verticalScrollBar();
    TDataSet* dataSet = FModel ? &FModel->DataSet() : nullptr;
    int count = 0;
    int position = 0;
    // The record number puts the store's cursor on the active record: only asked while browsing.
    if (dataSet && dataSet->State() == TDataSetState::dsBrowse) {
        count = std::max(dataSet->RecordCount(), 0);
        position = std::max(dataSet->RecNo() - 1, 0);
    } else if (dataSet && dataSet->Active()) {
        count = bar->maximum() + 1;
        position = bar->value();
    }
    bar->setRange(0, std::max(count - 1, 0));
    bar->setPageStep(std::max(FModel ? FModel->rowCount() : 1, 1));
    bar->setSingleStep(1);
    bar->setValue(position);
    bar->setEnabled(count > 1);
}

void TDBGrid::ScrollBarAction(int action)
{
    if (!Active()) return;
    QScrollBar* bar = verticalScrollBar();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        MoveDataSet([](TDataSet& dataSet) { dataSet.MoveBy(1); });
        break;
    case QAbstractSlider::SliderSingleStepSub:
        MoveDataSet([](TDataSet& dataSet) { dataSet.MoveBy(-1); });
        break;
    default: {
        const int recNo = bar->sliderPosition() + 1;
        MoveDataSet([recNo](TDataSet& dataSet) { dataSet.SetRecNo(recNo); });
        break;
    }
    }
    Follow();
}

void TDBGrid::ScheduleFitWindow()
{
    if (FFitPending) return;
    FFitPending = true;
    QMetaObject::invokeMethod(this, [this] { FitWindow(); }, Qt::QueuedConnection);
}

void TDBGrid::FitWindow()
{
    FFitPending = false;
    if (!FModel) return;
    TDataSet& dataSet = FModel->DataSet();
    const int rows = std::max(viewport()->height() / std::max(verticalHeader()->defaultSectionSize(), 1), 1);
    if (dataSet.BufferCount() == rows) return;
    // An edit in progress keeps its window; the grid fits it once browsing again.
    if (dataSet.Active() && dataSet.State() != TDataSetState::dsBrowse) return;
    MoveDataSet([rows](TDataSet& set) { set.SetBufferCount(rows); });
    Follow();
}

namespace {

// The characters a field's values usually take in a cell.
int TypicalCharacters(const TField& field)
{
    switch (field.DataType()) {
    case TFieldType::ftString:
        return field.Size();
    case TFieldType::ftSmallint:
        return 6;
    case TFieldType::ftInteger:
        return 11;
    case TFieldType::ftBoolean:
        return 5;
    case TFieldType::ftDate:
    case TFieldType::ftTime:
        return 10;
    case TFieldType::ftDateTime:
        return 19;
    case TFieldType::ftMemo:
    case TFieldType::ftGraphic:
        return 30;
    default:
        return 14;
    }
}

}  // namespace

void TDBGrid::FitColumns()
{
    if (!FModel) return;
    QStringList fields;
    for (int column = 0; column < FModel->columnCount(); ++column) {
        const TField* field = FModel->Field(column);
        fields << (field ? QString::fromStdString(field->FieldName()) + QLatin1Char(':') +
                               QString::number(static_cast<int>(field->DataType())) + QLatin1Char(':') +
                               QString::number(field->Size())
                         : QString());
    }
    if (fields == FFittedFields) return;
    FFittedFields = fields;
    // Within reason: from 4 to 40 characters, and never narrower than the header.
    // Numbers and dates are mostly digits, often wider than the average character.
    const int character = std::max(fontMetrics().averageCharWidth(), fontMetrics().horizontalAdvance(QLatin1Char('0')));
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + character;
    for (int column = 0; column < FModel->columnCount(); ++column) {
        const TField* field = FModel->Field(column);
        const int characters = std::clamp(field ? TypicalCharacters(*field) : 10, 4, 40);
        const int header = horizontalHeader()->fontMetrics().horizontalAdvance(
                               FModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()) +
                           2 * padding;
        setColumnWidth(column, std::max(characters * character + padding, header));
    }
}
