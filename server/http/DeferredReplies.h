#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace boost::asio {
class io_context;
}

namespace server {

// Replies held back until a write has committed, handed to the network threads a
// batch at a time: the writer ends a batch of writes at once, and waking a network
// thread for each reply cost it as much as the commit itself. Each reply holds its
// session, and with it a socket of the network loop, so the server drops those still
// here before it destroys that loop.
class DeferredReplies {
public:
    using Send = std::function<void()>;

    // A reply starts waiting for its write.
    void add();
    // Its write could not be queued: it waits no more.
    void withdraw();
    // Its write has ended: `send` runs on a network thread of `network` together
    // with the other replies ready by then.
    void deliver(boost::asio::io_context& network, Send send);
    // Once the network threads have ended: returns when no reply waits for a write
    // any more, and drops those that were never sent.
    void dropAll();
    // Whether any reply waits for its write.
    bool waiting() const { return m_waiting.load(std::memory_order_relaxed) > 0; }

private:
    void sendReady();

    std::mutex m_mutex;
    std::vector<Send> m_ready;
    bool m_sendPosted = false;
    std::atomic<long> m_waiting{0};
};

} // namespace server
