// The client as a user starts it: its own process, its own settings folder, a fresh server.
#include "platform/core/RunLoop.h"
#include "server/ServerInstance.h"
#include "appbase/CommonUtil.h"
#include "tests/support/AppTest.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "server/Database.h"

namespace {

class EndToEndTest : public AppTest {
protected:
    QProcessEnvironment clientEnvironment(const server::ServerInstance& server) const
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QBANK_DATA_DIR", m_home.path());
        env.insert(CommonUtil::kServiceUrlVariable, server.baseUrl());
        return env;
    }
    QJsonObject settings() const
    {
        QFile file(m_home.filePath("settings.json"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    static int accountCount(server::ServerInstance& server)
    {
        QSqlQuery q = server.database().query(QStringLiteral("SELECT COUNT(*) FROM account"));
        return q.next() ? q.value(0).toInt() : -1;
    }

    QTemporaryDir m_home;
};

TEST_F(EndToEndTest, GuestMadeOnFirstStartIsReadBackOnTheSecond)
{
    server::ServerInstance server;
    QString error;
    ASSERT_TRUE(server.startTemporary(server::ServerOptions::Seed::Sample, &error)) << error.toStdString();

    // First start: the window opens, the guest is made and stored; then the process dies
    // without any background step, as a crash or a kill would end it.
    QProcess first;
    first.setProcessEnvironment(clientEnvironment(server));
    first.start(QStringLiteral(QBANK_CLIENT_BINARY), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(pumpUntil([&] { return settings().value("account").isObject(); }, 30));
    first.kill();
    first.waitForFinished();

    const QJsonObject account = settings().value("account").toObject();
    EXPECT_TRUE(QRegularExpression("^yk_[A-Z]{5}[0-9]{6,9}$").match(account.value("username").toString()).hasMatch());
    const QJsonArray sysset = settings().value("sysset").toArray();
    ASSERT_EQ(sysset.size(), 9);
    const QString deviceId = sysset[7].toString();
    EXPECT_EQ(accountCount(server), 1);

    // Second start, to a screenshot: it reads the account back, sends nothing, and saves the
    // same account and device number when it quits.
    QProcess second;
    second.setProcessEnvironment(clientEnvironment(server));
    const QString shot = m_home.filePath("home.png");
    second.start(QStringLiteral(QBANK_CLIENT_BINARY), {"--screenshot", shot});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(shot));
    EXPECT_EQ(settings().value("account").toObject(), account);
    ASSERT_EQ(settings().value("sysset").toArray().size(), 9);
    EXPECT_EQ(settings().value("sysset").toArray()[7].toString(), deviceId);
    EXPECT_EQ(accountCount(server), 1);
}

} // namespace
