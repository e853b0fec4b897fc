// Memory of the real qbank-server while a crowd holds unfinished bodies just under the 1 MiB
// limit, and a new client's latency meanwhile. The crowd opens its connections from many
// addresses (each within the per-address cap), sends a head and all of a body but its last
// byte (with a length, then in chunks without the closing chunk), and holds; connections the
// server refuses are not opened again. The figures: the server's resident memory at its peak
// while the crowd holds, when the crowd closes, and 2 s later; and how long a new client's
// request takes (a new connection each time, every 50 ms) throughout.
// Targets: at most 300 MiB under 2,000 bodies, under 100 MiB 2 s after, every new client
// within 100 ms.
//
// usage: bench_body_memory [qbank-server (the one beside this binary)] [connections (2000)]
//                          [addresses (32)] [seconds held (10)]

#include "tests/support/HeldConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t kBodyLimit = 1024 * 1024;

// The real server on a free loopback port with a fresh store of its own.
class ServerProcess {
public:
    explicit ServerProcess(const QString& program)
    {
        m_process.setProgram(program);
        m_process.setArguments({"--listen", "127.0.0.1:0", "--db", m_dir.filePath("bench.sqlite"), "--seed", "none"});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        const QRegularExpression listening("listening on http://[^:]+:(\\d+)/");
        QByteArray said;
        while (m_port == 0 && m_process.waitForReadyRead(10000)) {
            said += m_process.readAllStandardOutput();
            const auto match = listening.match(QString::fromUtf8(said));
            if (match.hasMatch())
                m_port = match.captured(1).toInt();
        }
    }
    ~ServerProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
    int port() const { return m_port; }
    double residentMiB() const
    {
        std::ifstream status("/proc/" + std::to_string(m_process.processId()) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("VmRSS:"))
                return std::stod(line.substr(6)) / 1024;
        }
        return 0;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

// Every `period` a new client opens a connection and asks for the guest check; the time
// to its status line is kept, with when it began.
class Prober {
public:
    struct Sample {
        double ms;
        double startedAt;   // seconds after the prober started
    };

    Prober(int port, std::chrono::milliseconds period)
        : m_origin(Clock::now())
        , m_thread([this, port, period] {
            while (!m_stop) {
                const auto start = Clock::now();
                HeldConnection client(port, "127.0.9.1");
                client.write("POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                const bool answered = client.statusLine(10000) == "HTTP/1.1 200 OK";
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                {
                    std::lock_guard lock(m_mutex);
                    m_samples.push_back({answered ? ms : 1e9, std::chrono::duration<double>(start - m_origin).count()});
                }
                std::this_thread::sleep_until(start + period);
            }
        })
    {
    }
    ~Prober() { stop(); }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // Fastest first.
    std::vector<Sample> samples()
    {
        std::lock_guard lock(m_mutex);
        std::vector<Sample> sorted = m_samples;
        std::sort(sorted.begin(), sorted.end(), [](const Sample& a, const Sample& b) { return a.ms < b.ms; });
        return sorted;
    }

private:
    const Clock::time_point m_origin;
    std::atomic<bool> m_stop = false;
    std::mutex m_mutex;
    std::vector<Sample> m_samples;
    std::thread m_thread;
};

// The crowd: each connection sends `request` (a head and an unfinished body) as fast as the
// server takes it, and holds once all is sent; one the server answers (a refusal) or closes
// is closed and not opened again.
class Crowd {
public:
    Crowd(int port, int connections, int addresses, std::string request)
        : m_request(std::move(request))
    {
        for (int i = 0; i < connections; ++i) {
            m_members.push_back({open(port, "127.0.5." + std::to_string(1 + i % addresses)), 0});
        }
    }
    ~Crowd() { closeAll(); }

    // Sends what the server takes, for `duration`.
    void pump(Clock::duration duration)
    {
        const auto end = Clock::now() + duration;
        std::vector<pollfd> polls;
        std::vector<Member*> polled;
        while (Clock::now() < end) {
            polls.clear();
            polled.clear();
            for (Member& m : m_members) {
                if (m.fd < 0)
                    continue;
                polls.push_back({m.fd, short(POLLIN | (m.sent < m_request.size() ? POLLOUT : 0)), 0});
                polled.push_back(&m);
            }
            if (polls.empty() || ::poll(polls.data(), polls.size(), 20) <= 0)
                continue;
            for (std::size_t i = 0; i < polls.size(); ++i)
                serve(*polled[i], polls[i].revents);
        }
    }
    int holding() const
    {
        return int(std::count_if(m_members.begin(), m_members.end(), [&](const Member& m) { return m.fd >= 0 && m.sent == m_request.size(); }));
    }
    int refused() const { return m_refused; }
    int open() const
    {
        return int(std::count_if(m_members.begin(), m_members.end(), [](const Member& m) { return m.fd >= 0; }));
    }
    void closeAll()
    {
        for (Member& m : m_members) {
            if (m.fd >= 0)
                ::close(m.fd);
            m.fd = -1;
        }
    }

private:
    struct Member {
        int fd;
        std::size_t sent;
    };

