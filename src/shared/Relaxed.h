#pragma once
#include <atomic>

// A value shared between one writing thread and readers on other threads.
// Each load and store is whole (never torn) and imposes no ordering; unlike
// std::atomic it can be copied, so records holding it copy as values.
template <typename T>
class Relaxed {
public:
    static_assert(std::atomic<T>::is_always_lock_free);
    // Compilers differ on atomics of under-aligned types: gcc inlines them,
    // clang calls libatomic.
    static_assert(alignof(T) >= sizeof(T), "align the type to its size");

    Relaxed(T v = T{}) : value_(v) {}
    Relaxed(const Relaxed& other) : value_(other.load()) {}
    Relaxed& operator=(const Relaxed& other) { store(other.load()); return *this; }
    Relaxed& operator=(T v) { store(v); return *this; }

    operator T() const { return load(); }
    T load() const { return value_.load(std::memory_order_relaxed); }
    void store(T v) { value_.store(v, std::memory_order_relaxed); }

private:
    std::atomic<T> value_;
};
