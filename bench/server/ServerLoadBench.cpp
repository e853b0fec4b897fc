// Load benchmark of qbank-server. For each measured path it runs wrk twice in
// the same process lifetime: once against the real server and once against a
// bare server of the same HTTP layer that answers a precomputed reply of the
// same size, and reports requests per second, p99 latency and the ratio.
// With several rounds the two take turns going first, and a last line per path
// gives the medians: on a shared machine one run's p99 moves by a factor of two.
//
// usage: server_load_bench [seconds per run (5)] [connections, comma-separated (8,64)] [wrk threads (4)]
//                          [paths, comma-separated, or "all" (all)] [rounds (1)]

#include "server/storage/Database.h"
#include "server/http/HttpRequest.h"
#include "server/http/HttpServer.h"
#include "server/http/Reply.h"
#include "server/storage/SeedLoader.h"
#include "server/ServerInstance.h"
#include "tests/support/HttpTestClient.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstdio>
#include <thread>
#include <unordered_map>

#include <sys/resource.h>
#include <unistd.h>

using namespace server;

namespace {

struct Endpoint {
    QString path;
    QByteArray body;
};

struct Measure {
    double requestsPerSecond = 0;
    double p99Ms = 0;
    // Processor time this process (both servers, no wrk) spent per request: less
    // moved by other load on the machine than requests per second.
    double cpuMicrosPerRequest = 0;
};

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A bank with one subject, one chapter and one paper of 100 questions.
QJsonObject benchBank()
{
    QJsonArray questions;
    for (int i = 0; i < 100; ++i) {
        const QJsonArray options{"<p>选项甲</p>", "<p>选项乙</p>", "<p>选项丙</p>", "<p>选项丁</p>"};
        questions.append(QJsonObject{{"code", QStringLiteral("BQ%1").arg(i, 3, 10, QLatin1Char('0'))},
                                     {"paper", "BP1"},
                                     {"category", 0},
                                     {"score", 1},
                                     {"detail", QStringLiteral("<p>第 %1 题：下列说法正确的是（　）。</p>").arg(i + 1)},
                                     {"options", options},
                                     {"answer", "B"},
                                     {"analyze", "<p>选项乙正确，其余选项与题意不符。</p>"}});
    }
    const QJsonObject subject{{"code", "BS"},
                              {"name", "基准科目"},
                              {"directories", QJsonArray{QJsonObject{{"code", "BD1"}, {"name", "目录"}, {"chapters", QJsonArray{}}}}},
                              {"papers", QJsonArray{QJsonObject{{"code", "BP1"}, {"name", "百题试卷"}, {"kind", "past"}, {"difficulty", 3}}}},
                              {"questions", questions}};
    return QJsonObject{{"subjectTypes", QJsonArray{QJsonObject{{"code", "BT"}, {"name", "基准"}, {"subjects", QJsonArray{subject}}}}}};
}

QByteArray form(const QList<QPair<QString, QString>>& fields)
{
    QByteArray body;
    for (const auto& [key, value] : fields)
        body += (body.isEmpty() ? "" : "&") + key.toUtf8() + '=' + QUrl::toPercentEncoding(value);
    return body;
}

Measure runWrk(const QString& url, const QByteArray& body, const QString& scriptPath, int seconds, int connections, int threads)
{
    QFile script(scriptPath);
    script.open(QIODevice::WriteOnly | QIODevice::Truncate);
    script.write("wrk.method = \"POST\"\nwrk.headers[\"Content-Type\"] = \"application/x-www-form-urlencoded\"\nwrk.body = \"" + body + "\"\n");
    script.close();
    QProcess wrk;
    const double cpuBefore = processCpuSeconds();
    wrk.start(QStringLiteral("wrk"), {"-t", QString::number(threads), "-c", QString::number(connections), "-d",
                                      QStringLiteral("%1s").arg(seconds), "--latency", "-s", scriptPath, url});
    wrk.waitForFinished(-1);
    const double cpuSpent = processCpuSeconds() - cpuBefore;
    const QString out = QString::fromUtf8(wrk.readAllStandardOutput());
    Measure m;
    const auto rps = QRegularExpression(QStringLiteral("Requests/sec:\\s+([0-9.]+)")).match(out);
    m.requestsPerSecond = rps.captured(1).toDouble();
    const auto p99 = QRegularExpression(QStringLiteral("\\s99%\\s+([0-9.]+)(us|ms|s)")).match(out);
    const double scale = p99.captured(2) == QLatin1String("us") ? 0.001 : p99.captured(2) == QLatin1String("s") ? 1000.0 : 1.0;
    m.p99Ms = p99.captured(1).toDouble() * scale;
    const double requests = m.requestsPerSecond * seconds;
    m.cpuMicrosPerRequest = requests > 0 ? cpuSpent * 1e6 / requests : 0;
    if (QRegularExpression(QStringLiteral("Non-2xx")).match(out).hasMatch())
        std::fprintf(stderr, "warning: non-2xx replies from %s\n%s\n", qPrintable(url), qPrintable(out));
    return m;
}

struct Round {
    Measure real;
    Measure bare;

