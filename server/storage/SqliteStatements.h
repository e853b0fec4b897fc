#pragma once

#include <QHash>
#include <QString>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

namespace server {

// One thread's prepared statements on its own SQLite connection, run through
// the SQLite library directly: binding through QtSql costs several times what
// SQLite itself spends on a short statement, and the writer runs these one
// after another for everybody.
class SqliteStatements {
public:
    struct Result {
        QList<QVariantList> rows;
        int changed = 0;
    };

    // handle: the connection QtSql opened for this thread; it must outlive this.
    explicit SqliteStatements(sqlite3* handle);
    ~SqliteStatements();

    SqliteStatements(const SqliteStatements&) = delete;
    SqliteStatements& operator=(const SqliteStatements&) = delete;

    // Runs the statement, keeps at most maxRows rows, and resets it before
    // returning so that it holds no read snapshot; throws StorageError.
    Result run(const QString& sql, const QVariantList& binds, qsizetype maxRows);

private:
    sqlite3_stmt* statement(const QString& sql);
    void bind(sqlite3_stmt* stmt, const QVariantList& binds, QList<QByteArray>& texts);
    static QVariant value(sqlite3_stmt* stmt, int column);
    [[noreturn]] void fail(const char* what);

    sqlite3* m_handle;
    QHash<QString, sqlite3_stmt*> m_statements;
};

} // namespace server
