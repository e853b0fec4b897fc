#include "server/LoginThrottle.h"

#include <algorithm>
#include <cmath>

namespace server {

LoginThrottle::LoginThrottle(ThrottleClock now)
    : m_now(now ? std::move(now) : ThrottleClock(steadySeconds))
{
}

double LoginThrottle::waitOf(Table& table, const QString& key, int freeFailures, bool oneAtATime, double now)
{
    Record* record = table.find(key, now);
    if (!record)
        return 0;
    const bool limited = record->failures >= freeFailures && now - record->lastFailure <= kForgetAfter;
    if (oneAtATime && record->inFlight > 0)
        return kBusyRetry;
    if (!limited)
        return 0;
    // An address past its free failures is taken one attempt at a time as well, or
    // parallel clients on as many names would each get through at once.
    if (record->inFlight > 0)
        return kBusyRetry;
    const int beyond = std::min(record->failures - freeFailures, 16);
    const double delay = std::min(kFirstDelay * std::pow(2.0, beyond), kMaxDelay);
    return std::max(0.0, record->lastFailure + delay - now);
}

double LoginThrottle::delayFor(const QString& name, const QString& address)
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    return std::max(waitOf(m_names, name, kFreeFailuresPerName, true, now),
                    waitOf(m_addresses, address, kFreeFailuresPerAddress, false, now));
}

LoginThrottle::Admission LoginThrottle::begin(const QString& name, const QString& address, const std::function<bool()>& quickCheck)
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    const double wait = std::max(waitOf(m_names, name, kFreeFailuresPerName, true, now),
                                 waitOf(m_addresses, address, kFreeFailuresPerAddress, false, now));
    if (wait > 0)
        return {Verdict::Refused, wait};
    if (quickCheck && quickCheck()) {
        m_names.remove(name);
        return {Verdict::Passed};
    }
    ++m_names.touch(name, now).inFlight;
    ++m_addresses.touch(address, now).inFlight;
    return {Verdict::Turn};
}

void LoginThrottle::count(Record& record, Outcome outcome, double now)
{
    record.inFlight = std::max(0, record.inFlight - 1);
    if (outcome != Outcome::Wrong)
        return;
    if (now - record.lastFailure > kForgetAfter)
        record.failures = 0;
    ++record.failures;
    record.lastFailure = now;
}

void LoginThrottle::end(const QString& name, const QString& address, Outcome outcome)
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    Record& byName = m_names.touch(name, now);
    count(byName, outcome, now);
    if (outcome == Outcome::Right || (byName.failures == 0 && !byName.held()))
        m_names.remove(name);
    Record& byAddress = m_addresses.touch(address, now);
    count(byAddress, outcome, now);
    // A right password clears its name only: the address keeps its count.
    if (byAddress.failures == 0 && !byAddress.held())
        m_addresses.remove(address);
}

} // namespace server
