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
