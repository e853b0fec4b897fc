#include "components/tree/TreeRowSpans.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TreeRowSpans spansOf(const std::vector<long>& spans)
{
    TreeRowSpans result;
    for (long span : spans)
        result.append(span);
    return result;
}

} // namespace

TEST(TreeRowSpansTest, FindsTheChildCoveringEachOffset)
{
    // Children taking 3, 1, 5, 1 and 2 rows: offsets 0-2, 3, 4-8, 9, 10-11.
    const auto spans = spansOf({ 3, 1, 5, 1, 2 });
    struct Case { long offset, child, rest; };
    const Case cases[] = { { 0, 0, 0 }, { 2, 0, 2 }, { 3, 1, 0 }, { 4, 2, 0 }, { 8, 2, 4 },
        { 9, 3, 0 }, { 10, 4, 0 }, { 11, 4, 1 }, { 12, 5, 0 } };
    for (const auto& c : cases) {
        long rest = -1;
        EXPECT_EQ(spans.childAt(c.offset, rest), c.child) << "offset " << c.offset;
        EXPECT_EQ(rest, c.rest) << "offset " << c.offset;
    }
    EXPECT_EQ(spans.total(), 12);
}

TEST(TreeRowSpansTest, PrefixSumsStayRightThroughAppendsAndChanges)
{
    // Odd lengths exercise every shape of the Fenwick slots that append() fills in.
    TreeRowSpans spans;
    std::vector<long> plain;
    long total = 0;
    for (long i = 0; i < 37; ++i) {
        spans.append(1 + i % 4);
        plain.push_back(1 + i % 4);
        if (i % 5 == 4) {
            spans.add(i / 2, 7);
            plain[std::size_t(i / 2)] += 7;
        }
        long sum = 0;
        for (long j = 0; j <= long(plain.size()); ++j) {
            ASSERT_EQ(spans.rowsBefore(j), sum) << "after " << i + 1 << " appends, index " << j;
            if (j < long(plain.size()))
                sum += plain[std::size_t(j)];
        }
        ASSERT_EQ(spans.total(), sum);
        total = sum;
    }
    // Changes to children that are not there change nothing.
    spans.add(spans.size(), 7);
    spans.add(-1, 7);
    EXPECT_EQ(spans.total(), total);
}
