#pragma once

#include "server/signin/ThrottleTable.h"

#include <QString>

#include <functional>
#include <mutex>

namespace server {

// Bounds the rate of password guesses without letting one person's wrong passwords keep
// anybody else out. Which failures hold an attempt back depends on where it comes from:
// - an address the name has signed in from (Known): only that address's own failures on
//   the name, so the owner is not held back by guesses from elsewhere;
// - an address that has failed on the name more than once (Failing): every failure on the
//   name from addresses it has not signed in from;
// - an address new to the name, or with one failure on it (New): the failures of such
//   addresses only, so one guesser's run of failures does not shut out a newcomer (nor the
//   owner after a typo there), while many addresses guessing are still counted.
// Each count lets a few failures go free; then the next attempt it governs is refused until
// a delay after its last failure (1 s, then 2 s), and attempts it governs are checked one
// at a time (while one is in flight, the others are refused at once), so parallel clients
// guess no faster than one. An address is held back as a whole only once many distinct
// accounts have failed from it without a right sign-in following (spraying); a person's
// typos on a name count there once, names nobody holds not at all, and names it has signed
// in from there are not held back by it. A right sign-in clears the failures its attempt
// was held back by and makes the address known to the name. Nothing sleeps: a refused
// attempt is answered at once and holds no thread. Memory only, bounded and forgotten
// entry by entry; a restart forgets.
class LoginThrottle {
public:
    static constexpr int kFreeFailuresPerName = 3;
    // Failures of an address on a name before it leaves the new addresses' count: the
    // owner's one typo on a new device must not queue it behind a guesser elsewhere.
    static constexpr int kFailuresWhileNew = 2;
    // Names failing from one address without a right sign-in, beyond which it is spraying.
    static constexpr int kFreeNamesPerAddress = 20;
    static constexpr double kFirstDelay = 1.0;
    static constexpr double kMaxDelay = 2.0;
    static constexpr double kForgetAfter = 15 * 60;
    // How long an address stays known to a name after its last right sign-in there.
    static constexpr double kKnownFor = 30 * 24 * 3600;
    static constexpr size_t kMaxKeys = 100000;
    // What a refusal while another attempt is in flight suggests waiting.
    static constexpr double kBusyRetry = 1.0;

    enum class Verdict {
        Refused,   // answer at once; retryAfter says when trying again makes sense
        Passed,    // the quick check found the password right: done, nothing held
        Turn,      // the attempt holds its turn until end()
    };
    enum class Source { Known, Failing, New };
    struct Admission {
        Verdict verdict;
        double retryAfter = 0;
        // Which failures the attempt was checked against; end() takes it back.
        Source source = Source::New;
    };
    // NoSuchAccount: wrong, for a name nobody holds. Such failures count as any on the
    // name, not towards an address's spraying: they put no account at risk, and a
    // mistyped name is the commonest typo. (Names are no secret: registration tells
    // which are taken.)
    enum class Outcome { Right, Wrong, NoSuchAccount, Unchecked };

    explicit LoginThrottle(ThrottleClock now = {});

    // Admits an attempt for `name` from `address`. `quickCheck`, when given, runs under
    // the throttle's lock once the attempt is admitted and answers whether the password
    // is known right without a derivation (a remembered sign-in); being under the lock
    // and behind the admission, it cannot be raced to try many passwords at once.
    Admission begin(const QString& name, const QString& address, const std::function<bool()>& quickCheck = {});
    // Ends an attempt that was given its turn. Unchecked: nothing was learnt (the
    // check could not run), so nothing is counted.
    void end(const QString& name, const QString& address, Source source, Outcome outcome);
    // Seconds until an attempt for `name` from `address` would be admitted, 0 when now.
    double delayFor(const QString& name, const QString& address);

private:
    // Failures counted against one set of attempts, and the attempts of it in flight.
    struct Count {
        int failures = 0;
        double lastFailure = 0;
        int inFlight = 0;
        bool held() const { return inFlight > 0; }
    };
    struct NameCounts {
        Count failing;   // every failure from addresses the name has not signed in from
        Count firsts;    // the failures of addresses while they are new to the name
        bool held() const { return failing.held() || firsts.held(); }
    };
    struct KnownPair {
        bool held() const { return false; }
    };

    static QString pairKey(const QString& name, const QString& address);
    static bool failingNow(const Count& count, double now);
    static double delayAfter(const Count* count, int freeFailures, double now);
    static double turnWait(const Count* count, int freeFailures, double now);
    static void release(Count& count);
    static void fail(Count& count, double now);
    static void sprayed(Count& byAddress, bool newName, double now);

    Source sourceOf(const QString& pair, double now);
    double waitFor(const QString& name, const QString& address, const QString& pair, Source source, double now);
    Count* nameCount(const QString& name, Source source, double now);
    void signedIn(const QString& name, const QString& address, const QString& pair, Source source, double now);
    void failed(const QString& name, const QString& address, const QString& pair, Source source, bool anAccount, double now);
    void dropIdle(const QString& name, const QString& address, const QString& pair, double now);

    ThrottleClock m_now;
    std::mutex m_mutex;
    ThrottleTable<NameCounts> m_names{kMaxKeys, kForgetAfter};
    // Per address: failures = names failing from it with no right sign-in since.
    ThrottleTable<Count> m_addresses{kMaxKeys, kForgetAfter};
    // Per name and address: that address's failures on the name.
    ThrottleTable<Count> m_pairs{kMaxKeys, kForgetAfter};
    ThrottleTable<KnownPair> m_known{kMaxKeys, kKnownFor};
};

} // namespace server
