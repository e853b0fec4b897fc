#include "server/signin/DerivationPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace server;

namespace {

// Starts `count` derivations that hold their places until `release` opens; returns once all
// of them have started running.
std::vector<std::thread> holdPlaces(DerivationPool& pool, int count, std::latch& release, std::atomic<int>& done)
{
    std::latch started(count);
    std::vector<std::thread> callers;
    for (int i = 0; i < count; ++i) {
        callers.emplace_back([&] {
            done += pool.run([&] {
                started.count_down();
                release.wait();
            });
        });
    }
    started.wait();
    return callers;
}

} // namespace

// With every place taken a further derivation is refused at once and never runs; callers get
// their own work's result, exceptions included, and a place freed is usable again at once.
TEST(DerivationPool, RefusesBeyondItsPlacesAtOnceAndRunsEverythingItAdmits)
{
    DerivationPool pool(DerivationPool::kMaxInFlight);
    std::latch release(1);
    std::atomic<int> done = 0;
    auto callers = holdPlaces(pool, DerivationPool::kMaxInFlight, release, done);
    bool refusedRan = false;
    EXPECT_FALSE(pool.run([&] { refusedRan = true; }));
    EXPECT_FALSE(refusedRan) << "refused work must not run";
    release.count_down();
    for (auto& caller : callers)
        caller.join();
    EXPECT_EQ(done.load(), DerivationPool::kMaxInFlight);

    int value = 0;
    EXPECT_TRUE(pool.run([&] { value = 7; }));
    EXPECT_EQ(value, 7);
    EXPECT_THROW(pool.run([] { throw std::runtime_error("derivation failed"); }), std::runtime_error);
    EXPECT_TRUE(pool.run([] {})) << "a failed derivation frees its place";
}

// Fewer threads than places: the rest wait for a free thread, and all of them run.
TEST(DerivationPool, WaitingDerivationsRunOnceAThreadIsFree)
{
    DerivationPool pool(1);
    std::latch started(1);
    std::latch release(1);
    std::atomic<bool> firstEnded = false;
    std::atomic<int> ran = 0;
    std::vector<std::thread> callers;
    callers.emplace_back([&] {
        pool.run([&] {
            started.count_down();
            release.wait();
            firstEnded = true;
        });
    });
    started.wait();
    for (int i = 0; i < 3; ++i) {
        callers.emplace_back([&] {
            EXPECT_TRUE(pool.run([&] {
                EXPECT_TRUE(firstEnded.load()) << "ran while the only thread was busy";
                ++ran;
            }));
        });
    }
    release.count_down();
    for (auto& caller : callers)
        caller.join();
    EXPECT_EQ(ran.load(), 3);
}