    double ratio() const { return bare.requestsPerSecond > 0 ? real.requestsPerSecond / bare.requestsPerSecond : 0.0; }
    double p99Ratio() const { return bare.p99Ms > 0 ? real.p99Ms / bare.p99Ms : 0.0; }
};

using Columns = std::array<double, 8>;

Columns columnsOf(const Round& r)
{
    return {r.real.requestsPerSecond, r.real.p99Ms, r.real.cpuMicrosPerRequest, r.bare.requestsPerSecond, r.bare.p99Ms,
            r.bare.cpuMicrosPerRequest, r.ratio(), r.p99Ratio()};
}

void printRow(const QString& path, const Columns& c, const char* note = "")
{
    std::printf("%-28s %12.0f %10.2f %8.1f %12.0f %10.2f %8.1f %8.2f %8.1f%s\n", qPrintable(path), c[0], c[1], c[2], c[3], c[4], c[5],
                c[6], c[7], note);
    std::fflush(stdout);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Each column's median on its own (so the ratios are medians of the rounds' ratios).
Columns medians(const std::vector<Round>& rounds)
{
    Columns result{};
    for (size_t column = 0; column < result.size(); ++column) {
        std::vector<double> values;
        for (const Round& r : rounds)
            values.push_back(columnsOf(r)[column]);
        result[column] = median(values);
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int seconds = args.size() > 1 ? args.at(1).toInt() : 5;
    // Each path is measured at every count in turn, so that all rows come from the same minutes.
    std::vector<int> connectionCounts;
    for (const QString& count : (args.size() > 2 ? args.at(2) : QStringLiteral("8,64")).split(QLatin1Char(','), Qt::SkipEmptyParts))
        connectionCounts.push_back(std::max(1, count.toInt()));
    const int threads = args.size() > 3 ? args.at(3).toInt() : 4;
    // Measuring one path alone keeps a profile of it free of the others.
    const QStringList only = args.size() > 4 && args.at(4) != QLatin1String("all") ? args.at(4).split(QLatin1Char(','), Qt::SkipEmptyParts)
                                                                                  : QStringList();
    const int rounds = std::max(1, args.size() > 5 ? args.at(5).toInt() : 1);

    // wrk is one address playing many clients: the cap per address is lifted for it, on
    // both sides alike.
    HttpLimits limits;
    limits.maxConnectionsPerAddress = limits.maxConnections;
    ServerInstance server;
    server.setHttpLimits(limits);
    QString error;
    if (!server.startTemporary(ServerOptions::Seed::None, &error) || !SeedLoader(server.database()).loadIfEmpty(benchBank(), &error)) {
        std::fprintf(stderr, "cannot start: %s\n", qPrintable(error));
        return 1;
    }
    HttpTestClient client(server.host().toStdString(), server.port());
    auto post = [&](const QString& path, const QByteArray& body) {
        return client.post(("/PendarWeb/" + path).toStdString(), body.toStdString()).body;
    };
    const std::string account = post(QStringLiteral("user/register"), form({{"account", "bench01"}, {"pwd", "secret99"}}));
    const QString user = QJsonDocument::fromJson(QByteArray::fromStdString(account)).object().value("code").toString();

    const QList<Endpoint> endpoints = {
        {QStringLiteral("user/login"), form({{"account", "bench01"}, {"pwd", "secret99"}})},
        {QStringLiteral("exam/paper_exam_list"),
         form({{"paperCode", "BP1"}, {"subjectCode", "BS"}, {"record_remark", "百题试卷"}, {"user_code", user}})},
        {QStringLiteral("exam/error_keep_add"),
         form({{"subjectCode", "BS"}, {"user_code", user}, {"type", "0"}, {"code", "BQ042"}, {"paper_code", "BP1"},
               {"directoryCode", ""}, {"chapter_code", ""}, {"node_code", ""}, {"anwer", "B"}})},
    };

    // The reference: the same HTTP layer with the same limits, answering bytes held in
    // memory on its network threads.
    std::unordered_map<std::string, Reply> replies;
    for (const Endpoint& e : endpoints) {
        const std::string reply = post(e.path, e.body);
        const bool json = !reply.empty() && (reply.front() == '{' || reply.front() == '[');
        std::printf("%-24s reply %zu bytes\n", qPrintable(e.path), reply.size());
        const QByteArray bytes = QByteArray::fromStdString(reply);
        replies.emplace(("/PendarWeb/" + e.path).toStdString(), json ? Reply::json(bytes) : Reply::plain(200, bytes));
    }
    HttpServer reference(
        limits,
        [&replies](const HttpRequest& request) {
            const auto it = replies.find(request.path);
            return it == replies.end() ? Reply::error(404, "no such path") : it->second;
        },
        HttpServer::HandlerThreads::Network);
    if (!reference.listen(QStringLiteral("127.0.0.1"), 0, &error)) {
        std::fprintf(stderr, "cannot start the reference: %s\n", qPrintable(error));
        return 1;
    }
    reference.run();
    const int referencePort = reference.port();

    QTemporaryDir scripts;
    std::printf("\n%-28s %12s %10s %8s %12s %10s %8s %8s %8s\n", "path @ connections", "server rps", "p99 ms", "cpu us", "bare rps", "p99 ms",
                "cpu us", "ratio", "p99 x");
    for (const Endpoint& e : endpoints) {
        for (const int connections : connectionCounts) {
            if (!only.isEmpty() && !only.contains(e.path))
                continue;
            const QString row = QStringLiteral("%1 @ %2").arg(e.path).arg(connections);
            const QString script = scripts.filePath(QStringLiteral("post.lua"));
            const auto measure = [&](const QString& base) {
                // The server's queued writes of the run before are committed and flushed
                // first, so neither side pays for the other's disk traffic (it lifted the
                // bare reply's p99 to 25-250 ms in some runs).
                server.database().awaitQueuedWrites();
                ::sync();
                return runWrk(base + e.path, e.body, script, seconds, connections, threads);
            };
            const QString bareBase = QStringLiteral("http://127.0.0.1:%1/PendarWeb/").arg(referencePort);
            std::vector<Round> results;
            for (int i = 0; i < rounds; ++i) {
                Round r;
                if (i % 2 == 0) {
                    r.real = measure(server.baseUrl());
                    r.bare = measure(bareBase);
                } else {
                    r.bare = measure(bareBase);
                    r.real = measure(server.baseUrl());
                }
                printRow(row, columnsOf(r));
                results.push_back(r);
            }
            if (rounds > 1)
                printRow(row, medians(results), qPrintable(QStringLiteral("  median of %1").arg(rounds)));
        }
    }
    reference.stop();
    return 0;
}
