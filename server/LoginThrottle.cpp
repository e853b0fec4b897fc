#include "server/LoginThrottle.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace server {

LoginThrottle::LoginThrottle(Now now)
    : m_now(now ? std::move(now) : [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    })
{
}

double LoginThrottle::delayOf(const Table& table, const QString& key, int freeFailures, double now) const
{
    const auto it = table.constFind(key);
    if (it == table.constEnd() || now - it->last > kForgetAfter || it->count < freeFailures)
        return 0;
    const int beyond = std::min(it->count - freeFailures, 16);
    return std::min(kFirstDelay * std::pow(2.0, beyond), kMaxDelay);
}

double LoginThrottle::delayFor(const QString& name, const QString& address) const
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    return std::max(delayOf(m_names, name, kFreeFailuresPerName, now), delayOf(m_addresses, address, kFreeFailuresPerAddress, now));
}

void LoginThrottle::count(Table& table, const QString& key, double now)
{
    // A flood of distinct names must not grow memory without bound.
    if (table.size() >= kMaxKeys && !table.contains(key))
        table.clear();
    Failures& failures = table[key];
    if (now - failures.last > kForgetAfter)
        failures.count = 0;
    ++failures.count;
    failures.last = now;
}

void LoginThrottle::recordFailure(const QString& name, const QString& address)
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    count(m_names, name, now);
    count(m_addresses, address, now);
}

void LoginThrottle::recordSuccess(const QString& name)
{
    std::lock_guard lock(m_mutex);
    m_names.remove(name);
}

} // namespace server
