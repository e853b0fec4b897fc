#include "server/ServerOptions.h"

#include <gtest/gtest.h>

using namespace server;

TEST(ServerOptions, DefaultsServeLoopbackWithSqliteAndSample)
{
    QString error;
    const auto options = ServerOptions::parse({}, &error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(options->port, 8080);
    EXPECT_FALSE(options->database.startsWith(QLatin1String("postgresql://")));
    EXPECT_EQ(options->seed, ServerOptions::Seed::Sample);
}

TEST(ServerOptions, ReadsEveryFlag)
{
    QString error;
    const auto options = ServerOptions::parse({"--listen", "0.0.0.0:9090", "--db", "postgresql://u:p@localhost:5433/bank",
                                               "--seed", "none"},
                                              &error);
    ASSERT_TRUE(options) << qPrintable(error);
    EXPECT_EQ(options->host, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(options->port, 9090);
    EXPECT_EQ(options->database, QStringLiteral("postgresql://u:p@localhost:5433/bank"));
    EXPECT_EQ(options->seed, ServerOptions::Seed::None);
}

TEST(ServerOptions, RefusesBadLines)
{
    const QList<QStringList> bad = {
        {"--listen", "8080"}, {"--listen", "host:70000"}, {"--listen", "host:abc"}, {"--listen", ":80"},
        {"--seed", "maybe"},  {"--port", "1"},           {"--db"},
    };
    for (const QStringList& arguments : bad) {
        QString error;
        EXPECT_FALSE(ServerOptions::parse(arguments, &error)) << qPrintable(arguments.join(' '));
        EXPECT_FALSE(error.isEmpty());
    }
}
