#include "platform/core/Bundle.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using core::Bundle;

TEST(BundleTest, VersionIsTheProjectVersion)
{
    EXPECT_FALSE(Bundle::version().isEmpty());
    EXPECT_TRUE(Bundle::version().contains(QRegularExpression("^\\d+\\.\\d+(\\.\\d+)?$"))) << Bundle::version().toStdString();
}

TEST(BundleTest, ResourcePathComesFromOverrideEnvironmentOrTheApplicationFolder)
{
    const QByteArray saved = qgetenv("QBANK_RESOURCES");
    qunsetenv("QBANK_RESOURCES");
    EXPECT_EQ(Bundle::resourcePath(), QCoreApplication::applicationDirPath() + "/resources");
    qputenv("QBANK_RESOURCES", "/opt/qbank/resources/");
    EXPECT_EQ(Bundle::resourcePath(), "/opt/qbank/resources");

    QTemporaryDir dir;
    Bundle::setResourcePath(dir.path());
    EXPECT_EQ(Bundle::resourcePath(), dir.path());
    QFile f(dir.filePath("allBg.png"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(Bundle::pathForResource("allBg", "png"), dir.filePath("allBg.png"));
    EXPECT_EQ(Bundle::pathForResource("allBg", ".png"), dir.filePath("allBg.png"));
    EXPECT_EQ(Bundle::pathForResource("allBg.png", ""), dir.filePath("allBg.png"));
    EXPECT_EQ(Bundle::pathForResource("missing", "png"), "");
    Bundle::setResourcePath(QString());
    if (saved.isNull())
        qunsetenv("QBANK_RESOURCES");
    else
        qputenv("QBANK_RESOURCES", saved);
}
