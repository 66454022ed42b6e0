#include "core/observer.h"

#include <algorithm>

IObservable::~IObservable() {
    IObservable::DetachAll();
}

void IObservable::Attach(IObserver* observer) {
    observers.push_back(observer);
}

void IObservable::Detach(IObserver* observer) {
    // During a notification the entries stay where they are, emptied, so the walk's positions
    // hold; they are dropped once the outermost notification is over.
    std::size_t removed = 0;
    for (IObserver*& entry : observers) {
        if (entry == observer && entry != nullptr) {
            entry = nullptr;
            ++removed;
        }
    }
    if (notifying == 0) {
        Compact();
    }
    for (std::size_t i = 0; i < removed; ++i) {
        observer->Release();
    }
}

void IObservable::SetNotify(bool enabled) {
    notifyEnabled = enabled;
}

void IObservable::Notify(IObsEvent* event) {
    if (!notifyEnabled) {
        return;
    }
    // An observer may detach itself or another, or release the last outside reference to this
    // observable, from inside Update. The observable keeps itself alive for the walk, each
    // observer is held while it runs, and one detached meanwhile is skipped. Observers attached
    // during the walk are first called at the next notification.
    const CRefPtr<IObservable> self = CRefPtr<IObservable>::Share(this);
    ++notifying;
    const std::size_t count = observers.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (observers[i] != nullptr) {
            const CRefPtr<IObserver> observer = CRefPtr<IObserver>::Share(observers[i]);
            observer->Update(event);
        }
    }
    if (--notifying == 0) {
        Compact();
    }
}

void IObservable::DetachAll() {
    std::vector<IObserver*> old;
    if (notifying == 0) {
        old = std::move(observers);
        observers.clear();
    } else {
        old = observers;
        std::fill(observers.begin(), observers.end(), nullptr);
    }
    for (IObserver* observer : old) {
        if (observer != nullptr) {
            observer->Release();
        }
    }
}

std::size_t IObservable::ObserverCount() const {
    return static_cast<std::size_t>(std::count_if(observers.begin(), observers.end(),
                                                  [](IObserver* o) { return o != nullptr; }));
}

void IObservable::Compact() {
    observers.erase(std::remove(observers.begin(), observers.end(), nullptr), observers.end());
}
