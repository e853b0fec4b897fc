// Sign-ins while somebody guesses. Prints the owner's right sign-ins while wrong passwords
// for the name arrive at 1 and 5 a second (of 60, targets at least 57), neighbours' right
// sign-ins from an address where somebody types wrong passwords (of 40, target at least 38;
// and 16 at once after 20 typos), and the guesses on one name the server checks per second
// at 8, 64 and 256 parallel clients and from many addresses (target: about one or less).
// Optional arguments: the seconds of each guessing-rate run (default 20), and the guesses a
// second the owner signs in against, comma-separated (default 1,5).
#include "server/ServerInstance.h"
#include "tests/support/HeldConnection.h"
#include "tests/support/HttpTestClient.h"

#include <QCoreApplication>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace server;

namespace {

using Clock = std::chrono::steady_clock;

const std::string kLogin = "/PendarWeb/user/login";
const std::string kPassword = "right-pw";

std::string loginBody(const std::string& name, const std::string& password)
{
    return "account=" + name + "&pwd=" + password;
}

bool signedIn(const HttpTestClient::Response& reply)
{
    return reply.status == 200 && reply.body.find("\"code\"") != std::string::npos;
}

bool answeredWrong(const HttpTestClient::Response& reply)
{
    return reply.status == 200 && reply.body.empty();
}

// 127.a.b.c for the n-th client of a group, each its own address.
std::string address(int group, int n)
{
    return "127." + std::to_string(group) + "." + std::to_string(n / 250) + "." + std::to_string(1 + n % 250);
}

std::unique_ptr<ServerInstance> startServer()
{
    auto server = std::make_unique<ServerInstance>();
    QString error;
    if (!server->startTemporary(ServerOptions::Seed::None, &error))
        qFatal("server did not start: %s", qPrintable(error));
    return server;
}

HttpTestClient clientOf(const ServerInstance& server, const std::string& source)
{
    return HttpTestClient(server.host().toStdString(), server.port(), source);
}

// Each account from an address of its own, so that registration's own bound does not apply.
void registerAccounts(const ServerInstance& server, const std::vector<std::string>& names)
{
    for (size_t i = 0; i < names.size(); ++i) {
        if (!signedIn(clientOf(server, address(200, int(i))).post("/PendarWeb/user/register", loginBody(names[i], kPassword))))
            qFatal("registration of %s failed", names[i].c_str());
    }
}

// Wrong passwords for one name at a steady pace from one address, on one kept-alive
// connection, until it goes; with `mistypeName`, each time for another name nobody holds.
class Guesser {
public:
    Guesser(const ServerInstance& server, std::string name, std::string source, double perSecond, bool mistypeName = false)
        : m_thread([this, &server, name, source, perSecond, mistypeName] {
            HttpTestClient client = clientOf(server, source);
            const auto start = Clock::now();
            for (long k = 0; !m_stop; ++k) {
                std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(k / perSecond)));
                const std::string tried = mistypeName ? name + "x" + std::to_string(k) : name;
                if (answeredWrong(client.post(kLogin, loginBody(tried, "guess" + std::to_string(k)))))
                    ++m_checked;
                else
                    ++m_refused;
            }
        })
    {
    }
    ~Guesser() { stop(); }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    int checked() const { return m_checked; }
    int refused() const { return m_refused; }

private:
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_checked = 0;
    std::atomic<int> m_refused = 0;
    std::thread m_thread;
};

// 60 right sign-ins, one every half second, from `sourceOf(k)` for the k-th.
template <typename Source>
int ownerSignIns(const ServerInstance& server, const std::string& name, Source sourceOf)
{
    int accepted = 0;
    const auto start = Clock::now();
    for (int k = 0; k < 60; ++k) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(500 * k));
        accepted += signedIn(clientOf(server, sourceOf(k)).post(kLogin, loginBody(name, kPassword)));
    }
    return accepted;
}

// The owner has signed in before; then somebody guesses its password at `perSecond` from
// one connection. The owner signs in from that earlier address, and (another account) from
// a new address each time.
void ownerDuringGuessing(double perSecond)
{
    auto server = startServer();
    registerAccounts(*server, {"owner01", "owner02"});
    for (const char* name : {"owner01", "owner02"}) {
        if (!signedIn(clientOf(*server, "127.5.0.2").post(kLogin, loginBody(name, kPassword))))
            qFatal("first sign-in failed");
    }
    Guesser first(*server, "owner01", "127.5.1.1", perSecond);
    Guesser second(*server, "owner02", "127.5.1.2", perSecond);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    int fromNewAddresses = 0;
    std::thread newcomer([&] { fromNewAddresses = ownerSignIns(*server, "owner02", [](int k) { return address(51, k); }); });
    const int fromKnownAddress = ownerSignIns(*server, "owner01", [](int) { return std::string("127.5.0.2"); });
    newcomer.join();
    first.stop();
    second.stop();
    std::printf("owner, %g guesses/s: %d of 60 from its earlier address, %d of 60 from new addresses"
                " (guesses checked %d and %d, refused %d and %d)\n",
                perSecond, fromKnownAddress, fromNewAddresses, first.checked(), second.checked(), first.refused(), second.refused());
}

