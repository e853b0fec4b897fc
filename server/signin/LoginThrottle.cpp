#include "server/signin/LoginThrottle.h"

#include <algorithm>
#include <cmath>

namespace server {

LoginThrottle::LoginThrottle(ThrottleClock now)
    : m_now(now ? std::move(now) : ThrottleClock(steadySeconds))
{
}

QString LoginThrottle::pairKey(const QString& name, const QString& address)
{
    // An address holds no NUL, so the first one ends it and no two pairs share a key.
    return address + QChar(0) + name;
}

bool LoginThrottle::failingNow(const Count& count, double now)
{
    return count.failures > 0 && now - count.lastFailure <= kForgetAfter;
}

// Seconds until the count's delay after its last failure has passed.
double LoginThrottle::delayAfter(const Count* count, int freeFailures, double now)
{
    if (!count || count->failures < freeFailures || now - count->lastFailure > kForgetAfter)
        return 0;
    const int beyond = std::min(count->failures - freeFailures, 16);
    const double delay = std::min(kFirstDelay * std::pow(2.0, beyond), kMaxDelay);
    return std::max(0.0, count->lastFailure + delay - now);
}

// A count that governs attempts one at a time: busy while one is in flight.
double LoginThrottle::turnWait(const Count* count, int freeFailures, double now)
{
    if (count && count->inFlight > 0)
        return kBusyRetry;
    return delayAfter(count, freeFailures, now);
}

void LoginThrottle::release(Count& count)
{
    count.inFlight = std::max(0, count.inFlight - 1);
}

void LoginThrottle::fail(Count& count, double now)
{
    if (now - count.lastFailure > kForgetAfter)
        count.failures = 0;
    ++count.failures;
    count.lastFailure = now;
}

LoginThrottle::Source LoginThrottle::sourceOf(const QString& pair, double now)
{
    if (m_known.find(pair, now))
        return Source::Known;
    const Count* own = m_pairs.find(pair, now);
    return own && failingNow(*own, now) && own->failures >= kFailuresWhileNew ? Source::Failing : Source::New;
}

LoginThrottle::Count* LoginThrottle::nameCount(const QString& name, Source source, double now)
{
    if (source == Source::Known)
        return nullptr;
    NameCounts* counts = m_names.find(name, now);
    if (!counts)
        return nullptr;
    return source == Source::Failing ? &counts->failing : &counts->firsts;
}

double LoginThrottle::waitFor(const QString& name, const QString& address, const QString& pair, Source source, double now)
{
    const Count* own = m_pairs.find(pair, now);
    // Spraying holds the address back, but not for names it has signed in from, until
    // it fails on them too: a sprayer behind the same address gets one guess at each.
    const Count* byAddress = m_addresses.find(address, now);
    const bool addressLimited = byAddress && byAddress->failures >= kFreeNamesPerAddress && now - byAddress->lastFailure <= kForgetAfter;
    double addressWait = 0;
    if (addressLimited && (source != Source::Known || (own && failingNow(*own, now))))
        addressWait = byAddress->inFlight > 0 ? kBusyRetry : delayAfter(byAddress, kFreeNamesPerAddress, now);
    if (source == Source::Known)
        return std::max(turnWait(own, kFreeFailuresPerName, now), addressWait);
    return std::max(turnWait(nameCount(name, source, now), kFreeFailuresPerName, now), addressWait);
}

double LoginThrottle::delayFor(const QString& name, const QString& address)
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    const QString pair = pairKey(name, address);
    return waitFor(name, address, pair, sourceOf(pair, now), now);
}

LoginThrottle::Admission LoginThrottle::begin(const QString& name, const QString& address, const std::function<bool()>& quickCheck)
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    const QString pair = pairKey(name, address);
    const Source source = sourceOf(pair, now);
    const double wait = waitFor(name, address, pair, source, now);
    if (wait > 0)
        return {Verdict::Refused, wait, source};
    if (quickCheck && quickCheck()) {
        signedIn(name, address, pair, source, now);
        return {Verdict::Passed, 0, source};
    }
    ++m_pairs.touch(pair, now).inFlight;
    ++m_addresses.touch(address, now).inFlight;
    if (source != Source::Known) {
        NameCounts& counts = m_names.touch(name, now);
        ++(source == Source::Failing ? counts.failing : counts.firsts).inFlight;
    }
    return {Verdict::Turn, 0, source};
}

