#include "server/signin/RegistrationThrottle.h"

#include <algorithm>

namespace server {

RegistrationThrottle::RegistrationThrottle(ThrottleClock now)
    : m_now(now ? std::move(now) : ThrottleClock(steadySeconds))
{
}

double RegistrationThrottle::admit(const QString& address)
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    Record* found = m_addresses.find(address, now);
    const double level = found ? std::max(0.0, found->level - (now - found->at) / kInterval) : 0.0;
    if (level + 1 > kBurst)
        return (level + 1 - kBurst) * kInterval;
    Record& record = m_addresses.touch(address, now);
    record.level = level + 1;
    record.at = now;
    return 0;
}

} // namespace server
