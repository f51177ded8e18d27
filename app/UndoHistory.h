#pragma once
// The working document's history of changes, for Undo and Redo. Every step
// toggles between the document before and after the change it records, so
// undoing and redoing are the same operation on the step. Steps keep what they
// took out of the document (a deleted element, the old children of a replaced
// element) and put the same objects back.
//
// The history keeps at most KMaxSteps steps, and drops its oldest steps while
// the ones it holds are estimated at more than KMaxBytes; the newest step is
// always kept, however large.

#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

class TUndoStep {
public:
    explicit TUndoStep(QString caption) : FCaption(std::move(caption)) {}
    virtual ~TUndoStep() = default;
    TUndoStep(const TUndoStep&) = delete;
    TUndoStep& operator=(const TUndoStep&) = delete;

    // The command's name for the menu: "Delete book".
    const QString& Caption() const { return FCaption; }
    // Undoes the step when it is done, redoes it when it is undone.
    virtual void Toggle() = 0;
    // An estimate of the memory the step holds, in bytes.
    virtual std::size_t Bytes() const { return 0; }
    // Takes over a later step of the same kind on the same thing (typing); true
    // when later needs no step of its own.
    virtual bool Absorb(const TUndoStep& /*later*/) { return false; }

private:
    QString FCaption;
};

class TUndoHistory {
public:
    static constexpr std::size_t KMaxSteps = 1000;
    static constexpr std::size_t KMaxBytes = std::size_t{256} << 20;

    // Records a step that has just been done; the undone steps are dropped.
    void Push(std::unique_ptr<TUndoStep> step);
    // The step Undo or Redo would toggle, or nullptr.
    TUndoStep* NextUndo() const { return FIndex > 0 ? FSteps[FIndex - 1].get() : nullptr; }
    TUndoStep* NextRedo() const { return FIndex < FSteps.size() ? FSteps[FIndex].get() : nullptr; }
    // Toggles the step back or forward; returns it, or nullptr when there is none.
    TUndoStep* Undo();
    TUndoStep* Redo();
    // Drops every step; the document as it is counts as saved.
    void Clear();
    // The document as it is counts as saved.
    void SetClean() { FClean = static_cast<std::ptrdiff_t>(FIndex); }
    // True while the document is as it was saved.
    bool IsClean() const { return FClean == static_cast<std::ptrdiff_t>(FIndex); }
    std::size_t Count() const { return FSteps.size(); }

private:
    std::vector<std::unique_ptr<TUndoStep>> FSteps;
    std::size_t FIndex = 0;      // steps before it are done, from it on undone
    std::ptrdiff_t FClean = 0;   // the index at which the document was saved; -1 when no longer reachable
    std::size_t FBytes = 0;      // the estimate of all steps held

    void DropFirst();
};
