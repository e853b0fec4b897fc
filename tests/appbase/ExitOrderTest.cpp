#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Quitting with overlays on screen: the views they live in go while the platform's
// singletons still stand, so the process ends cleanly (a use-after-free here shows as a
// crash, or as a sanitizer's report in the sanitized suite).
TEST(ExitOrder, QuittingWithAToastAndTheWaitOverlayShowingEndsCleanly)
{
    QTemporaryDir dir;
    QProcess probe;
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(QStringLiteral(QBANK_EXIT_PROBE), {QStringLiteral("--screenshot"), dir.filePath(QStringLiteral("exit.png"))});
    ASSERT_TRUE(probe.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(probe.readAll());
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit) << qPrintable(output);
    EXPECT_EQ(probe.exitCode(), 0) << qPrintable(output);
    EXPECT_FALSE(output.contains(QStringLiteral("Sanitizer"))) << qPrintable(output);
}
