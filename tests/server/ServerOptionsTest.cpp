#include "server/ServerOptions.h"

#include <gtest/gtest.h>

using namespace server;

TEST(ServerOptions, ReadsEveryFlagAndRefusesBadLines)
{
    QString error;
    const auto options = ServerOptions::parse({"--listen", "0.0.0.0:9090", "--db", "postgresql://u:p@localhost:5433/bank", "--seed", "none"}, &error);
    ASSERT_TRUE(options) << qPrintable(error);
    EXPECT_EQ(options->host, "0.0.0.0");
    EXPECT_EQ(options->port, 9090);
    EXPECT_EQ(options->database, "postgresql://u:p@localhost:5433/bank");
    EXPECT_EQ(options->seed, ServerOptions::Seed::None);

    const QList<QStringList> bad = {{"--listen", "8080"}, {"--listen", "host:70000"}, {"--listen", "host:abc"}, {"--listen", ":80"},
                                    {"--seed", "maybe"},  {"--port", "1"},           {"--db"}};
    for (const QStringList& arguments : bad) {
        error.clear();
        EXPECT_FALSE(ServerOptions::parse(arguments, &error)) << qPrintable(arguments.join(' '));
        EXPECT_FALSE(error.isEmpty());
    }
}

// Ports run from 0 (any free one) to 65535, the last one a TCP port can have.
TEST(ServerOptions, ListenTakesEveryPortUpToTheLast)
{
    // --listen value, port taken or none when refused
    const std::pair<QString, std::optional<int>> cases[] = {
        {"127.0.0.1:65535", 65535}, {"127.0.0.1:65534", 65534}, {"localhost:0", 0},
        {"127.0.0.1:65536", std::nullopt}, {"127.0.0.1:-1", std::nullopt},
    };
    for (const auto& [listen, port] : cases) {
        SCOPED_TRACE(listen.toStdString());
        QString error;
        const auto options = ServerOptions::parse({"--listen", listen}, &error);
        ASSERT_EQ(options.has_value(), port.has_value()) << qPrintable(error);
        if (options) {
            EXPECT_EQ(options->port, *port);
            EXPECT_EQ(options->host, listen.section(':', 0, 0));
        } else {
            EXPECT_TRUE(error.contains(listen));
        }
    }
}
