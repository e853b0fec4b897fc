#include "server/storage/Connections.h"

#include "server/storage/BoundValue.h"
#include "server/storage/Checkpointer.h"
#include "server/http/NonBlockingScope.h"
#include "server/storage/StorageError.h"

#include <QAtomicInt>
#include <QSqlDriver>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QUrl>

#include <limits>

namespace server {

namespace {

QAtomicInt g_instanceCounter;

[[noreturn]] void fail(const char* step, const QSqlError& error)
{
    StorageError::raise(step, error.text());
}

void bindAll(QSqlQuery& q, const QVariantList& binds)
{
    for (const QVariant& value : binds)
        q.addBindValue(BoundValue::forQtSql(value));
}

} // namespace

Connections::Connections()
    : m_instance(g_instanceCounter.fetchAndAddRelaxed(1))
    , m_prefix(QStringLiteral("qbank-db-%1-").arg(m_instance))
{
}

bool Connections::connect(const QString& address, QString* error)
{
    if (!configure(address, error))
        return false;
    if (m_engine == Engine::Sqlite)
        m_checkpointer = std::make_unique<Checkpointer>(m_file);
    return applySchema(error);
}

Connections::~Connections()
{
    {
        // Statements hold their connection open; they go first.
        std::lock_guard lock(m_statementsMutex);
        m_statements.clear();
    }
    {
        // The request threads have ended by now; only the names remain registered.
        std::lock_guard lock(m_namesMutex);
        for (const QString& name : std::as_const(m_connectionNames))
            QSqlDatabase::removeDatabase(name);
    }
    // Last: the connections closed above told it of their commits.
    m_checkpointer.reset();
}

bool Connections::configure(const QString& address, QString* error)
{
    if (!address.startsWith(QLatin1String("postgresql://")) && !address.startsWith(QLatin1String("postgres://"))) {
        m_engine = Engine::Sqlite;
        m_file = address;
        return restrictToOwner(error);
    }
    const QUrl url(address);
    if (!url.isValid() || url.host().isEmpty()) {
        *error = QStringLiteral("invalid PostgreSQL address: %1").arg(address);
        return false;
    }
    m_engine = Engine::Postgres;
    m_host = url.host();
    m_port = url.port(5432);
    m_databaseName = url.path().mid(1);
    m_user = url.userName();
    m_password = url.password();
    return true;
}

// Accounts' digests live in the file: it and its journal are the owner's alone. SQLite
// creates the WAL and shared-memory files with the database file's mode, so making the
// file (or fixing an old one) before the first connection covers all three.
bool Connections::restrictToOwner(QString* error)
{
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile file(m_file);
    if (!file.exists() && !file.open(QIODevice::WriteOnly, ownerOnly)) {
        *error = QStringLiteral("cannot create database file %1: %2").arg(m_file, file.errorString());
        return false;
    }
    file.close();
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        QFile part(m_file + suffix);
        if (part.exists())
            part.setPermissions(ownerOnly);
    }
    return true;
}

bool Connections::applySchema(QString* error)
{
    QFile file(QStringLiteral(":/qbank/schema.sql"));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("schema resource missing");
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    try {
        if (m_engine == Engine::Sqlite)
            unprepared(QStringLiteral("PRAGMA journal_mode=WAL"));
        QStringList lines;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (!line.trimmed().startsWith(QLatin1String("--")))
                lines << line;
        }
        for (const QString& raw : lines.join(QLatin1Char('\n')).split(QLatin1Char(';'))) {
            const QString statement = raw.trimmed();
            if (!statement.isEmpty())
                unprepared(statement);
        }
    } catch (const StorageError& e) {
        *error = QString::fromStdString(e.what());
        return false;
    }
    return true;
}

QSqlDatabase Connections::connection()
{
    // Thread ids are reused after a thread ends; a reused name then simply takes
    // over the earlier thread's connection, which no other thread holds.
    const QString name = m_prefix + QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()));
    if (QSqlDatabase::contains(name))
        return QSqlDatabase::database(name, false);
    return openConnection(name);
}

QSqlDatabase Connections::openConnection(const QString& name)
{
    QSqlDatabase db;
    if (m_engine == Engine::Sqlite) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(m_host);
        db.setPort(m_port);
        db.setDatabaseName(m_databaseName);
        db.setUserName(m_user);
        db.setPassword(m_password);
    }
    {
        std::lock_guard lock(m_namesMutex);
        m_connectionNames << name;
    }
    if (!db.open())
        fail("cannot open database", db.lastError());
    if (m_engine == Engine::Sqlite) {
        QSqlQuery pragma(db);
        pragma.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
        pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
    return db;
}

