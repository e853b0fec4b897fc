#include "server/signin/LoginThrottle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace server;

class LoginThrottleTest : public ::testing::Test {
protected:
    // One attempt the throttle must admit, checked with the given outcome.
    void attempt(const QString& name, const QString& address, LoginThrottle::Outcome outcome = LoginThrottle::Outcome::Wrong)
    {
        const auto admission = m_throttle.begin(name, address);
        ASSERT_EQ(admission.verdict, LoginThrottle::Verdict::Turn) << qPrintable(name + " from " + address);
        m_throttle.end(name, address, admission.source, outcome);
    }

    std::atomic<double> m_now = 1000;
    LoginThrottle m_throttle{[this] { return m_now.load(); }};
};

// Two typos cost nothing; from the third wrong password on, the name's next attempt waits a
// second after the failure, then two; an address new to the name is not held back by one
// address's failures. A right sign-in clears the name at once, a quiet quarter of an hour
// too, not a moment sooner.
TEST_F(LoginThrottleTest, WrongPasswordsForOneNameSlowItDownToTheCapUntilForgotten)
{
    const double delays[] = {0, 0, 1, 2, 2, 2, 2, 2};
    int newcomer = 0;
    for (const double expected : delays) {
        attempt("ann", "10.0.0.1");
        EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.1"), expected);
        EXPECT_EQ(m_throttle.delayFor("ann", QStringLiteral("10.0.1.%1").arg(++newcomer)), 0) << "a new address";
        EXPECT_EQ(m_throttle.delayFor("bob", "10.0.0.1"), 0) << "other names are not slowed";
        if (expected > 0) {
            EXPECT_EQ(m_throttle.begin("ann", "10.0.0.1").verdict, LoginThrottle::Verdict::Refused);
            m_now = m_now + expected - 0.25;
            EXPECT_EQ(m_throttle.begin("ann", "10.0.0.1").retryAfter, 0.25);
            m_now = m_now + 0.25;
        }
    }
    attempt("ann", "10.0.0.1", LoginThrottle::Outcome::Right);
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.1"), 0);
    attempt("ann", "10.0.0.2");
    for (int i = 0; i < 4; ++i) {
        m_now = m_now + m_throttle.delayFor("ann", "10.0.0.2");
        attempt("ann", "10.0.0.2");
    }
    m_now = m_now + 15 * 60;
    attempt("ann", "10.0.0.2");
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 2) << "failures a quarter of an hour old still count";
    m_now = m_now + 15 * 60 + 0.001;
    attempt("ann", "10.0.0.2");
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.2"), 0) << "old failures do not count again";
}

// One address may fail on twenty names before it is slowed, whatever the name; further failures
// on a name count once, and a right sign-in after a typo takes its name off the count.
TEST_F(LoginThrottleTest, ManyNamesFromOneAddressSlowThatAddressAfterTwenty)
{
    for (int i = 1; i <= 20; ++i) {
        attempt(QStringLiteral("user%1").arg(i), "10.6.6.6");
        EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.6.6.6"), i < 20 ? 0 : 1) << i;
    }
    m_now = m_now + 1;
    attempt("user1", "10.6.6.6", LoginThrottle::Outcome::Right);
    EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.6.6.6"), 0) << "a typo put right is not spraying";
    attempt("user2", "10.6.6.6");
    EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.6.6.6"), 0) << "a name's further failures count once";
    attempt("user21", "10.6.6.6");
    EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.6.6.6"), 1);
    EXPECT_EQ(m_throttle.delayFor("user1", "10.6.6.6"), 0) << "nor is a name that signed in there held back";
    attempt("user1", "10.6.6.6");
    EXPECT_EQ(m_throttle.delayFor("user1", "10.6.6.6"), 2) << "until it fails there too, one more name";
    EXPECT_EQ(m_throttle.delayFor("fresh-name", "10.0.0.7"), 0);
}

