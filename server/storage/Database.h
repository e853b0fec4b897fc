#pragma once

#include "server/storage/Connections.h"

#include <QString>

#include <functional>
#include <memory>

namespace server {

class WriteQueue;

// The server's store: its connections (reads, and the statements inside a write)
// and the queue that commits its writes. The layers point one way: this owns
// both, the queue runs its transactions on the connections, and the connections
// know neither.
class Database : public Connections {
public:
    // See Connections::connect; returns null and fills error when the store
    // cannot be opened.
    static std::unique_ptr<Database> open(const QString& address, QString* error);
    ~Database() override;

    // Runs a write, committed together with the writes queued beside it, and
    // returns once it is committed (see WriteQueue); rethrows what the write
    // threw, its changes undone. `work` may run again after a rolled-back run
    // (when another write in its batch failed), so it must not count on running once.
    void write(const std::function<void()>& work);
    // Like write(), except that a handler on a network thread does not wait: the
    // write is queued once the handler has answered, and the reply is held back until
    // it has committed (or replaced by the failure). So `work` must own what it
    // captures, and nothing after the call may count on its having run.
    void writeBeforeReply(std::function<void()> work);
    // Queues a write that no reply waits for; a failure is only logged. A handler
    // on a network thread queues it once it has answered.
    void writeLater(std::function<void()> work);
    // Returns once every write queued before the call has ended.
    void awaitQueuedWrites();

private:
    Database();

    std::unique_ptr<WriteQueue> m_writes;
};

} // namespace server
