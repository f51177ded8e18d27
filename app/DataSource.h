#pragma once
// The link between a dataset and the controls that show it (a grid, a record
// navigator): it observes the dataset and passes each notification on as a Qt
// signal, so that any number of controls can follow one dataset.

#include <QObject>

#include "table/DataSet.h"

class TDataSource : public QObject, private TDataSetObserver {
    Q_OBJECT

public:
    // dataSet must outlive the source (not owned); the source detaches itself when destroyed.
    explicit TDataSource(TDataSet& dataSet, QObject* parent = nullptr);
    ~TDataSource() override;
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TDataSet& DataSet() const { return FDataSet; }
    // Tells the controls that the position or the ends of the dataset may have
    // changed without a notification: a move stopped at the first or last record
    // moves nothing and so tells nobody, yet it sets Bof or Eof.
    void Touch() { emit changed(); }

signals:
    // The records of the buffer window were read again.
    void dataChanged();
    // The dataset opened, closed, began or ended an edit.
    void stateChanged();
    // A field of the record being edited received a value.
    void fieldChanged(TField* field);
    // The active record moved by distance records.
    void scrolled(int distance);
    // After every one of the signals above, and on Touch.
    void changed();

private:
    void DataChanged(TDataSet&) override;
    void FieldChanged(TDataSet&, TField& field) override;
    void StateChanged(TDataSet&) override;
    void Scrolled(TDataSet&, int distance) override;

    TDataSet& FDataSet;  // not owned
};
