#include "platform/foundation/Dispatch.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace fnd {

namespace {

std::atomic<std::thread::id>& mainThreadId() {
    static std::atomic<std::thread::id> id{std::this_thread::get_id()};
    return id;
}

// Records the thread that runs the static initialisers (the process's first thread) as
// the main thread, before any other thread can ask.
[[maybe_unused]] const bool gMainThreadRecorded = (mainThreadId(), true);

// The semaphore the main thread is waiting on while draining the main queue, if any: a
// task posted to the main queue interrupts that wait so the task runs at once.
std::mutex gWaiterMutex;
Semaphore* gMainWaiter = nullptr;

// A point `seconds` from now; nullopt (no limit) for very long or infinite waits.
std::optional<std::chrono::steady_clock::time_point> deadlineAfter(double seconds) {
    using namespace std::chrono;
    if (std::isnan(seconds) || seconds < 0) seconds = 0;
    if (seconds > 1e9) return std::nullopt; // about 30 years
    return steady_clock::now() + duration_cast<steady_clock::duration>(duration<double>(seconds));
}

} // namespace

bool isMainThread() {
    return mainThreadId().load() == std::this_thread::get_id();
}
void markMainThread() {
    mainThreadId().store(std::this_thread::get_id());
}

// ---------------------------------------------------------------------------------------
// Queues

DispatchQueue& mainQueue() {
    static DispatchQueue* queue = [] {
        auto* q = new DispatchQueue(); // never destroyed: tasks may be posted during exit
        q->_isMain = true;
        return q;
    }();
    return *queue;
}

void DispatchQueue::async(std::function<void()> task) {
    if (!task) return;
    {
        std::lock_guard lock(_mutex);
        _tasks.push_back(std::move(task));
    }
    if (!_isMain) return;
    std::lock_guard lock(gWaiterMutex);
    if (gMainWaiter) gMainWaiter->interrupt();
}

void dispatchAsync(DispatchQueue& queue, std::function<void()> task) {
    queue.async(std::move(task));
}

std::size_t DispatchQueue::drain() {
    if (_isMain && !isMainThread()) return 0;
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(_mutex);
        batch.swap(_tasks);
    }
    std::size_t ran = 0;
    try {
        for (; ran < batch.size(); ++ran)
            batch[ran]();
    } catch (...) {
        // The tasks after the one that threw go back to the front, in order.
        std::lock_guard lock(_mutex);
        _tasks.insert(_tasks.begin(),
                      std::make_move_iterator(batch.begin() + static_cast<std::ptrdiff_t>(ran) + 1),
                      std::make_move_iterator(batch.end()));
        throw;
    }
    return ran;
}

bool DispatchQueue::empty() const {
    std::lock_guard lock(_mutex);
    return _tasks.empty();
}

std::size_t DispatchQueue::size() const {
    std::lock_guard lock(_mutex);
    return _tasks.size();
}

// ---------------------------------------------------------------------------------------
// Semaphores

void Semaphore::signal() {
    {
        std::lock_guard lock(_mutex);
        ++_count;
    }
    _condition.notify_one();
}

void Semaphore::interrupt() {
    {
        std::lock_guard lock(_mutex);
        _interrupted = true;
    }
    _condition.notify_all();
}

Semaphore::Wake Semaphore::waitUntil(const Deadline& deadline, bool interruptible) {
    std::unique_lock lock(_mutex);
    auto ready = [&] { return _count > 0 || (interruptible && _interrupted); };
    if (deadline) {
        _condition.wait_until(lock, *deadline, ready);
    } else {
        _condition.wait(lock, ready);
    }
    if (_count > 0) {
        --_count;
        return Wake::Acquired;
    }
    if (interruptible && _interrupted) {
        _interrupted = false;
        return Wake::Interrupted;
    }
    return Wake::TimedOut;
}

void Semaphore::wait() {
    waitUntil(std::nullopt, false);
}

bool Semaphore::waitFor(double seconds) {
    return waitUntil(deadlineAfter(seconds), false) == Wake::Acquired;
}

bool waitDrainingMainQueue(Semaphore& semaphore, double timeoutSeconds) {
    const auto deadline = deadlineAfter(timeoutSeconds);
    if (!isMainThread()) return semaphore.waitUntil(deadline, false) == Semaphore::Wake::Acquired;
    Semaphore* previous = nullptr;
    {
        std::lock_guard lock(gWaiterMutex);
        previous = gMainWaiter;
        gMainWaiter = &semaphore;
    }
    struct Restore {
        Semaphore* previous;
        ~Restore() {
            std::lock_guard lock(gWaiterMutex);
            gMainWaiter = previous;
        }
    } restore{previous};
    for (;;) {
        mainQueue().drain();
        switch (semaphore.waitUntil(deadline, true)) {
        case Semaphore::Wake::Acquired:
            return true;
        case Semaphore::Wake::TimedOut:
            return false;
        case Semaphore::Wake::Interrupted:
            break; // new work on the main queue: run it
        }
    }
}

} // namespace fnd
