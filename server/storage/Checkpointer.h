#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

struct sqlite3;

namespace server {

// Copies an SQLite file's write-ahead log back into the file, on a thread and a
// connection of its own. SQLite would otherwise do it inside the commit that
// fills the log, on the writer that every request waits for, and a checkpoint
// waits for the disk twice (it syncs the log, then the file).
class Checkpointer {
public:
    explicit Checkpointer(const QString& file);
    ~Checkpointer();

    Checkpointer(const Checkpointer&) = delete;
    Checkpointer& operator=(const Checkpointer&) = delete;

    // Takes over checkpoints after the connection's commits; the connection must
    // close before this is destroyed.
    void watch(sqlite3* connection);

private:
    // SQLite's own threshold for its automatic checkpoint.
    static constexpr int kLogPages = 1000;

    static int committed(void* self, sqlite3* connection, const char* database, int logPages);
    void loop();
    void checkpoint();

    const QByteArray m_file;
    sqlite3* m_handle = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_due;
    bool m_requested = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace server
