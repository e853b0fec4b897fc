#include "platform/core/Random.h"

#include <gtest/gtest.h>


#include <set>
#include <vector>

using core::Random;

TEST(RandomTest, UniformStaysInRangeAndCoversIt)
{
    EXPECT_EQ(Random::uniform(0), 0u);
    EXPECT_EQ(Random::uniform(1), 0u);
    std::vector<int> counts(10, 0);
    for (int i = 0; i < 20000; ++i) {
        const auto v = Random::uniform(10);
        ASSERT_LT(v, 10u);
        ++counts[v];
    }
    for (int c : counts)
        EXPECT_GT(c, 1500) << "each of ten values near 2000 times";   // far outside chance otherwise
    for (int i = 0; i < 1000; ++i) {
        const double u = Random::unit();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
}

TEST(RandomTest, SeedMakesSequencesRepeatable)
{
    Random::setSeed(42);
    std::vector<std::uint32_t> a;
    for (int i = 0; i < 5; ++i)
        a.push_back(Random::next());
    Random::setSeed(42);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Random::next(), a[i]);
    Random::setSeed(std::nullopt);
    std::set<std::uint32_t> distinct;
    for (int i = 0; i < 100; ++i)
        distinct.insert(Random::next());
    EXPECT_GT(distinct.size(), 95u);
}
