#include "platform/core/Settings.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using core::Settings;

namespace {
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_folder = m_dir.filePath("data");   // not created yet: the store makes it
        Settings::setDataFolder(m_folder);
    }
    void TearDown() override
    {
        Settings::standard().reload();   // drop anything unsaved so nothing writes into a deleted folder
        Settings::setDataFolder(QString());
        core::RunLoop::main().reset();
    }
    QString file() const { return m_folder + "/settings.json"; }
    void writeFile(const QByteArray& bytes)
    {
        QDir().mkpath(m_folder);
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir m_dir;
    QString m_folder;
};
} // namespace

TEST_F(SettingsTest, EveryJsonTypeRoundTripsThroughTheFile)
{
    auto& s = Settings::standard();
    const QJsonObject account{{"code", "u-1"}, {"username", "游客"}, {"pwd", "p&=+%"}};
    const QJsonArray sysset{"150", "150", "0", "1", "1", "0", "0", "1234567890", account, "S1"};
    s.set("account", account);
    s.set("sysset", sysset);
    s.set("null", QJsonValue::Null);
    s.set("bool", true);
    s.set("int", 9007199254740993LL);
    s.set("double", 0.1);
    s.set("string", QStringLiteral("中文 \"quoted\"\n"));
    s.set("empty", QJsonArray{});
    ASSERT_TRUE(s.synchronize());

    QFileInfo info(file());
    ASSERT_TRUE(info.exists());
    EXPECT_EQ(info.permissions() & 0x0077, 0) << "no access for group or others";
    EXPECT_TRUE(info.permissions().testFlag(QFileDevice::ReadOwner));
    EXPECT_TRUE(info.permissions().testFlag(QFileDevice::WriteOwner));

    s.reload();
    EXPECT_EQ(s.value("account"), account);
    EXPECT_EQ(s.value("sysset"), sysset);
    EXPECT_TRUE(s.contains("null"));
    EXPECT_TRUE(s.value("null").isNull());
    EXPECT_EQ(s.value("bool"), QJsonValue(true));
    EXPECT_EQ(s.value("int").toInteger(), 9007199254740993LL);
    EXPECT_EQ(s.value("double").toDouble(), 0.1);
    EXPECT_EQ(s.value("string").toString(), QStringLiteral("中文 \"quoted\"\n"));
    EXPECT_EQ(s.value("empty"), QJsonArray{});
    EXPECT_TRUE(s.value("absent").isUndefined());
}

TEST_F(SettingsTest, RemoveAndSetMissingDeleteTheKey)
{
    auto& s = Settings::standard();
    s.set("account", QJsonObject{{"code", "x"}});
    s.set("keep", 1);
    s.synchronize();
    s.set("account", QJsonValue(QJsonValue::Undefined));   // setObject:nil
    s.remove("keep");
    s.remove("never-there");
    s.synchronize();
    s.reload();
    EXPECT_FALSE(s.contains("account"));
    EXPECT_FALSE(s.contains("keep"));
}

TEST_F(SettingsTest, ChangesReachTheDiskOnTheNextTurnWithoutSynchronize)
{
    auto& s = Settings::standard();
    s.set("style", 1);
    EXPECT_FALSE(QFile::exists(file()));
    core::RunLoop::main().processPending();
    ASSERT_TRUE(QFile::exists(file()));
    QFile f(file());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(f.readAll()).object().value("style").toInt(), 1);
}

TEST_F(SettingsTest, CorruptOrTruncatedFileIsMovedAsideAndTheStoreStartsEmpty)
{
    const QByteArray damaged[] = {"{\"account\": {\"code\": \"u", "", "[1,2]", "\x00\x01garbage"};
    for (const QByteArray& bytes : damaged) {
        writeFile(bytes);
        core::LogCapture log;
        Settings::setDataFolder(m_folder);   // loads the file
        auto& s = Settings::standard();
        EXPECT_TRUE(s.all().isEmpty());
        EXPECT_TRUE(log.contains("starting from defaults")) << log.lines().join('\n').toStdString();
        EXPECT_FALSE(QFile::exists(file()));
        const QStringList aside = QDir(m_folder).entryList({"settings.json.corrupt-*"}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        QFile kept(m_folder + "/" + aside.first());
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), bytes) << "the damaged file is kept for inspection";
        kept.remove();

        // And the store works again from defaults.
        s.set("ok", true);
        ASSERT_TRUE(s.synchronize());
        s.reload();
        EXPECT_EQ(s.value("ok"), QJsonValue(true));
        QFile::remove(file());
    }
}

TEST_F(SettingsTest, SaveReplacesTheFileWhole)
{
    auto& s = Settings::standard();
    s.set("long", QString(10000, u'x'));
    s.synchronize();
    s.remove("long");
    s.set("short", 1);
    s.synchronize();
    QFile f(file());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
    ASSERT_TRUE(doc.isObject()) << "no remains of the longer file";
    EXPECT_EQ(doc.object().keys(), QStringList{"short"});
    EXPECT_EQ(QDir(m_folder).entryList(QDir::Files), QStringList{"settings.json"}) << "no temporary files left";
}
