#pragma once
// What a dataset tells the views that show it (a grid model, a record navigator).

class TDataSet;
class TField;

// Observers are attached to a dataset without being owned by it; an observer
// must detach itself before it is destroyed.
class TDataSetObserver {
public:
    virtual ~TDataSetObserver() = default;
    // The records of the buffer window were read again (open, first, last,
    // refresh, post, cancel, delete, a new record): every row may differ.
    virtual void DataChanged(TDataSet&) {}
    // A field of the record being edited received a value.
    virtual void FieldChanged(TDataSet&, TField&) {}
    // The dataset changed state (opened, closed, began or ended an edit).
    virtual void StateChanged(TDataSet&) {}
    // The active record moved by distance records (positive toward the end); the
    // window may have shifted to keep it inside.
    virtual void Scrolled(TDataSet&, int /*distance*/) {}
};
