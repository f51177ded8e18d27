// Keys beyond the menus' shortcuts: the tree's Insert, Delete and rename keys,
// Update Document from the source page, the keyboard's way to the pop-ups, and
// a tab typed where Tab moves the focus.

#include "app/BrindleU.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTreeView>

#include "app/SourceEditor.h"

namespace {

// Where a keyboard-opened pop-up appears, in the viewport's coordinates: below
// the current item of a list or tree, at the caret of the source editor.
QPoint PopupPoint(QAbstractScrollArea& owner)
{
    if (auto* items = qobject_cast<QAbstractItemView*>(&owner)) {
        const QRect item = items->visualRect(items->currentIndex());
        return items->viewport()->rect().intersects(item) ? item.bottomLeft() : QPoint();
    }
    if (auto* source = qobject_cast<TSourceEditor*>(&owner)) {
        const long caret = source->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        const int x = static_cast<int>(source->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, caret));
        const int y = static_cast<int>(source->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, caret));
        return QPoint(x, y + source->fontMetrics().height());
    }
    return {};
}

bool OpensPopup(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier);
}

}  // namespace

void TBrindleF::CreateKeys()
{
    // On the tree only, so that the keys keep their meaning in a label edited in place.
    auto treeKey = [this](QAction* action, const QKeySequence& key) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        tree->addAction(action);
    };
    treeKey(AddChild1, QKeySequence(Qt::Key_Insert));
    treeKey(Delete1, QKeySequence(Qt::Key_Delete));
    // F2, the usual key for this, lists the node.
    treeKey(RenameInPlace1, QKeySequence(Qt::CTRL | Qt::Key_R));

    LoadasDocument1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    LoadasDocument1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    sourceTab->addAction(LoadasDocument1);

    for (QWidget* control : {static_cast<QWidget*>(selection), static_cast<QWidget*>(view),
                             static_cast<QWidget*>(sourceeditor), static_cast<QWidget*>(edfilter),
                             static_cast<QWidget*>(editor)})
        control->installEventFilter(this);
    // The tree's keys are watched already.

    connect(tree->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateTreeItems(); });
    connect(FTreeModel, &QAbstractItemModel::modelReset, this, [this] { UpdateTreeItems(); });
    UpdateTreeItems();
}

bool TBrindleF::ControlKeyPress(QObject* watched, const QKeyEvent& key)
{
    if (OpensPopup(key)) {
        auto* owner = qobject_cast<QAbstractScrollArea*>(watched);
        if (!owner || owner->contextMenuPolicy() != Qt::CustomContextMenu) return false;
        // Asked for as the toolkit asks for it on a right click.
        const QPoint at = PopupPoint(*owner);
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, owner->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(owner->viewport(), &request);
        return true;
    }
    if (key.key() == Qt::Key_Tab && key.modifiers() == Qt::ControlModifier) {
        auto* text = qobject_cast<QPlainTextEdit*>(watched);
        if (!text || text->isReadOnly()) return false;
        text->insertPlainText(QStringLiteral("\t"));
        return true;
    }
    return false;
}
