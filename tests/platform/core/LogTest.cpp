#include "platform/core/Log.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(LogTest, LinesFromManyThreadsAreCapturedNeitherLostNorTorn)
{
    core::LogCapture capture;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 100; ++i)
                core::log("t" + QString::number(t), QString::number(i));
        });
    for (auto& th : threads)
        th.join();
    const QStringList lines = capture.lines();
    EXPECT_EQ(lines.size(), 400);
    EXPECT_EQ(lines.filter(QRegularExpression("^\\[t[0-3]\\] \\d+$")).size(), 400);
}
