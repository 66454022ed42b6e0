#include "core/observer.h"

#include <algorithm>

IObservable::~IObservable() { IObservable::DetachAll(); }

void IObservable::Attach(IObserver* observer) { observers.push_back(observer); }

void IObservable::Detach(IObserver* observer) {
    const auto first = std::remove(observers.begin(), observers.end(), observer);
    const auto removed = std::distance(first, observers.end());
    observers.erase(first, observers.end());
    for (auto i = 0; i < removed; ++i) {
        if (observer != nullptr) {
            observer->Release();
        }
    }
}

void IObservable::SetNotify(bool enabled) { notifyEnabled = enabled; }

void IObservable::Notify(IObsEvent* event) {
    if (!notifyEnabled) {
        return;
    }
    // An observer may detach itself from inside Update; walk a copy so the loop stays valid.
    const auto snapshot = observers;
    for (IObserver* observer : snapshot) {
        if (observer != nullptr) {
            observer->Update(event);
        }
    }
}

void IObservable::DetachAll() {
    auto old = std::move(observers);
    observers.clear();
    for (IObserver* observer : old) {
        if (observer != nullptr) {
            observer->Release();
        }
    }
}
