// Sign-in throttling as clients meet it: owners and neighbours signing in while somebody
// guesses or mistypes, and guessing that stays bounded. The throttles read a clock the test
// steps, so delays pass without waiting.
#include "tests/server/ApiClient.h"

#include "server/signin/LoginThrottle.h"

#include <atomic>
#include <latch>
#include <thread>
#include <vector>

using namespace server;

namespace {

constexpr const char* kRight = "secret99";

class SignInThrottle : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.setThrottleClock([this] { return m_now.load(); });
        QString error;
        ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
    }

    // "ok" for a right sign-in, "wrong" for a checked wrong password, "refused" for 429.
    std::string signIn(const std::string& from, const QString& name, const QString& password)
    {
        return verdict(ApiClient(server, from).post("user/login", {{"account", name}, {"pwd", password}}));
    }
    static std::string verdict(const ApiClient::Result& reply)
    {
        if (reply.status == 200)
            return reply.body.empty() ? "wrong" : reply.object().contains("code") ? "ok" : reply.body;
        return reply.status == 429 ? "refused" : std::to_string(reply.status);
    }
    // Registered from an address of its own, which is thus not known to the name.
    void registerAccount(const QString& name)
    {
        ASSERT_TRUE(ApiClient(server, "127.99.0.1").registerUser(name, kRight).contains("code")) << qPrintable(name);
    }
    // Wrong passwords from `from` until the name refuses them.
    int guessUntilRefused(const std::string& from, const QString& name)
    {
        int checked = 0;
        while (signIn(from, name, QStringLiteral("guess%1").arg(checked)) == "wrong")
            ++checked;
        return checked;
    }
    // All at once, one client each; answers their verdicts.
    std::vector<std::string> signInAtOnce(const std::vector<std::pair<std::string, QString>>& fromAndName, const QString& password)
    {
        std::vector<std::string> verdicts(fromAndName.size());
        std::latch go(1);
        std::vector<std::thread> clients;
        for (size_t i = 0; i < fromAndName.size(); ++i) {
            clients.emplace_back([&, i] {
                ApiClient client(server, fromAndName[i].first);
                go.wait();
                verdicts[i] = verdict(client.post("user/login", {{"account", fromAndName[i].second}, {"pwd", password}}));
            });
        }
        go.count_down();
        for (auto& client : clients)
            client.join();
        return verdicts;
    }
    void step(double seconds) { m_now = m_now + seconds; }

    ServerInstance server;
    std::atomic<double> m_now = 1000;
};

} // namespace

// Somebody guesses the owner's password from one address. The owner still signs in from the
// address it signed in from before, and from a new one; neither sign-in frees the guesser.
TEST_F(SignInThrottle, TheOwnerSignsInWhileSomebodyGuessesElsewhere)
{
    registerAccount("owner");
    ASSERT_EQ(signIn("127.10.0.2", "owner", kRight), "ok");
    EXPECT_EQ(guessUntilRefused("127.10.0.1", "owner"), LoginThrottle::kFreeFailuresPerName);
    for (int second = 0; second < 10; ++second) {
        EXPECT_EQ(signIn("127.10.0.2", "owner", kRight), "ok") << second;
        EXPECT_EQ(signIn("127.10.1." + std::to_string(1 + second), "owner", kRight), "ok") << "a new address, " << second;
        EXPECT_EQ(signIn("127.10.0.1", "owner", "guess"), second % 2 ? "wrong" : "refused") << "one guess every two seconds, " << second;
        step(1);
    }
    EXPECT_EQ(signIn("127.10.0.1", "owner", kRight), "refused") << "the guesser's address is held back, whatever it sends";
}

// Many addresses guessing once each are counted together, so a crowd gets no more guesses than
// one address; the owner's known address is not held back by them.
TEST_F(SignInThrottle, ACrowdOfAddressesGuessesNoFasterThanOneAndTheOwnerStillGetsIn)
{
    registerAccount("owner");
    ASSERT_EQ(signIn("127.11.0.2", "owner", kRight), "ok");
    int checked = 0;
    for (int n = 0; n < 40; ++n)
        checked += signIn("127.11.1." + std::to_string(1 + n), "owner", "guess") == "wrong";
    EXPECT_EQ(checked, LoginThrottle::kFreeFailuresPerName);
    EXPECT_EQ(signIn("127.11.0.2", "owner", kRight), "ok");
    EXPECT_EQ(signIn("127.11.2.1", "owner", kRight), "refused") << "a new address is one of the crowd";
    step(LoginThrottle::kFirstDelay);
    EXPECT_EQ(signIn("127.11.2.1", "owner", kRight), "ok") << "once the crowd's delay has passed";
}

// A password the server has verified passes at once, many sign-ins in parallel, while the
// name's guesser is in its delay; a wrong one from the same place is held back as a guess.
TEST_F(SignInThrottle, ARememberedPasswordPassesDuringGuessingAndAWrongOneDoesNot)
{
    registerAccount("owner");
    ASSERT_EQ(signIn("127.12.0.2", "owner", kRight), "ok");
    guessUntilRefused("127.12.0.1", "owner");
    for (const std::string& verdict : signInAtOnce(std::vector(24, std::pair<std::string, QString>("127.12.0.2", "owner")), kRight))
        EXPECT_EQ(verdict, "ok");
    EXPECT_EQ(guessUntilRefused("127.12.0.2", "owner"), LoginThrottle::kFreeFailuresPerName) << "its own typos count at its address";
    EXPECT_EQ(signIn("127.12.0.2", "owner", kRight), "refused");
}