// However many clients guess one name at once, the throttle checks no more of their guesses
// than it would of one client's in turn, from one address or a new address each time: the
// free three, then one per delay; clients at a few addresses, each guessing again, no more
// than two (one for each count). While one guess is in flight every other attempt it
// governs is refused.
TEST_F(LoginThrottleTest, ConcurrentGuessesForOneNameAreNoFasterThanSerialOnes)
{
    enum Spread { OneAddress, NewAddresses, SixteenAddresses };
    int round = 0;
    auto guessInParallel = [this, &round](const QString& name, Spread spread) {
        std::atomic<int> checked = 0;
        std::vector<std::thread> clients;
        ++round;
        for (int c = 0; c < 16; ++c) {
            clients.emplace_back([&, c] {
                for (int i = 0; i < 200; ++i) {
                    const QString address = spread == OneAddress     ? QStringLiteral("10.9.0.1")
                                            : spread == NewAddresses ? QStringLiteral("%1.%2.%3").arg(round).arg(c).arg(i)
                                                                     : QStringLiteral("10.9.%1.1").arg(c);
                    const auto admission = m_throttle.begin(name, address);
                    if (admission.verdict != LoginThrottle::Verdict::Turn)
                        continue;
                    ++checked;
                    std::this_thread::yield();   // the derivation: others try meanwhile
                    m_throttle.end(name, address, admission.source, LoginThrottle::Outcome::Wrong);
                }
            });
        }
        for (auto& client : clients)
            client.join();
        return checked.load();
    };
    auto guessInTurn = [this](const QString& name) {
        int checked = 0;
        for (int i = 0; i < 16 * 200; ++i) {
            const auto admission = m_throttle.begin(name, "10.8.0.1");
            if (admission.verdict != LoginThrottle::Verdict::Turn)
                continue;
            ++checked;
            m_throttle.end(name, "10.8.0.1", admission.source, LoginThrottle::Outcome::Wrong);
        }
        return checked;
    };
    const int serialFirst = guessInTurn("serial");
    EXPECT_EQ(guessInParallel("one", OneAddress), serialFirst);
    EXPECT_EQ(guessInParallel("new", NewAddresses), serialFirst);
    EXPECT_LE(guessInParallel("sixteen", SixteenAddresses), 2 * serialFirst);
    EXPECT_EQ(serialFirst, LoginThrottle::kFreeFailuresPerName);
    for (const double step : {0.5, 0.5, 2.0, 1.0}) {
        m_now = m_now + step;
        const int serial = guessInTurn("serial");
        EXPECT_EQ(guessInParallel("one", OneAddress), serial) << "after " << step << " s";
        EXPECT_EQ(guessInParallel("new", NewAddresses), serial) << "after " << step << " s";
        EXPECT_LE(guessInParallel("sixteen", SixteenAddresses), 2) << "after " << step << " s";
        EXPECT_LE(serial, 1);
    }

    const auto first = m_throttle.begin("solo", "10.0.0.1");
    ASSERT_EQ(first.verdict, LoginThrottle::Verdict::Turn);
    const auto second = m_throttle.begin("solo", "10.0.0.2");
    EXPECT_EQ(second.verdict, LoginThrottle::Verdict::Refused);
    EXPECT_GT(second.retryAfter, 0);
    m_throttle.end("solo", "10.0.0.1", first.source, LoginThrottle::Outcome::Unchecked);
    attempt("solo", "10.0.0.2");
    EXPECT_EQ(m_throttle.delayFor("solo", "10.0.0.2"), 0) << "an unchecked attempt counts as no failure";
}

