#include "server/storage/SqliteStatements.h"

#include "server/storage/BoundValue.h"
#include "server/storage/StorageError.h"

#include <QString>

#include <sqlite3.h>

#include <string>

namespace server {

SqliteStatements::SqliteStatements(sqlite3* handle)
    : m_handle(handle)
{
}

SqliteStatements::~SqliteStatements()
{
    for (sqlite3_stmt* stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
}

void SqliteStatements::fail(const char* what)
{
    StorageError::raise(what, QString::fromUtf8(sqlite3_errmsg(m_handle)));
}

sqlite3_stmt* SqliteStatements::statement(const QString& sql)
{
    const auto it = m_statements.constFind(sql);
    if (it != m_statements.constEnd())
        return *it;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(m_handle, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK)
        fail("prepare failed");
    m_statements.insert(sql, stmt);
    return stmt;
}

void SqliteStatements::bind(sqlite3_stmt* stmt, const QVariantList& binds, QList<QByteArray>& texts)
{
    texts.reserve(binds.size());
    for (int i = 0; i < binds.size(); ++i) {
        const QVariant& value = binds.at(i);
        const int slot = i + 1;
        int rc = SQLITE_OK;
        switch (BoundValue::kindOf(value)) {
        case BoundValue::Kind::Null:
            rc = sqlite3_bind_null(stmt, slot);
            break;
        case BoundValue::Kind::Integer:
            rc = sqlite3_bind_int64(stmt, slot, value.toLongLong());
            break;
        case BoundValue::Kind::Real:
            rc = sqlite3_bind_double(stmt, slot, value.toDouble());
            break;
        case BoundValue::Kind::Blob:
            texts.append(value.toByteArray());
            rc = sqlite3_bind_blob(stmt, slot, texts.last().constData(), int(texts.last().size()), SQLITE_STATIC);
            break;
        case BoundValue::Kind::Text:
            // A null QString's bytes are empty, not null: it binds as ''.
            texts.append(value.toString().toUtf8());
            rc = sqlite3_bind_text(stmt, slot, texts.last().constData(), int(texts.last().size()), SQLITE_STATIC);
            break;
        }
        if (rc != SQLITE_OK)
            fail("bind failed");
    }
}

QVariant SqliteStatements::value(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)), sqlite3_column_bytes(stmt, column));
    case SQLITE_NULL:
        // Valid but null, as QtSql reports it: a row with a NULL is still a row.
        return QVariant(QMetaType::fromType<QString>());
    default:
        break;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

SqliteStatements::Result SqliteStatements::run(const QString& sql, const QVariantList& binds, qsizetype maxRows)
{
    sqlite3_stmt* stmt = statement(sql);
    // The texts bound without copying live until the statement is reset.
    QList<QByteArray> texts;
    Result result;
    try {
        bind(stmt, binds, texts);
        for (;;) {
            const int rc = sqlite3_step(stmt);
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW)
                fail("query failed");
            if (result.rows.size() >= maxRows)
                break;
            const int columns = sqlite3_column_count(stmt);
            QVariantList row;
            row.reserve(columns);
            for (int c = 0; c < columns; ++c)
                row.append(value(stmt, c));
            result.rows.append(std::move(row));
            if (result.rows.size() >= maxRows)
                break;
        }
    } catch (...) {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        throw;
    }
    result.changed = sqlite3_changes(m_handle);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return result;
}

} // namespace server
