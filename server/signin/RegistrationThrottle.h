#pragma once

#include "server/signin/ThrottleTable.h"

#include <QString>

#include <mutex>

namespace server {

// Bounds registrations per address, taken or not (a taken name's answer tells that the
// name exists, and each registration costs a derivation): a burst of kBurst, then one
// every kInterval seconds, as a leaky bucket. Memory only.
class RegistrationThrottle {
public:
    static constexpr double kBurst = 30;
    static constexpr double kInterval = 2.0;
    static constexpr size_t kMaxKeys = 100000;

    explicit RegistrationThrottle(ThrottleClock now = {});

    // Counts a registration from `address` and answers 0, or refuses it and answers
    // the seconds until one would be admitted.
    double admit(const QString& address);

private:
    struct Record {
        // Registrations not yet drained at one per kInterval, as of `at`.
        double level = 0;
        double at = 0;
        bool held() const { return false; }
    };

    ThrottleClock m_now;
    std::mutex m_mutex;
    // A bucket drained empty is as good as none, so records are forgotten then.
    ThrottleTable<Record> m_addresses{kMaxKeys, kBurst * kInterval};
};

} // namespace server