    static int open(int port, const std::string& source)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, source.c_str(), &local.sin_addr);
        sockaddr_in remote{};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(std::uint16_t(port));
        remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0
            || ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof(remote)) != 0) {
            if (fd >= 0)
                ::close(fd);
            return -1;
        }
        return fd;
    }

    void serve(Member& m, short events)
    {
        if (events & (POLLIN | POLLERR | POLLHUP)) {
            ++m_refused;
            ::close(m.fd);
            m.fd = -1;
            return;
        }
        if (!(events & POLLOUT))
            return;
        const ssize_t sent = ::send(m.fd, m_request.data() + m.sent, m_request.size() - m.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0)
            m.sent += std::size_t(sent);
    }

    const std::string m_request;
    std::vector<Member> m_members;
    int m_refused = 0;
};

std::string withLength()
{
    const std::size_t length = kBodyLimit - 1;
    return "POST /PendarWeb/exam/feedback_add HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n"
           + std::string(length - 1, 'a');
}

std::string inChunks()
{
    std::string request = "POST /PendarWeb/exam/feedback_add HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
    std::size_t left = kBodyLimit - 1;
    while (left > 0) {
        const std::size_t piece = std::min<std::size_t>(left, 64 * 1024);
        char size[16];
        std::snprintf(size, sizeof(size), "%zx\r\n", piece);
        request += size + std::string(piece, 'a') + "\r\n";
        left -= piece;
    }
    return request;   // no closing chunk: the body never ends
}

void measure(const QString& program, const char* name, const std::string& request, int connections, int addresses, int held)
{
    ServerProcess server(program);
    if (server.port() == 0) {
        std::fprintf(stderr, "the server did not start\n");
        std::exit(1);
    }
    const double idle = server.residentMiB();
    Prober prober(server.port(), 50ms);
    double peak = 0;
    double atClose = 0;
    int holding = 0;
    int refused = 0;
    {
        Crowd crowd(server.port(), connections, addresses, request);
        const auto end = Clock::now() + std::chrono::seconds(held);
        while (Clock::now() < end) {
            crowd.pump(50ms);
            peak = std::max(peak, server.residentMiB());
        }
        holding = crowd.holding();
        refused = crowd.refused();
        atClose = server.residentMiB();
    }
    const auto closed = Clock::now();
    while (Clock::now() < closed + 2s) {
        std::this_thread::sleep_for(50ms);
        peak = std::max(peak, server.residentMiB());
    }
    const double after = server.residentMiB();
    prober.stop();
    const std::vector<Prober::Sample> times = prober.samples();
    const auto at = [&](double share) { return times[std::min(times.size() - 1, std::size_t(share * double(times.size())))].ms; };
    std::printf("%-12s %6d %8d %8d %10.0f %10.0f %10.0f %10.0f %8zu %8.1f %8.1f %8.1f %8.1f\n", name, connections, holding, refused, idle,
                peak, atClose, after, times.size(), at(0.5), at(0.99), times.back().ms, times.back().startedAt);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir(QCoreApplication::applicationDirPath()).filePath("qbank-server");
    const int connections = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int addresses = argc > 3 ? std::atoi(argv[3]) : 32;
    const int held = argc > 4 ? std::atoi(argv[4]) : 10;
    HeldConnection::raiseDescriptorLimit();
    // "max at s": when the slowest new client began, in seconds after the crowd began to open.
    std::printf("%-12s %6s %8s %8s %10s %10s %10s %10s %8s %8s %8s %8s %8s\n", "body", "conns", "holding", "refused", "idle MiB",
                "peak MiB", "close MiB", "+2s MiB", "probes", "p50 ms", "p99 ms", "max ms", "max at s");
    measure(program, "length", withLength(), connections, addresses, held);
    measure(program, "chunked", inChunks(), connections, addresses, held);
    return 0;
}
