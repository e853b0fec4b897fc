#include "server/ServerInstance.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

#include <sys/resource.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString error;
    const auto options = server::ServerOptions::parse(app.arguments().mid(1), &error);
    if (!options) {
        std::fprintf(stderr, "qbank-server: %s\n", qPrintable(error));
        std::fprintf(stderr, "usage: qbank-server [--listen HOST:PORT] [--db FILE|postgresql://...] [--seed sample|none] [--public-url URL]\n");
        return 2;
    }
    // Block the stop signals before any thread starts, so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // Each connection is a descriptor, and the server admits up to 10,000 of them: take
    // every descriptor the system allows rather than the usual 1,024.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    server::ServerInstance instance;
    if (!instance.start(*options, &error)) {
        std::fprintf(stderr, "qbank-server: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("qbank-server listening on %s\n", qPrintable(instance.baseUrl()));
    std::fflush(stdout);
    int received = 0;
    sigwait(&stopSignals, &received);
    instance.stop();
    return 0;
}
