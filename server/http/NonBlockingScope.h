#pragma once

#include <exception>
#include <functional>
#include <optional>

namespace server {

// Marks a handler run on a network thread, which must never wait: whatever would
// wait calls refuseWait() first and the request goes to a worker instead. A write the
// handler makes is not started at once but kept here and started by the HTTP layer
// once the handler has answered, so a handler that turns out to need a worker has
// written nothing, and its run there is the only one that counts.
class NonBlockingScope {
public:
    // Called on the writer's thread once the write has ended; null error: committed.
    using Committed = std::function<void(std::exception_ptr error)>;
    struct Write {
        // Queues the write; may itself throw WouldBlock (the queue is full).
        // `committed` is called once it has ended, and is empty when no reply waits.
        std::function<void(Committed committed)> start;
        // The reply is sent only once the write has committed.
        bool replyWaits = false;
    };

    NonBlockingScope();
    ~NonBlockingScope();

    NonBlockingScope(const NonBlockingScope&) = delete;
    NonBlockingScope& operator=(const NonBlockingScope&) = delete;

    // Whether the calling thread is inside a scope.
    static bool active();
    // Inside a scope, throws WouldBlock; elsewhere does nothing.
    static void refuseWait();
    // Inside a scope only: keeps the handler's write for the HTTP layer to start. A
    // handler makes at most one this way; a second one sends the request to a worker.
    static void defer(Write write);

    // The write the handler deferred, if any.
    std::optional<Write> takeWrite();

private:
    std::optional<Write> m_write;
    NonBlockingScope* m_outer;
};

} // namespace server
