#include "server/http/MemoryTrimmer.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <thread>

using namespace server;
using namespace std::chrono_literals;

namespace {

bool awaitTrims(const MemoryTrimmer& trimmer, int count)
{
    QElapsedTimer waited;
    waited.start();
    while (trimmer.trims() < count && waited.elapsed() < 5000)
        std::this_thread::yield();
    return trimmer.trims() == count;
}

} // namespace

// Releases add up to the threshold, whoever reports them; a burst that passes it again
// soon after a trim waits out the interval, rather than trimming the heap once per burst.
TEST(MemoryTrimmerTest, TrimsOnceReleasesAddUpAndAtMostOncePerInterval)
{
    constexpr auto kInterval = 500ms;
    MemoryTrimmer trimmer(1000, kInterval);
    trimmer.released(600);
    std::thread([&] { trimmer.released(400); }).join();
    ASSERT_TRUE(awaitTrims(trimmer, 1));
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    trimmer.released(1000);
    ASSERT_TRUE(awaitTrims(trimmer, 2));
    // Counted from after the first trim was seen, which is a moment after it ended.
    EXPECT_GE(sinceFirst.elapsed(), std::chrono::milliseconds(kInterval).count() / 2);
}
