#include "platform/core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using core::Random;

// Every value of a range comes up about equally often, the top one included, and nothing
// outside it; a seed repeats a sequence.
TEST(RandomTest, UniformCoversItsWholeRangeEvenlyAndASeedRepeatsIt)
{
    EXPECT_EQ(Random::uniform(0), 0u);
    EXPECT_EQ(Random::uniform(1), 0u);
    std::vector<int> counts(10, 0);
    for (int i = 0; i < 20000; ++i)
        ++counts.at(Random::uniform(10));
    EXPECT_GT(*std::min_element(counts.begin(), counts.end()), 1500) << "each of ten values near 2000 times";
    std::vector<double> units;
    for (int i = 0; i < 2000; ++i)
        units.push_back(Random::unit());
    EXPECT_GE(*std::min_element(units.begin(), units.end()), 0.0);
    EXPECT_LT(*std::min_element(units.begin(), units.end()), 0.01);
    EXPECT_GT(*std::max_element(units.begin(), units.end()), 0.99);
    EXPECT_LT(*std::max_element(units.begin(), units.end()), 1.0);

    Random::setSeed(42);
    const std::vector<std::uint32_t> first{Random::next(), Random::next(), Random::uniform(1000)};
    Random::setSeed(42);
    EXPECT_EQ((std::vector<std::uint32_t>{Random::next(), Random::next(), Random::uniform(1000)}), first);
    Random::setSeed(std::nullopt);
    EXPECT_NE(Random::next(), Random::next());
}
