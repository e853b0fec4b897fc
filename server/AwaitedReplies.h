#pragma once

#include <atomic>

namespace server {

// Replies held back until a write has committed. Each holds its session, and with it
// a socket of the network loop, so the server waits for them all before it destroys
// that loop.
class AwaitedReplies {
public:
    void add();
    // The reply has been handed to its session's loop and nothing else holds the session.
    void done();
    // Returns once every reply added has been done.
    void awaitNone();

private:
    std::atomic<long> m_count{0};
};

} // namespace server
