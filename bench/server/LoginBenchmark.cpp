// Sign-in costs a guesser cannot read names from, and sign-in while many connections are
// held open. Compare the two name cases: they should be within 2x of each other; the
// held-connections case should stay around a plain login's time (target: under 100 ms).
#include "server/ServerInstance.h"
#include "tests/support/HttpTestClient.h"

#include <QCoreApplication>
#include <QTcpSocket>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace server;

namespace {

ServerInstance& server()
{
    static ServerInstance* instance = [] {
        auto* s = new ServerInstance;
        QString error;
        if (!s->startTemporary(ServerOptions::Seed::None, &error))
            qFatal("server did not start: %s", qPrintable(error));
        HttpTestClient(s->host().toStdString(), s->port()).post("/PendarWeb/user/register", "account=known01&pwd=right-pw");
        return s;
    }();
    return *instance;
}

void login(benchmark::State& state, const char* body)
{
    HttpTestClient client(server().host().toStdString(), server().port());
    for (auto _ : state) {
        if (client.post("/PendarWeb/user/login", body).status != 200)
            state.SkipWithError("login failed");
    }
}

// Three tries each: the slowdown for repeated failures of one name starts only after that.
void KnownNameWrongPassword(benchmark::State& state)
{
    login(state, "account=known01&pwd=wrong-pw");
}

void UnknownName(benchmark::State& state)
{
    login(state, "account=nobody01&pwd=wrong-pw");
}

void RightPasswordWhileConnectionsAreHeld(benchmark::State& state)
{
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 400; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(server().host(), server().port());
        socket->waitForConnected(5000);
        // Half idle after a request, half stuck in their request head.
        const bool slow = i % 2;
        socket->write(slow ? "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\n"
                           : "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
        socket->waitForBytesWritten(5000);
        held.push_back(std::move(socket));
    }
    login(state, "account=known01&pwd=right-pw");
}

} // namespace

BENCHMARK(KnownNameWrongPassword)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(UnknownName)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RightPasswordWhileConnectionsAreHeld)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
