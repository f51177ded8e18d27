#include "app/UndoHistory.h"

void TUndoHistory::Push(std::unique_ptr<TUndoStep> step)
{
    while (FSteps.size() > FIndex) {
        FBytes -= FSteps.back()->Bytes();
        FSteps.pop_back();
    }
    if (FClean > static_cast<std::ptrdiff_t>(FIndex)) FClean = -1;
    // Typing goes into the previous step, but never across the saved state.
    if (FIndex > 0 && !IsClean() && FSteps.back()->Absorb(*step)) return;
    FBytes += step->Bytes();
    FSteps.push_back(std::move(step));
    ++FIndex;
    while (FSteps.size() > KMaxSteps || (FBytes > KMaxBytes && FSteps.size() > 1)) DropFirst();
}

void TUndoHistory::DropFirst()
{
    FBytes -= FSteps.front()->Bytes();
    FSteps.erase(FSteps.begin());
    --FIndex;
    FClean = FClean > 0 ? FClean - 1 : -1;
}

TUndoStep* TUndoHistory::Undo()
{
    TUndoStep* step = NextUndo();
    if (!step) return nullptr;
    step->Toggle();
    --FIndex;
    return step;
}

TUndoStep* TUndoHistory::Redo()
{
    TUndoStep* step = NextRedo();
    if (!step) return nullptr;
    step->Toggle();
    ++FIndex;
    return step;
}

void TUndoHistory::Clear()
{
    FSteps.clear();
    FIndex = 0;
    FClean = 0;
    FBytes = 0;
}
