#include "app/DataSource.h"

TDataSource::TDataSource(TDataSet& dataSet, QObject* parent) : QObject(parent), FDataSet(dataSet)
{
    FDataSet.AttachObserver(*this);
}

TDataSource::~TDataSource() { FDataSet.DetachObserver(*this); }

void TDataSource::DataChanged(TDataSet&)
{
    emit dataChanged();
    emit changed();
}

void TDataSource::FieldChanged(TDataSet&, TField& field)
{
    emit fieldChanged(&field);
    emit changed();
}

void TDataSource::StateChanged(TDataSet&)
{
    emit stateChanged();
    emit changed();
}

void TDataSource::Scrolled(TDataSet&, int distance)
{
    emit scrolled(distance);
    emit changed();
}
