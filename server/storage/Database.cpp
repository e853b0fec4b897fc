#include "server/storage/Database.h"

#include "server/http/NonBlockingScope.h"
#include "server/storage/WriteQueue.h"

namespace server {

std::unique_ptr<Database> Database::open(const QString& address, QString* error)
{
    std::unique_ptr<Database> db(new Database);
    if (!db->connect(address, error))
        return nullptr;
    db->m_writes = std::make_unique<WriteQueue>(*db);
    return db;
}

Database::Database() = default;

Database::~Database()
{
    // The writer commits what is still queued while the connections are open.
    m_writes.reset();
}

void Database::write(const std::function<void()>& work)
{
    m_writes->run(work);
}

void Database::writeBeforeReply(std::function<void()> work)
{
    if (!NonBlockingScope::active()) {
        m_writes->run(work);
        return;
    }
    NonBlockingScope::defer({[this, work = std::move(work)](NonBlockingScope::Committed committed) {
                                 m_writes->runThen(work, std::move(committed));
                             },
                             true});
}

void Database::writeLater(std::function<void()> work)
{
    if (!NonBlockingScope::active()) {
        m_writes->post(std::move(work));
        return;
    }
    NonBlockingScope::defer({[this, work = std::move(work)](const NonBlockingScope::Committed&) { m_writes->post(work); }, false});
}

void Database::awaitQueuedWrites()
{
    m_writes->awaitQueued();
}

} // namespace server
