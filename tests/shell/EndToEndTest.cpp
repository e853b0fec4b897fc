// The client as a user starts it: its own process, its own settings folder, a fresh server.
#include "appbase/CommonUtil.h"
#include "server/Database.h"
#include "server/ServerInstance.h"
#include "tests/support/AppTest.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

class EndToEndTest : public AppTest {
protected:
    // Runs the client against `server` until `done` holds, then kills it; or, with a screenshot
    // to take, until it quits by itself.
    bool run(const server::ServerInstance& server, const std::function<bool()>& done, const QStringList& arguments = {})
    {
        QProcess client;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QBANK_DATA_DIR", m_home.path());
        env.insert(CommonUtil::kServiceUrlVariable, server.baseUrl());
        client.setProcessEnvironment(env);
        client.start(QStringLiteral(QBANK_CLIENT_BINARY), arguments);
        if (!arguments.isEmpty())
            return client.waitForFinished(30000) && client.exitCode() == 0;
        const bool ok = client.waitForStarted() && pumpUntil(done, 30);
        client.kill();
        client.waitForFinished();
        return ok;
    }
    QJsonObject settings() const
    {
        QFile file(m_home.filePath("settings.json"));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }
    void writeSettings(const QJsonObject& values) const
    {
        QFile file(m_home.filePath("settings.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(values).toJson());
    }

    QTemporaryDir m_home;
};

// The guest made on a first start is stored before any background step (the process is
// killed, as a crash would end it); the second start reads it back, asks for no other, and
// saves when it quits.
TEST_F(EndToEndTest, GuestMadeOnFirstStartIsReadBackOnTheSecond)
{
    server::ServerInstance server;
    QString error;
    ASSERT_TRUE(server.startTemporary(server::ServerOptions::Seed::Sample, &error)) << error.toStdString();
    ASSERT_TRUE(run(server, [&] { return settings().value("account").isObject(); }));
    const QJsonObject account = settings().value("account").toObject();
    ASSERT_EQ(settings().value("sysset").toArray().size(), 9);

    writeSettings({{"account", account}});
    const QString shot = m_home.filePath("home.png");
    ASSERT_TRUE(run(server, {}, {"--screenshot", shot}));
    EXPECT_TRUE(QFile::exists(shot));
    EXPECT_EQ(settings().value("account").toObject(), account);
    const QJsonArray sysset = settings().value("sysset").toArray();
    ASSERT_EQ(sysset.size(), 9);
    EXPECT_EQ(sysset[5].toString(), "1");
    EXPECT_EQ(sysset[8].toObject(), account);
    EXPECT_EQ(server.database().row(QStringLiteral("SELECT COUNT(*) FROM account"), {}).value(0).toInt(), 1);
}

} // namespace
