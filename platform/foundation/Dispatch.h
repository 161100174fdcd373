#pragma once

// The main queue and semaphores: the little of a dispatch library the calendar needs.
//
// Everything on screen happens on the main thread. Work from other threads (a data
// source's callback) is handed over with dispatchAsync(mainQueue(), task); the main
// thread runs queued tasks when it drains the queue: the host's run loop does so every
// tick, tests do so explicitly.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace fnd {

class DispatchQueue {
public:
    DispatchQueue() = default;
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    // Appends a task; callable from any thread. An empty function is ignored.
    void async(std::function<void()> task);
    // Runs, in order, the tasks that were queued when the call began, and answers how
    // many ran. Tasks queued meanwhile (a task that queues itself again, say) wait for the
    // next drain, so a drain always ends. The main queue is drained only on the main
    // thread: elsewhere the call runs nothing and answers 0. If a task throws, the tasks
    // after it stay queued and the exception propagates.
    std::size_t drain();
    bool empty() const;
    std::size_t size() const;

private:
    friend DispatchQueue& mainQueue();
    bool _isMain = false;
    mutable std::mutex _mutex;
    std::deque<std::function<void()>> _tasks;
};

// The queue of the main thread.
DispatchQueue& mainQueue();
void dispatchAsync(DispatchQueue& queue, std::function<void()> task);

// The main thread is the thread that started the process (the one that ran the platform's
// static initialisers) unless markMainThread() names another, as a host or a test may.
bool isMainThread();
void markMainThread();

// A counting semaphore.
class Semaphore {
public:
    explicit Semaphore(long value = 0) : _count(value) {}
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // Increments the count, waking one waiter. Callable from any thread.
    void signal();
    // Waits until the count is positive, then decrements it.
    void wait();
    // As wait(), but gives up after `seconds` (NaN or negative: does not wait); false on
    // time-out. Very long or infinite time-outs wait without limit.
    bool waitFor(double seconds);

private:
    friend bool waitDrainingMainQueue(Semaphore&, double);
    friend class DispatchQueue;
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;
    enum class Wake { Acquired, Interrupted, TimedOut };
    // Waits until the semaphore can be taken or the deadline passes; when `interruptible`,
    // also until interrupt() is called (the main queue got work).
    Wake waitUntil(const Deadline& deadline, bool interruptible);
    void interrupt();

    std::mutex _mutex;
    std::condition_variable _condition;
    long _count;
    bool _interrupted = false;
};

// Waits on the semaphore from the main thread while running what is posted to the main
// queue, so that a callback that hands its result to the main queue before signalling
// cannot deadlock the waiter. False when `timeoutSeconds` pass first (an infinite time-out
// waits without limit).
bool waitDrainingMainQueue(Semaphore& semaphore, double timeoutSeconds);

} // namespace fnd
