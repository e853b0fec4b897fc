#include "tests/server/PostgresCluster.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>

#include <pwd.h>
#include <unistd.h>

static const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");

bool PostgresCluster::runAsPostgres(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("runuser", QStringList{"-u", "postgres", "--", kBin + program} + arguments);
    const bool finished = process.waitForFinished(60000);
    if (output)
        *output = program + ": " + QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PostgresCluster::start(QString* whyNot)
{
    const passwd* account = getpwnam("postgres");
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/qbank-pg-XXXXXX");
    if (!QFile::exists(kBin + "initdb") || geteuid() != 0 || !account || !m_dir->isValid()
        || chown(QFile::encodeName(m_dir->path()).constData(), account->pw_uid, account->pw_gid) != 0) {
        *whyNot = "needs PostgreSQL 15, root, a postgres user and a folder for the cluster";
        return false;
    }
    QTcpServer probe;   // a port that is free now
    probe.listen(QHostAddress::LocalHost);
    m_port = probe.serverPort();
    probe.close();
    const QString data = m_dir->filePath("data");
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(m_port).arg(m_dir->path());
    m_running = runAsPostgres("initdb", {"-D", data, "-U", "postgres", "--auth=trust", "-E", "UTF8", "--no-sync"}, whyNot)
                && runAsPostgres("pg_ctl", {"-D", data, "-o", options, "-l", m_dir->filePath("log"), "-w", "start"}, whyNot);
    return m_running;
}

void PostgresCluster::stop()
{
    if (std::exchange(m_running, false))
        runAsPostgres("pg_ctl", {"-D", m_dir->filePath("data"), "-m", "immediate", "-w", "stop"});
}

QString PostgresCluster::newDatabase()
{
    const QString name = QStringLiteral("bank%1").arg(++m_databases);
    runAsPostgres("createdb", {"-h", m_dir->path(), "-p", QString::number(m_port), name});
    return QStringLiteral("postgresql://postgres@127.0.0.1:%1/%2").arg(m_port).arg(name);
}
