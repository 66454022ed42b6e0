#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

// Objects handed between the GUI thread, the processor handler and the worker carry their own
// count, so no single owner has to outlive the others. A new object starts with one reference
// held by its creator; whoever stores a pointer without AddRef takes that reference over.
class CRefObject {
public:
    explicit CRefObject(int32_t initialCount = 1) : refCount(initialCount) {}
    virtual ~CRefObject() = default;
    CRefObject(const CRefObject&) = delete;
    CRefObject& operator=(const CRefObject&) = delete;

    void AddRef() { refCount.fetch_add(1, std::memory_order_relaxed); }

    // Deletes the object when the count drops to 0 or below; the caller must not touch it
    // afterwards.
    void Release() {
        if (refCount.fetch_sub(1, std::memory_order_acq_rel) - 1 <= 0) {
            delete this;
        }
    }

    int32_t GetRefCount() const { return refCount.load(std::memory_order_acquire); }

private:
    std::atomic<int32_t> refCount;
};

// Holds exactly one reference and gives it back when it goes, so code that owns a counted
// object never has to pair AddRef and Release by hand.
template <class T>
class CRefPtr {
public:
    CRefPtr() = default;
    // Adopts the reference the caller holds (for example the creator's initial one).
    explicit CRefPtr(T* adopted) : ptr(adopted) {}
    CRefPtr(const CRefPtr& other) : ptr(other.ptr) {
        if (ptr != nullptr) {
            ptr->AddRef();
        }
    }
    CRefPtr(CRefPtr&& other) noexcept : ptr(std::exchange(other.ptr, nullptr)) {}
    template <class U>
    CRefPtr(CRefPtr<U>&& other) noexcept : ptr(other.Detach()) {}
    ~CRefPtr() { Reset(); }

    CRefPtr& operator=(CRefPtr other) noexcept {
        std::swap(ptr, other.ptr);
        return *this;
    }

    // Takes a new reference on an object someone else owns.
    static CRefPtr Share(T* object) {
        if (object != nullptr) {
            object->AddRef();
        }
        return CRefPtr(object);
    }

    void Reset() {
        if (ptr != nullptr) {
            std::exchange(ptr, nullptr)->Release();
        }
    }
    // Gives the held reference to the caller (for receivers that take references over).
    [[nodiscard]] T* Detach() { return std::exchange(ptr, nullptr); }

    T* get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    explicit operator bool() const { return ptr != nullptr; }

private:
    T* ptr = nullptr;
};

template <class T, class... Args>
CRefPtr<T> MakeRef(Args&&... args) {
    return CRefPtr<T>(new T(std::forward<Args>(args)...));
}
