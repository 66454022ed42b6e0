#pragma once

#include <vector>

#include "core/refobject.h"

// Concrete events derive from this and carry their data; observers recognise them by a checked
// downcast, so there is no event-type code to keep in step.
class IObsEvent : public CRefObject {};

class IObserver : public CRefObject {
public:
    // The event is valid only during the call.
    virtual void Update(IObsEvent* event) = 0;
};

// Used on the GUI thread only, so the list needs no lock. Attach takes over the caller's
// reference; Detach, DetachAll and the destructor give it back. Observers may attach and
// detach (themselves or others) from inside Update: a detached observer is not called again.
class IObservable : public CRefObject {
public:
    ~IObservable() override;

    virtual void Attach(IObserver* observer);
    // Releases and removes every entry equal to the observer.
    virtual void Detach(IObserver* observer);
    virtual void SetNotify(bool enabled);
    virtual void Notify(IObsEvent* event);
    virtual void DetachAll();

    bool IsNotifyEnabled() const { return notifyEnabled; }
    std::size_t ObserverCount() const;

private:
    void Compact();

    bool notifyEnabled = true;
    // How deep notifications are nested right now; while one runs, a detached entry is set to
    // null instead of being removed.
    int notifying = 0;
    std::vector<IObserver*> observers;
};
