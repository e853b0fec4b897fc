#include "tests/server/PostgresCluster.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>

#include <pwd.h>
#include <unistd.h>


namespace {

const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

PostgresCluster::~PostgresCluster()
{
    stop();
}

bool PostgresCluster::runAsPostgres(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("runuser"), QStringList{"-u", "postgres", "--", kBin + program} + arguments);
    const bool finished = process.waitForFinished(60000);
    *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PostgresCluster::start(QString* whyNot)
{
    if (!QFile::exists(kBin + QStringLiteral("initdb"))) {
        *whyNot = QStringLiteral("PostgreSQL 15 is not installed");
        return false;
    }
    const passwd* account = getpwnam("postgres");
    if (geteuid() != 0 || !account) {
        *whyNot = QStringLiteral("needs root and a postgres user to start a throw-away cluster");
        return false;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/qbank-pg-XXXXXX"));
    if (!m_dir->isValid() || chown(QFile::encodeName(m_dir->path()).constData(), account->pw_uid, account->pw_gid) != 0) {
        *whyNot = QStringLiteral("cannot prepare a folder for the cluster");
        return false;
    }
    m_data = m_dir->filePath(QStringLiteral("data"));
    m_port = freePort();
    QString output;
    if (!runAsPostgres(QStringLiteral("initdb"), {"-D", m_data, "-U", "postgres", "--auth=trust", "-E", "UTF8", "--no-sync"}, &output)) {
        *whyNot = QStringLiteral("initdb failed: ") + output;
        return false;
    }
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(m_port).arg(m_dir->path());
    if (!runAsPostgres(QStringLiteral("pg_ctl"), {"-D", m_data, "-o", options, "-l", m_dir->filePath("log"), "-w", "start"}, &output)) {
        *whyNot = QStringLiteral("the cluster did not start: ") + output;
        return false;
    }
    m_running = true;
    return true;
}

void PostgresCluster::stop()
{
    if (!m_running)
        return;
    QString output;
    runAsPostgres(QStringLiteral("pg_ctl"), {"-D", m_data, "-m", "immediate", "-w", "stop"}, &output);
    m_running = false;
}

QString PostgresCluster::address() const
{
    return QStringLiteral("postgresql://postgres@127.0.0.1:%1/postgres").arg(m_port);
}
