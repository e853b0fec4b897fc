#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>


// A throw-away PostgreSQL cluster on a loopback port, run as the postgres user
// (tests run as root on the build machines). start() says why when it cannot.
class PostgresCluster {
public:
    PostgresCluster() = default;
    ~PostgresCluster();

    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    bool start(QString* whyNot);
    void stop();
    // postgresql://postgres@127.0.0.1:PORT/postgres
    QString address() const;

private:
    bool runAsPostgres(const QString& program, const QStringList& arguments, QString* output);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_data;
    int m_port = 0;
    bool m_running = false;
};
