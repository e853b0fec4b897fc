#include "components/tree/TreeRowSpans.h"

namespace {

long lowestBit(long i)
{
    return i & -i;
}

} // namespace

long TreeRowSpans::size() const
{
    return long(m_tree.size()) - 1;
}

long TreeRowSpans::total() const
{
    return m_total;
}

void TreeRowSpans::append(long span)
{
    const long i = size() + 1;
    // A new Fenwick slot holds its own value plus the range it covers below it.
    m_tree.push_back(span + rowsBefore(i - 1) - rowsBefore(i - lowestBit(i)));
    m_total += span;
}

void TreeRowSpans::add(long index, long delta)
{
    if (index < 0 || index >= size())
        return;
    for (long i = index + 1; i <= size(); i += lowestBit(i))
        m_tree[i] += delta;
    m_total += delta;
}

long TreeRowSpans::rowsBefore(long index) const
{
    long sum = 0;
    for (long i = index; i > 0; i -= lowestBit(i))
        sum += m_tree[i];
    return sum;
}

long TreeRowSpans::childAt(long offset, long& rest) const
{
    long step = 1;
    while (step * 2 <= size())
        step *= 2;
    long position = 0;
    rest = offset;
    for (; step > 0; step /= 2) {
        if (position + step <= size() && m_tree[position + step] <= rest) {
            position += step;
            rest -= m_tree[position];
        }
    }
    return position;
}
