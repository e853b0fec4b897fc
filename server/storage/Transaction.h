#pragma once

#include <mutex>

namespace server {

class Connections;

// A write transaction that rolls back unless commit() is reached. On SQLite it
// holds the store's writer lock and begins IMMEDIATE, so concurrent writers wait
// their turn instead of failing part-way.
class Transaction {
public:
    explicit Transaction(Connections& db);
    ~Transaction();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connections& m_db;
    std::unique_lock<std::mutex> m_writerLock;
    bool m_open = false;
};

} // namespace server