// One person types a wrong password a second at an address (or, `mistypeName`, a name
// nobody holds); once 20 typos have been answered as wrong, 40 others sign in from it with
// theirs, one a second, then 16 more at once.
void neighbours(const ServerInstance& server, const std::string& shared, const std::vector<std::string>& names, bool mistypeName)
{
    Guesser typist(server, names[0], shared, 1.0, mistypeName);
    while (typist.checked() < 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    int accepted = 0;
    const auto start = Clock::now();
    for (int k = 0; k < 40; ++k) {
        std::this_thread::sleep_until(start + std::chrono::seconds(k));
        accepted += signedIn(clientOf(server, shared).post(kLogin, loginBody(names[1 + k], kPassword)));
    }
    const int typos = typist.checked();
    typist.stop();
    std::atomic<int> together = 0;
    std::atomic<int> busy = 0;
    std::latch go(1);
    std::vector<std::thread> crowd;
    for (int k = 40; k < 56; ++k) {
        crowd.emplace_back([&, k] {
            HttpTestClient client = clientOf(server, shared);
            go.wait();
            const auto reply = client.post(kLogin, loginBody(names[1 + k], kPassword));
            together += signedIn(reply);
            busy += reply.status == 503;
        });
    }
    go.count_down();
    for (auto& person : crowd)
        person.join();
    std::printf("neighbours at one address, a %s a second: %d of 40 signed in; then 16 at once after %d typos"
                " answered: %d of 16 (%d too many derivations at once; typos refused %d)\n",
                mistypeName ? "mistyped name" : "wrong password", accepted, typos, together.load(), busy.load(), typist.refused());
}

// Both kinds of typist side by side, each on a server of its own, so that neither takes
// the other's derivation places.
void neighbours()
{
    auto group = [](bool mistypeName) {
        auto server = startServer();
        std::vector<std::string> names{"typist"};
        for (int i = 1; i <= 56; ++i)
            names.push_back("neighbour" + std::to_string(i));
        registerAccounts(*server, names);
        neighbours(*server, "127.6.0.1", names, mistypeName);
    };
    std::thread names(group, true);
    group(false);
    names.join();
}

// `clients` threads guess one name as fast as they are answered for `seconds`: from
// `perAddress` clients an address, or, with perAddress 0, each guess from a new address.
void guessRate(int clients, int perAddress, double seconds)
{
    auto server = startServer();
    registerAccounts(*server, {"target01"});
    std::atomic<int> checked = 0;
    std::atomic<long> refused = 0;
    std::atomic<long> other = 0;
    std::atomic<int> nextAddress = 0;
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            std::unique_ptr<HttpTestClient> client;
            for (long k = 0; Clock::now() < end; ++k) {
                if (!client || perAddress == 0) {
                    const std::string source = perAddress ? address(90, c / perAddress) : address(91, nextAddress++ % 60000);
                    client = std::make_unique<HttpTestClient>(server->host().toStdString(), server->port(), source);
                }
                const auto reply = client->post(kLogin, loginBody("target01", "guess" + std::to_string(c) + "-" + std::to_string(k)));
                if (answeredWrong(reply))
                    ++checked;
                else if (reply.status == 429)
                    ++refused;
                else
                    ++other;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    const std::string where = perAddress ? std::to_string((clients + perAddress - 1) / perAddress) + " address(es)" : "a new address each guess";
    std::printf("%d parallel clients, %s: %d guesses checked in %.0f s = %.2f/s (refused %ld, other %ld)\n", clients,
                where.c_str(), checked.load(), seconds, checked / seconds, refused.load(), other.load());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Each figure as soon as it is known: the whole run takes minutes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    HeldConnection::raiseDescriptorLimit();
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20;
    const QStringList rates = QString::fromLocal8Bit(argc > 2 ? argv[2] : "1,5").split(',', Qt::SkipEmptyParts);
    for (const QString& rate : rates)
        ownerDuringGuessing(rate.toDouble());
    neighbours();
    for (const int clients : {8, 64, 256})
        guessRate(clients, 64, seconds);
    guessRate(256, 0, seconds);
    return 0;
}
