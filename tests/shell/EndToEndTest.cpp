// The client as a user starts it: its own process, the test's settings folder, a fresh server.
#include "appbase/CommonUtil.h"
#include "platform/core/Settings.h"
#include "server/storage/Database.h"
#include "server/ServerInstance.h"
#include "tests/support/AppTest.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

class EndToEndTest : public AppTest {
protected:
    // Runs the client until `done` holds, then kills it; or, with a screenshot to take, until it
    // quits by itself.
    bool run(const std::function<bool()>& done, const QStringList& arguments = {})
    {
        QProcess client;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QBANK_DATA_DIR", m_dataDir.path());
        env.insert(CommonUtil::kServiceUrlVariable, m_sampleServer->baseUrl());
        client.setProcessEnvironment(env);
        client.start(QStringLiteral(QBANK_CLIENT_BINARY), arguments);
        if (!arguments.isEmpty())
            return client.waitForFinished(30000) && client.exitCode() == 0;
        const bool ok = client.waitForStarted() && pumpUntil(done, 30);
        client.kill();
        client.waitForFinished();
        return ok;
    }
};

// The guest made on a first start is stored before any background step (the process is
// killed, as a crash would end it); the second start reads it back, asks for no other, and
// saves when it quits.
TEST_F(EndToEndTest, GuestMadeOnFirstStartIsReadBackOnTheSecond)
{
    server::ServerInstance& server = startSampleServer();
    ASSERT_TRUE(run([&] { return storedAccount().isObject(); }));
    const QJsonObject account = storedAccount().toObject();

    QFile file(core::Settings::standard().filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(QJsonObject{{"account", account}}).toJson()) > 0);
    file.close();
    const QString shot = QDir(m_dataDir.path()).filePath("home.png");
    ASSERT_TRUE(run({}, {"--screenshot", shot}));
    EXPECT_TRUE(QFile::exists(shot));
    EXPECT_EQ(storedAccount().toObject(), account);
    const QJsonArray sysset = storedSysset();
    ASSERT_EQ(sysset.size(), 9);
    EXPECT_EQ(sysset[5].toString(), "1");
    EXPECT_EQ(sysset[8].toObject(), account);
    EXPECT_EQ(server.database().row(QStringLiteral("SELECT COUNT(*) FROM account"), {}).value(0).toInt(), 1);
}

} // namespace
