#include "server/storage/Checkpointer.h"

#include <QtGlobal>

#include <sqlite3.h>

#include <pthread.h>
#include <sched.h>

namespace server {

Checkpointer::Checkpointer(const QString& file)
    : m_file(file.toUtf8())
{
    m_thread = std::thread([this] { loop(); });
}

Checkpointer::~Checkpointer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_due.notify_one();
    m_thread.join();
    sqlite3_close(m_handle);
}

void Checkpointer::watch(sqlite3* connection)
{
    sqlite3_wal_hook(connection, &Checkpointer::committed, this);
}

int Checkpointer::committed(void* self, sqlite3*, const char*, int logPages)
{
    if (logPages < kLogPages)
        return SQLITE_OK;
    auto* checkpointer = static_cast<Checkpointer*>(self);
    {
        std::lock_guard lock(checkpointer->m_mutex);
        if (checkpointer->m_requested)
            return SQLITE_OK;
        checkpointer->m_requested = true;
    }
    checkpointer->m_due.notify_one();
    return SQLITE_OK;
}

void Checkpointer::loop()
{
    // Fifteen characters at most, or the name is refused.
    pthread_setname_np(pthread_self(), "qbank-checkpt");
    // Copying the log back is never urgent: it runs in the processors' spare time (the
    // scheduler still gives it a small share when there is none), so that requests
    // never wait behind it.
    const sched_param none{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &none);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_due.wait(lock, [this] { return m_requested || m_stopping; });
        if (m_stopping)
            return;
        m_requested = false;
        lock.unlock();
        checkpoint();
        lock.lock();
    }
}

void Checkpointer::checkpoint()
{
    if (!m_handle) {
        if (sqlite3_open_v2(m_file.constData(), &m_handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            qWarning("qbank-server: cannot open the store for checkpoints: %s", sqlite3_errmsg(m_handle));
            sqlite3_close(m_handle);
            m_handle = nullptr;
            return;
        }
        sqlite3_busy_timeout(m_handle, 10000);
        // A connection finds the log only once it has read the file; until then
        // a checkpoint on it does nothing.
        sqlite3_exec(m_handle, "PRAGMA schema_version", nullptr, nullptr, nullptr);
    }
    // PASSIVE: copies what no reader still needs and never holds up the writer.
    const int rc = sqlite3_wal_checkpoint_v2(m_handle, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    if (rc != SQLITE_OK && rc != SQLITE_BUSY)
        qWarning("qbank-server: checkpoint failed: %s", sqlite3_errmsg(m_handle));
}

} // namespace server
