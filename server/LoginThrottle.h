#pragma once

#include "server/ThrottleTable.h"

#include <QString>

#include <functional>
#include <mutex>

namespace server {

// Bounds the rate of password guesses. Attempts for one name are checked one at a
// time: while one is in flight, every other attempt for that name is refused at once,
// so parallel clients guess no faster than one client. After a few wrong passwords
// for a name (or many from one address), its next attempt is refused until a delay
// after the last failure has passed: 1 s, doubling per further failure up to a cap.
// Nothing sleeps: a refused attempt is answered at once and holds no thread. A right
// sign-in clears its name; failures are forgotten after a quiet spell, entry by
// entry. Memory only: a restart forgets everything.
class LoginThrottle {
public:
    static constexpr int kFreeFailuresPerName = 3;
    static constexpr int kFreeFailuresPerAddress = 20;
    static constexpr double kFirstDelay = 1.0;
    static constexpr double kMaxDelay = 2.0;
    static constexpr double kForgetAfter = 15 * 60;
    static constexpr size_t kMaxKeys = 100000;
    // What a refusal while another attempt is in flight suggests waiting.
    static constexpr double kBusyRetry = 1.0;

    enum class Verdict {
        Refused,   // answer at once; retryAfter says when trying again makes sense
        Passed,    // the quick check found the password right: done, nothing held
        Turn,      // the attempt holds its name's turn until end()
    };
    struct Admission {
        Verdict verdict;
        double retryAfter = 0;
    };
    enum class Outcome { Right, Wrong, Unchecked };

    explicit LoginThrottle(ThrottleClock now = {});

    // Admits an attempt for `name` from `address`. `quickCheck`, when given, runs under
    // the throttle's lock once the attempt is admitted and answers whether the password
    // is known right without a derivation (a remembered sign-in); being under the
    // lock, it cannot be raced to try many passwords at once.
    Admission begin(const QString& name, const QString& address, const std::function<bool()>& quickCheck = {});
    // Ends an attempt that was given its turn. Unchecked: nothing was learnt (the
    // check could not run), so nothing is counted.
    void end(const QString& name, const QString& address, Outcome outcome);
    // Seconds until an attempt for `name` from `address` would be admitted, 0 when now.
    double delayFor(const QString& name, const QString& address);

private:
    struct Record {
        int failures = 0;
        double lastFailure = 0;
        // Attempts in flight: one at most for a name.
        int inFlight = 0;
        bool held() const { return inFlight > 0; }
    };
    using Table = ThrottleTable<Record>;

    double waitOf(Table& table, const QString& key, int freeFailures, bool oneAtATime, double now);
    static void count(Record& record, Outcome outcome, double now);

    ThrottleClock m_now;
    std::mutex m_mutex;
    Table m_names{kMaxKeys, kForgetAfter};
    Table m_addresses{kMaxKeys, kForgetAfter};
};

} // namespace server
