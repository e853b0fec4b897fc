#include "platform/core/Dispatch.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using core::Clock;
using core::ManualClock;
using core::RunLoop;

namespace {
struct Overlay : std::enable_shared_from_this<Overlay> {
    std::vector<std::string>* log = nullptr;
    void hideAfterDelay(double delay)
    {
        core::after(delay, shared_from_this(), [this] { log->push_back("hide"); });
    }
    void hide()
    {
        core::cancelAll(this);   // cancelPreviousPerformRequestsWithTarget:self
        log->push_back("hide now");
    }
};

class DispatchTest : public ::testing::Test {
protected:
    void TearDown() override { RunLoop::main().reset(); }
    ManualClock clock;
};
} // namespace

TEST_F(DispatchTest, AfterRunsAtItsDelayInOrderWithOtherWork)
{
    std::vector<std::string> log;
    auto overlay = std::make_shared<Overlay>();
    overlay->log = &log;
    overlay->hideAfterDelay(1.0);
    core::afterDelay(0.5, [&] { log.push_back("block"); });
    core::post([&] { log.push_back("posted"); });
    EXPECT_EQ(core::pendingCount(overlay.get()), 1u);
    clock.advance(0.99);
    EXPECT_EQ(log, (std::vector<std::string>{"posted", "block"}));
    clock.advance(0.01);
    EXPECT_EQ(log, (std::vector<std::string>{"posted", "block", "hide"}));
    EXPECT_EQ(core::pendingCount(overlay.get()), 0u);
}

TEST_F(DispatchTest, CancelAllDropsOnlyThatOwnersWork)
{
    std::vector<std::string> log;
    auto a = std::make_shared<Overlay>();
    auto b = std::make_shared<Overlay>();
    a->log = &log;
    b->log = &log;
    a->hideAfterDelay(1);
    a->hideAfterDelay(2);
    b->hideAfterDelay(1.5);
    clock.advance(0.5);
    a->hide();
    EXPECT_EQ(core::pendingCount(a.get()), 0u);
    clock.advance(5);
    EXPECT_EQ(log, (std::vector<std::string>{"hide now", "hide"}));   // b's only
    core::cancelAll(a.get());   // nothing pending: harmless

    bool ran = false;   // a block without an owner is cancelled by its id
    core::cancel(core::afterDelay(0.25, [&] { ran = true; }));
    clock.advance(1);
    EXPECT_FALSE(ran);
}

TEST_F(DispatchTest, NothingRunsForADestroyedOwner)
{
    int ran = 0;
    std::weak_ptr<Overlay> weak;
    {
        auto owner = std::make_shared<Overlay>();
        weak = owner;
        core::after(1, owner, [&] { ++ran; });
        core::after(0, owner, [&] { ++ran; });
    }
    EXPECT_TRUE(weak.expired()) << "after() must not keep its owner alive";
    clock.advance(2);
    EXPECT_EQ(ran, 0);
}

TEST_F(DispatchTest, OwnerStaysAliveWhileItsWorkRuns)
{
    auto owner = std::make_shared<Overlay>();
    std::weak_ptr<Overlay> weak = owner;
    bool aliveInside = false;
    core::after(1, owner, [&, raw = owner.get()] {
        owner.reset();   // the last outside reference goes away inside the call
        aliveInside = !weak.expired() && raw != nullptr;
    });
    clock.advance(1);
    EXPECT_TRUE(aliveInside);
    EXPECT_TRUE(weak.expired());
}

TEST(DispatchThreadsTest, PostFromOtherThreadsRunsOnTheMainThreadInOrder)
{
    const auto mainThread = std::this_thread::get_id();
    std::vector<int> order;   // main thread only
    std::atomic<bool> offMain{false};
    constexpr int PerThread = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < PerThread; ++i) {
                core::post([&, t, i] {
                    if (std::this_thread::get_id() != mainThread)
                        offMain = true;
                    order.push_back(t * PerThread + i);
                });
            }
        });
    }
    for (auto& th : threads)
        th.join();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return order.size() == 4 * PerThread; }, 10));
    EXPECT_FALSE(offMain);
    // FIFO per thread: each thread's items arrive in the order it posted them.
    std::vector<int> last(4, -1);
    for (int v : order) {
        const int t = v / PerThread;
        EXPECT_GT(v % PerThread, last[t]);
        last[t] = v % PerThread;
    }
}
