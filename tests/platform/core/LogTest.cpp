#include "platform/core/Log.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(LogTest, CaptureCollectsLinesWithTheirCategory)
{
    core::LogCapture capture;
    core::log("SidePanelController", "warning: the left panel is disabled");
    core::log(QStringLiteral("root"), QStringLiteral("sdfdfdfff"));
    EXPECT_EQ(capture.lines(),
              (QStringList{"[SidePanelController] warning: the left panel is disabled", "[root] sdfdfdfff"}));
    EXPECT_TRUE(capture.contains("sdfdfdfff"));
    capture.clear();
    EXPECT_TRUE(capture.lines().isEmpty());
}

TEST(LogTest, LinesFromManyThreadsAreNeitherLostNorTorn)
{
    core::LogCapture capture;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 100; ++i)
                core::log("t", QStringLiteral("%1-%2").arg(t).arg(i));
        });
    for (auto& th : threads)
        th.join();
    const QStringList lines = capture.lines();
    EXPECT_EQ(lines.size(), 400);
    for (const QString& line : lines)
        EXPECT_TRUE(line.startsWith("[t] ")) << line.toStdString();
}
