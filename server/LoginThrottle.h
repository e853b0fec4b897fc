#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <mutex>

namespace server {

// Slows password guessing: after a few wrong sign-ins for one name, or many from one
// address, every further attempt for it waits a short delay that doubles with each
// failure, up to a cap. The cap keeps the right password from being locked out for
// long; a right sign-in clears its name's count, and failures are forgotten after a
// quiet spell. Memory only: a restart forgets everything.
class LoginThrottle {
public:
    // Monotonic seconds; tests pass their own.
    using Now = std::function<double()>;

    static constexpr int kFreeFailuresPerName = 3;
    static constexpr int kFreeFailuresPerAddress = 20;
    static constexpr double kFirstDelay = 0.25;
    static constexpr double kMaxDelay = 2.0;
    static constexpr double kForgetAfter = 15 * 60;

    explicit LoginThrottle(Now now = {});

    // Seconds to wait before answering an attempt for `name` from `address`.
    double delayFor(const QString& name, const QString& address) const;
    void recordFailure(const QString& name, const QString& address);
    void recordSuccess(const QString& name);

private:
    struct Failures {
        int count = 0;
        double last = 0;
    };
    using Table = QHash<QString, Failures>;

    double delayOf(const Table& table, const QString& key, int freeFailures, double now) const;
    void count(Table& table, const QString& key, double now);

    static constexpr qsizetype kMaxKeys = 100000;

    Now m_now;
    mutable std::mutex m_mutex;
    Table m_names;
    Table m_addresses;
};

} // namespace server
