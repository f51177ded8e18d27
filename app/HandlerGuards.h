#pragma once
// Small guards for "switch off, do work, switch on".

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
