#pragma once

#include <vector>

// The rows that each child of one node takes up (itself plus its visible descendants),
// kept as a Fenwick tree so that the rows before a child, a change of one child's span
// and the child covering a given row all cost O(log n) in the number of siblings.
// Every span is at least 1, which is what makes childAt() a plain descent.
class TreeRowSpans {
public:
    long size() const;
    long total() const;

    void append(long span);
    void add(long index, long delta);
    long rowsBefore(long index) const;

    // The child whose rows cover `offset` (0 = the first child's own row), or size()
    // when the offset lies past the last child; `rest` is the offset within that child.
    long childAt(long offset, long& rest) const;

private:
    std::vector<long> m_tree { 0 }; // 1-based; m_tree[0] is unused
    long m_total = 0;
};