// The quick check (a remembered password) is asked only of an admitted attempt, under the
// throttle's lock: a right one passes holding nothing, a wrong one goes on holding its turn,
// so a burst of quick guesses cannot slip through beside it; an address the name signed in
// from is not held back by another's guess or delay.
TEST_F(LoginThrottleTest, QuickChecksRunOnlyForAdmittedAttempts)
{
    int asked = 0;
    auto right = [&] { ++asked; return true; };
    auto wrong = [&] { ++asked; return false; };
    EXPECT_EQ(m_throttle.begin("ann", "10.0.0.1", right).verdict, LoginThrottle::Verdict::Passed);
    EXPECT_EQ(m_throttle.begin("ann", "10.0.0.1", right).verdict, LoginThrottle::Verdict::Passed) << "nothing held";
    const auto guess = m_throttle.begin("ann", "10.0.0.1", wrong);
    EXPECT_EQ(guess.verdict, LoginThrottle::Verdict::Turn);
    EXPECT_EQ(asked, 3);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(m_throttle.begin("ann", "10.0.0.1", right).verdict, LoginThrottle::Verdict::Refused);
    EXPECT_EQ(asked, 3) << "no quick check while a guess is in flight";
    EXPECT_EQ(m_throttle.begin("ann", "10.0.0.3", right).verdict, LoginThrottle::Verdict::Passed) << "another address";
    EXPECT_EQ(asked, 4);
    m_throttle.end("ann", "10.0.0.1", guess.source, LoginThrottle::Outcome::Wrong);
    attempt("ann", "10.0.0.1");
    attempt("ann", "10.0.0.1");
    EXPECT_EQ(m_throttle.begin("ann", "10.0.0.1", right).verdict, LoginThrottle::Verdict::Refused);
    EXPECT_EQ(asked, 4) << "no quick check while the name waits out its delay";
    EXPECT_EQ(m_throttle.begin("ann", "10.0.0.3", right).verdict, LoginThrottle::Verdict::Passed);
    m_now = m_now + 1;
    EXPECT_EQ(m_throttle.begin("ann", "10.0.0.1", right).verdict, LoginThrottle::Verdict::Passed);
    EXPECT_EQ(m_throttle.delayFor("ann", "10.0.0.1"), 0) << "a right password clears the name";
}

// The owner's one typo on a new device does not put it behind a guesser who takes every
// turn the moment it comes: the device still counts as new, and the guesser's run of failures
// elsewhere does not hold new devices back. A second typo there does.
TEST_F(LoginThrottleTest, AnOwnersTypoOnANewAddressDoesNotQueueItBehindAGuesser)
{
    auto guessWhenDue = [this] {
        m_now = m_now + m_throttle.delayFor("ann", "10.66.0.1");
        attempt("ann", "10.66.0.1");
    };
    for (int i = 0; i < 6; ++i)
        guessWhenDue();
    attempt("ann", "10.1.0.1");
    for (int i = 0; i < 4; ++i) {
        guessWhenDue();
        EXPECT_EQ(m_throttle.delayFor("ann", "10.1.0.1"), 0) << "after the guesser's next failure " << i;
    }
    attempt("ann", "10.1.0.1", LoginThrottle::Outcome::Right);
    attempt("ann", "10.2.0.1");
    attempt("ann", "10.2.0.1");
    guessWhenDue();
    EXPECT_GT(m_throttle.delayFor("ann", "10.2.0.1"), 0) << "two typos: the guessers' turn";
}

// The table is bounded, yet a flood of new names forgets only the oldest entries, one for
// each new one: names failing recently keep their counts.
TEST_F(LoginThrottleTest, AFullTableForgetsItsOldestEntriesOneByOne)
{
    auto failThrice = [this](const QString& name, const QString& address) {
        for (int i = 0; i < 3; ++i)
            attempt(name, address);
    };
    for (size_t i = 0; i < LoginThrottle::kMaxKeys; ++i)
        failThrice(QStringLiteral("flood%1").arg(i), QStringLiteral("10.%1").arg(i));
    EXPECT_EQ(m_throttle.delayFor("flood0", "10.0"), 1) << "a full table still knows its first entry";
    failThrice("late1", "10.1.0.1");
    EXPECT_EQ(m_throttle.delayFor("flood0", "10.0"), 0) << "the oldest entry made room";
    EXPECT_EQ(m_throttle.delayFor("flood1", "10.1"), 1);
    failThrice("late2", "10.1.0.1");
    EXPECT_EQ(m_throttle.delayFor("flood1", "10.1"), 0);
    for (const auto& [kept, from] : {std::pair("flood2", "10.2"), std::pair("flood99999", "10.99999"), std::pair("late1", "10.1.0.1"),
                                     std::pair("late2", "10.1.0.1")})
        EXPECT_EQ(m_throttle.delayFor(kept, from), 1) << kept;
}