void LoginThrottle::end(const QString& name, const QString& address, Source source, Outcome outcome)
{
    const double now = m_now();
    std::lock_guard lock(m_mutex);
    const QString pair = pairKey(name, address);
    release(m_pairs.touch(pair, now));
    release(m_addresses.touch(address, now));
    if (source != Source::Known) {
        NameCounts& counts = m_names.touch(name, now);
        release(source == Source::Failing ? counts.failing : counts.firsts);
    }
    if (outcome == Outcome::Right)
        signedIn(name, address, pair, source, now);
    else if (outcome == Outcome::Wrong || outcome == Outcome::NoSuchAccount)
        failed(name, address, pair, source, outcome == Outcome::Wrong, now);
    dropIdle(name, address, pair, now);
}

// Clears what held the attempt back: the address's own failures on the name and, from an
// address the name had not signed in from, the name's count the attempt was checked
// against, and the count of failing addresses when its own typos went into it. A sign-in
// from a new address thus frees no guesser elsewhere. The address's own typos on the name
// were typos, not spraying.
void LoginThrottle::signedIn(const QString& name, const QString& address, const QString& pair, Source source, double now)
{
    bool cleared = false;
    bool hadFailed = false;
    if (Count* own = m_pairs.find(pair, now); own && failingNow(*own, now)) {
        own->failures = 0;
        if (Count* byAddress = m_addresses.find(address, now))
            byAddress->failures = std::max(0, byAddress->failures - 1);
        cleared = hadFailed = true;
    }
    NameCounts* counts = source == Source::Known ? nullptr : m_names.find(name, now);
    auto clear = [&cleared](Count& count) {
        cleared = cleared || count.failures > 0;
        count.failures = 0;
    };
    if (counts && source == Source::New)
        clear(counts->firsts);
    if (counts && hadFailed)
        clear(counts->failing);
    m_known.touch(pair, now);
    // A remembered sign-in usually finds nothing to clear; it then costs no more look-ups.
    if (cleared)
        dropIdle(name, address, pair, now);
}

void LoginThrottle::failed(const QString& name, const QString& address, const QString& pair, Source source, bool anAccount, double now)
{
    Count& own = m_pairs.touch(pair, now);
    const bool firstOfAddress = !failingNow(own, now);
    fail(own, now);
    if (anAccount)
        sprayed(m_addresses.touch(address, now), firstOfAddress, now);
    if (source == Source::Known)
        return;
    // Each count takes the failures of the attempts it let through, so it bounds them.
    NameCounts& counts = m_names.touch(name, now);
    fail(counts.failing, now);
    if (source == Source::New)
        fail(counts.firsts, now);
}

void LoginThrottle::sprayed(Count& byAddress, bool newName, double now)
{
    // Counted once per name: a person's typos on their own name are not spraying.
    if (newName) {
        fail(byAddress, now);
        return;
    }
    // Still the start of a limited address's delay: cycling through the names it has
    // failed on is no faster than trying new ones.
    if (now - byAddress.lastFailure > kForgetAfter)
        byAddress.failures = 0;
    byAddress.lastFailure = now;
}

void LoginThrottle::dropIdle(const QString& name, const QString& address, const QString& pair, double now)
{
    auto idle = [](const Count& count) { return count.failures == 0 && !count.held(); };
    if (const Count* own = m_pairs.find(pair, now); own && idle(*own))
        m_pairs.remove(pair);
    if (const Count* byAddress = m_addresses.find(address, now); byAddress && idle(*byAddress))
        m_addresses.remove(address);
    if (const NameCounts* counts = m_names.find(name, now); counts && idle(counts->failing) && idle(counts->firsts))
        m_names.remove(name);
}

} // namespace server