QSqlQuery Connections::query(const QString& sql, const QVariantList& binds)
{
    NonBlockingScope::refuseWait();
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        fail("prepare failed", q.lastError());
    bindAll(q, binds);
    if (!q.exec())
        fail("query failed", q.lastError());
    return q;
}

Connections::ThreadStatements& Connections::threadStatements()
{
    // Each thread finds its statements through its own table first, so request
    // threads do not queue on one lock; instance numbers are never reused, so a
    // table entry of a destroyed store is never looked up again.
    thread_local QHash<int, ThreadStatements*> mine;
    ThreadStatements*& statements = mine[m_instance];
    if (statements)
        return *statements;
    std::lock_guard lock(m_statementsMutex);
    auto& slot = m_statements[std::this_thread::get_id()];
    if (!slot) {
        slot = std::make_unique<ThreadStatements>();
        if (m_engine == Engine::Sqlite) {
            // QtSql's SQLite driver is linked against the system library, so its
            // handle serves the library's own calls; both share one connection
            // and so one transaction.
            const QVariant handle = connection().driver()->handle();
            sqlite3* native = handle.isValid() ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
            if (!native)
                throw StorageError("no SQLite handle behind the connection");
            slot->native = std::make_unique<SqliteStatements>(native);
            m_checkpointer->watch(native);
        }
    }
    statements = slot.get();
    return *statements;
}

SqliteStatements::Result Connections::run(const QString& sql, const QVariantList& binds, qsizetype maxRows)
{
    // A statement may wait for the disk or for another writer's lock.
    NonBlockingScope::refuseWait();
    // Only this thread touches its own statements.
    ThreadStatements& statements = threadStatements();
    if (statements.native)
        return statements.native->run(sql, binds, maxRows);
    return runQtSql(statements.queries, sql, binds, maxRows);
}

SqliteStatements::Result Connections::runQtSql(QHash<QString, QSqlQuery>& statements, const QString& sql,
                                            const QVariantList& binds, qsizetype maxRows)
{
    auto it = statements.find(sql);
    if (it == statements.end()) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            fail("prepare failed", q.lastError());
        it = statements.insert(sql, q);
    }
    QSqlQuery& q = *it;
    bindAll(q, binds);
    if (!q.exec()) {
        const QSqlError error = q.lastError();
        q.finish();
        fail("query failed", error);
    }
    SqliteStatements::Result result;
    result.changed = q.numRowsAffected();
    while (result.rows.size() < maxRows && q.next()) {
        const int columns = q.record().count();
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << q.value(i);
        result.rows.append(std::move(row));
    }
    q.finish();
    return result;
}

void Connections::command(const QString& sql)
{
    // SQLite prepares these like any statement, and they run once or twice per
    // write; PostgreSQL cannot prepare them.
    if (m_engine == Engine::Sqlite) {
        run(sql, {}, 0);
        return;
    }
    unprepared(sql);
}

void Connections::unprepared(const QString& sql)
{
    NonBlockingScope::refuseWait();
    QSqlQuery q(connection());
    if (!q.exec(sql))
        fail("command failed", q.lastError());
}

void Connections::execute(const QString& sql, const QVariantList& binds)
{
    run(sql, binds, 0);
}

int Connections::update(const QString& sql, const QVariantList& binds)
{
    return run(sql, binds, 0).changed;
}

QVariantList Connections::row(const QString& sql, const QVariantList& binds)
{
    auto rows = run(sql, binds, 1).rows;
    return rows.isEmpty() ? QVariantList() : rows.takeFirst();
}

QStringList Connections::column(const QString& sql, const QVariantList& binds)
{
    const auto rows = run(sql, binds, std::numeric_limits<qsizetype>::max()).rows;
    QStringList values;
    values.reserve(rows.size());
    for (const QVariantList& row : rows)
        values << row.value(0).toString();
    return values;
}

QVariant Connections::scalar(const QString& sql, const QVariantList& binds)
{
    const auto rows = run(sql, binds, 1).rows;
    return rows.isEmpty() ? QVariant() : rows.first().value(0);
}

} // namespace server
