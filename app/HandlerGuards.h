#pragma once
// Small guards for "switch off, do work, switch on".

#include <QGuiApplication>
#include <QWidget>

// Detaches an event handler for its lifetime by clearing the flag the handler
// checks; restores the previous state on every path, errors included.
class THandlerDetach {
public:
    explicit THandlerDetach(bool& attached) : FAttached(attached), FWas(attached) { FAttached = false; }
    ~THandlerDetach() { FAttached = FWas; }
    THandlerDetach(const THandlerDetach&) = delete;
    THandlerDetach& operator=(const THandlerDetach&) = delete;

private:
    bool& FAttached;  // not owned
    bool FWas;
};

// Shows the busy cursor for its lifetime, over every window of the program.
class TBusyCursor {
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// Suspends a widget's painting and signals for its lifetime: a view that lays
// out many items at once then does it once, and tells nobody item by item.
class TViewBatch {
public:
    explicit TViewBatch(QWidget& widget)
        : FWidget(widget), FWasUpdating(widget.updatesEnabled()), FWasBlocked(widget.blockSignals(true))
    {
        FWidget.setUpdatesEnabled(false);
    }
    ~TViewBatch()
    {
        FWidget.blockSignals(FWasBlocked);
        FWidget.setUpdatesEnabled(FWasUpdating);
    }
    TViewBatch(const TViewBatch&) = delete;
    TViewBatch& operator=(const TViewBatch&) = delete;

private:
    QWidget& FWidget;  // not owned
    bool FWasUpdating;
    bool FWasBlocked;
};
