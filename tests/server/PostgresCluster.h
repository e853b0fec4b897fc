#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A throw-away PostgreSQL cluster on a loopback port, run as the postgres user (tests run as
// root on the build machines). start() says why when it cannot.
class PostgresCluster {
public:
    ~PostgresCluster() { stop(); }
    bool start(QString* whyNot);
    void stop();
    // A new empty database: postgresql://postgres@127.0.0.1:PORT/NAME.
    QString newDatabase();

private:
    bool runAsPostgres(const QString& program, const QStringList& arguments, QString* output = nullptr);

    std::unique_ptr<QTemporaryDir> m_dir;
    int m_port = 0;
    int m_databases = 0;
    bool m_running = false;
};
