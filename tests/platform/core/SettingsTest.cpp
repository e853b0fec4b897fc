#include "platform/core/Settings.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using core::Settings;

namespace {
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { Settings::setDataFolder(m_folder); }
    void TearDown() override
    {
        Settings::standard().reload();   // drop anything unsaved so nothing writes into a deleted folder
        Settings::setDataFolder(QString());
        core::RunLoop::main().reset();
    }
    QString file() const { return m_folder + "/settings.json"; }
    QJsonObject onDisk() const
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
    }

    QTemporaryDir m_dir;
    const QString m_folder = m_dir.filePath("data");   // not created yet: the store makes it
};
} // namespace

// Like NSUserDefaults, changes reach the disk on the next turn, in a file that only its owner
// may read and that each save replaces whole.
TEST_F(SettingsTest, ChangesReachAFileOnlyTheOwnerMayReadOnTheNextTurn)
{
    auto& s = Settings::standard();
    s.set("account", QJsonObject{{"code", "u-1"}, {"username", "游客"}, {"pwd", "p&=+%\"\n"}});
    s.set("long", QString(10000, u'x'));
    s.set("int", 9007199254740993LL);
    EXPECT_FALSE(QFile::exists(file()));
    core::RunLoop::main().processPending();
    EXPECT_EQ(QFileInfo(file()).permissions() & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
    const QJsonObject saved = s.all();
    s.reload();
    EXPECT_EQ(s.all(), saved);

    s.remove("long");
    s.set("account", QJsonValue(QJsonValue::Undefined));   // setObject:nil
    s.set("null", QJsonValue::Null);
    ASSERT_TRUE(s.synchronize());
    EXPECT_EQ(onDisk(), (QJsonObject{{"int", 9007199254740993LL}, {"null", QJsonValue::Null}}));
    EXPECT_EQ(QDir(m_folder).entryList(QDir::Files), QStringList{"settings.json"}) << "no temporary files left";
}

TEST_F(SettingsTest, ADamagedFileIsMovedAsideAndTheStoreStartsEmpty)
{
    for (const QByteArray& bytes : {QByteArray("{\"account\": {\"code\": \"u"), QByteArray("[1,2]")}) {
        QDir().mkpath(m_folder);
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        core::LogCapture log;
        Settings::setDataFolder(m_folder);   // loads the file
        EXPECT_TRUE(Settings::standard().all().isEmpty());
        EXPECT_TRUE(log.contains("starting from defaults"));
        const QStringList aside = QDir(m_folder).entryList({"settings.json.corrupt-*"}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        QFile kept(m_folder + "/" + aside.first());
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), bytes) << "the damaged file is kept for inspection";
        kept.remove();
    }
}
