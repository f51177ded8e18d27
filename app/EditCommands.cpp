// The Edit menu: Undo and Redo over the working document's history, and how
// the views follow a step.

#include "app/BrindleU.h"

#include <QAction>
#include <QTreeView>

#include "app/HandlerGuards.h"
#include "app/SourceEditor.h"
#include "app/UndoCommands.h"

void TBrindleF::Record(std::unique_ptr<TDocumentStep> step)
{
    FHistory.Push(std::move(step));
    HistoryChanged();
}

void TBrindleF::HistoryChanged()
{
    // Every change of the document, its undoing and redoing pass here.
    ++FDocumentGeneration;
    UpdateCaption();
    const TUndoStep* undo = FHistory.NextUndo();
    const TUndoStep* redo = FHistory.NextRedo();
    Undo1->setEnabled(undo != nullptr);
    Undo1->setText(undo ? QStringLiteral("&Undo ") + undo->Caption() : QStringLiteral("&Undo"));
    Redo1->setEnabled(redo != nullptr);
    Redo1->setText(redo ? QStringLiteral("&Redo ") + redo->Caption() : QStringLiteral("&Redo"));
}

void TBrindleF::Undo1Click()
{
    if (!FHistory.NextUndo() || !LeaveSource()) return;
    AfterStep(static_cast<const TDocumentStep&>(*FHistory.Undo()));
}

void TBrindleF::Redo1Click()
{
    if (!FHistory.NextRedo() || !LeaveSource()) return;
    AfterStep(static_cast<const TDocumentStep&>(*FHistory.Redo()));
}

void TBrindleF::AfterStep(const TDocumentStep& step)
{
    HistoryChanged();
    if (step.RemovesElements()) {
        // Rows of the lists may refer to elements the step took out.
        ClearEditor();
        ClearLists();
    } else {
        // The rows keep their elements and show what those hold now.
        const int row = SelectedRow();
        TqelNodeRefList elements;
        for (int i = 0; i < FSelectionList->Count(); ++i) elements.push_back(FSelectionList->Ref(i));
        {
            THandlerDetach detached(FEditorChangeAttached);
            FillSelection(elements);
        }
        SelectRow(row);
        selectionChange();
    }
    const QModelIndex target = FTreeModel->IndexOf(ElementAt(*WorkDoc, step.Target()));
    {
        THandlerDetach detached(FTreeChangeAttached);
        SelectTreeItem(target);
    }
    ShowSource(target);
}
