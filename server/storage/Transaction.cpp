#include "server/storage/Transaction.h"

#include "server/storage/Connections.h"

#include <QString>

namespace server {

Transaction::Transaction(Connections& db)
    : m_db(db)
{
    const bool sqlite = db.engine() == Connections::Engine::Sqlite;
    if (sqlite)
        m_writerLock = std::unique_lock(db.m_writeMutex);
    m_db.command(sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    m_open = true;
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        m_db.command(QStringLiteral("ROLLBACK"));
    } catch (...) {
        // A destructor must not throw; the connection drops the transaction anyway.
    }
}

void Transaction::commit()
{
    m_db.command(QStringLiteral("COMMIT"));
    m_open = false;
}

} // namespace server
