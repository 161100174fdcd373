#include "platform/foundation/Dispatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace fnd;

namespace {

// Every test leaves the main queue empty for the next.
struct MainQueue : ::testing::Test {
    void SetUp() override { mainQueue().drain(); }
    void TearDown() override {
        while (!mainQueue().empty())
            mainQueue().drain();
    }
};

} // namespace

TEST_F(MainQueue, DrainRunsQueuedTasksInOrderAndDefersTasksTheyPost) {
    std::vector<int> ran;
    dispatchAsync(mainQueue(), [&] { ran.push_back(1); });
    dispatchAsync(mainQueue(), [&] {
        ran.push_back(2);
        dispatchAsync(mainQueue(), [&] { ran.push_back(3); });
    });
    dispatchAsync(mainQueue(), {}); // an empty task is ignored
    EXPECT_EQ(mainQueue().drain(), 2u);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_FALSE(mainQueue().empty());
    EXPECT_EQ(mainQueue().drain(), 1u);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(mainQueue().drain(), 0u);

    // A task that keeps posting itself cannot hang a drain: each drain runs it once.
    int generations = 0;
    std::function<void()> again = [&] {
        if (++generations < 3) dispatchAsync(mainQueue(), again);
    };
    dispatchAsync(mainQueue(), again);
    EXPECT_EQ(mainQueue().drain(), 1u);
    EXPECT_EQ(mainQueue().size(), 1u);
    EXPECT_EQ(mainQueue().drain(), 1u);
    EXPECT_EQ(generations, 2);
}

TEST_F(MainQueue, TasksPostedFromOtherThreadsRunOnTheMainThread) {
    std::atomic<int> onMain{0};
    std::atomic<int> elsewhere{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            EXPECT_FALSE(isMainThread());
            EXPECT_EQ(mainQueue().drain(), 0u); // only the main thread drains the main queue
            for (int i = 0; i < 250; ++i) {
                dispatchAsync(mainQueue(), [&] { (isMainThread() ? onMain : elsewhere)++; });
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_TRUE(isMainThread());
    EXPECT_EQ(mainQueue().drain(), 1000u);
    EXPECT_EQ(onMain, 1000);
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(MainQueue, ATaskThatThrowsLeavesTheRestQueued) {
    int ran = 0;
    dispatchAsync(mainQueue(), [&] { ++ran; });
    dispatchAsync(mainQueue(), [] { throw std::runtime_error("task failed"); });
    dispatchAsync(mainQueue(), [&] { ran += 10; });
    EXPECT_THROW(mainQueue().drain(), std::runtime_error);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(mainQueue().drain(), 1u);
    EXPECT_EQ(ran, 11);
}

TEST(Semaphore, CountsSignalsAndTimesOut) {
    Semaphore two(2);
    EXPECT_TRUE(two.waitFor(0));
    EXPECT_TRUE(two.waitFor(0));
    EXPECT_FALSE(two.waitFor(0));
    EXPECT_FALSE(two.waitFor(-1));
    EXPECT_FALSE(two.waitFor(std::numeric_limits<double>::quiet_NaN()));
    two.signal();
    two.wait();
    EXPECT_FALSE(two.waitFor(0.001));

    Semaphore done(0);
    std::thread worker([&] { done.signal(); });
    done.wait(); // returns once the other thread has signalled
    worker.join();
}

TEST_F(MainQueue, WaitingWhileDrainingRunsACallbackThatPostsToTheMainQueue) {
    // A data source answers on another thread and hands the result to the main queue,
    // which signals only once it has run there; a plain wait on the main thread would
    // never return.
    Semaphore semaphore(0);
    std::vector<int> events;
    bool storedOnMain = false;
    std::thread source([&] {
        dispatchAsync(mainQueue(), [&] {
            events = {1, 2, 3};
            storedOnMain = isMainThread();
            semaphore.signal();
        });
    });
    EXPECT_TRUE(waitDrainingMainQueue(semaphore, std::numeric_limits<double>::infinity()));
    source.join();
    EXPECT_EQ(events, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(storedOnMain);

    // Without a signal the wait ends at the time limit, having run what was queued.
    int ran = 0;
    dispatchAsync(mainQueue(), [&] { ++ran; });
    EXPECT_FALSE(waitDrainingMainQueue(semaphore, 0.01));
    EXPECT_EQ(ran, 1);
}
