#pragma once

// A process-wide setting that any thread may read and write (the current locale, the
// default time zone, the fixed "now").

#include <mutex>
#include <utility>

namespace fnd::detail {

template <class T> class ProcessDefault {
public:
    explicit ProcessDefault(T initial) : _value(std::move(initial)) {}
    T get() const {
        std::lock_guard lock(_mutex);
        return _value;
    }
    void set(T value) {
        std::lock_guard lock(_mutex);
        _value = std::move(value);
    }
    // Changes the value in place, atomically with respect to get() and set().
    template <class F> void update(F&& change) {
        std::lock_guard lock(_mutex);
        change(_value);
    }

private:
    mutable std::mutex _mutex;
    T _value;
};

} // namespace fnd::detail