// After one person's typos of a password, and another's of names nobody holds, and even while
// the first one's name is held back, others at the same address sign in: sixteen at once, none
// of whom has signed in there before.
TEST_F(SignInThrottle, NeighboursAtOneAddressSignInAfterAnotherNamesTypos)
{
    registerAccount("typist");
    std::vector<std::pair<std::string, QString>> neighbours;
    for (int i = 0; i < 16; ++i) {
        registerAccount(QStringLiteral("neighbour%1").arg(i));
        neighbours.emplace_back("127.13.0.1", QStringLiteral("neighbour%1").arg(i));
    }
    int typos = guessUntilRefused("127.13.0.1", "typist");
    while (typos < LoginThrottle::kFreeNamesPerAddress) {
        step(LoginThrottle::kMaxDelay);
        typos += guessUntilRefused("127.13.0.1", "typist");
    }
    for (int n = 0; n < 2 * LoginThrottle::kFreeNamesPerAddress; ++n)
        EXPECT_EQ(signIn("127.13.0.1", QStringLiteral("typist%1").arg(n), kRight), "wrong") << n;
    for (const std::string& verdict : signInAtOnce(neighbours, kRight))
        EXPECT_EQ(verdict, "ok");
    EXPECT_EQ(signIn("127.13.0.1", "typist", "typo"), "refused") << "the typist's name is still held back";
}

// One address trying many accounts is held back once as many as it may have failed, each a
// single time; names signed in from there before are not, and a right sign-in after a typo
// takes its name off the address's count.
TEST_F(SignInThrottle, SprayingManyNamesFromOneAddressIsBounded)
{
    registerAccount("regular");
    registerAccount("typist");
    for (int n = 0; n < LoginThrottle::kFreeNamesPerAddress; ++n)
        registerAccount(QStringLiteral("victim%1").arg(n));
    registerAccount("victim98");
    registerAccount("victim99");
    ASSERT_EQ(signIn("127.14.0.1", "regular", kRight), "ok");
    EXPECT_EQ(signIn("127.14.0.1", "typist", "typo"), "wrong");
    ASSERT_EQ(signIn("127.14.0.1", "typist", kRight), "ok");
    for (int n = 0; n < LoginThrottle::kFreeNamesPerAddress; ++n)
        EXPECT_EQ(signIn("127.14.0.1", QStringLiteral("victim%1").arg(n), "123456"), "wrong") << n;
    EXPECT_EQ(signIn("127.14.0.1", "victim99", "123456"), "refused");
    EXPECT_EQ(signIn("127.14.0.1", "victim0", "123456"), "refused") << "nor the names it has failed on";
    EXPECT_EQ(signIn("127.14.0.1", "regular", kRight), "ok");
    EXPECT_EQ(signIn("127.14.0.2", "victim99", "123456"), "wrong") << "other addresses are not held back";
    step(LoginThrottle::kFirstDelay);
    EXPECT_EQ(signIn("127.14.0.1", "victim99", "123456"), "wrong");
    EXPECT_EQ(signIn("127.14.0.1", "victim98", "123456"), "refused");
}

// However many clients guess at once, from one address or a new address each time, the name's
// checks stay at the serial rate: a few free, then one per delay for each of the two counts.
TEST_F(SignInThrottle, GuessingStaysBoundedWhateverTheParallelismAndTheAddresses)
{
    registerAccount("target");
    int address = 0;
    int checked = 0;
    int attempts = 0;
    const int seconds = 30;
    for (int second = 0; second < seconds; ++second) {
        std::vector<std::pair<std::string, QString>> clients;
        for (int c = 0; c < 16; ++c, ++address)
            clients.emplace_back(c % 2 ? "127.15.0.1" : "127.15." + std::to_string(1 + address / 250) + "." + std::to_string(1 + address % 250), "target");
        for (const std::string& verdict : signInAtOnce(clients, "guess")) {
            ++attempts;
            checked += verdict == "wrong";
        }
        step(1);
    }
    // Each count: its free failures, then one every kMaxDelay seconds.
    const int bound = 2 * (LoginThrottle::kFreeFailuresPerName + 1 + int(seconds / LoginThrottle::kMaxDelay));
    EXPECT_LE(checked, bound) << "of " << attempts;
    EXPECT_GE(checked, seconds / LoginThrottle::kMaxDelay) << "guessing is slowed, not stopped";
}

// A right password clears the failures that held its attempt back at once: its own address's
// on the name, and the name's count it was checked against, so the owner's next typos, here
// and on another device, are checked rather than refused.
TEST_F(SignInThrottle, ARightPasswordClearsItsNamesFailuresAtOnce)
{
    registerAccount("owner");
    const std::string phone = "127.16.0.1";
    const std::string laptop = "127.16.0.2";
    EXPECT_EQ(guessUntilRefused(phone, "owner"), LoginThrottle::kFreeFailuresPerName);
    EXPECT_EQ(signIn(laptop, "owner", "typo"), "wrong");
    EXPECT_EQ(signIn(laptop, "owner", kRight), "refused");
    step(LoginThrottle::kMaxDelay);
    ASSERT_EQ(signIn(laptop, "owner", kRight), "ok");
    for (int i = 0; i < LoginThrottle::kFreeFailuresPerName; ++i)
        EXPECT_EQ(signIn(laptop, "owner", "typo"), "wrong") << "laptop, typo " << i;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(signIn(phone, "owner", "typo"), "wrong") << "phone, typo " << i;
}
