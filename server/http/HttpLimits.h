#pragma once

#include <chrono>
#include <cstddef>

namespace server {

// What one client may ask of the HTTP layer. Each bound is checked as the bytes
// arrive, so a hostile client is refused before it costs more than the bound;
// docs/server.md says why each value is what it is.
struct HttpLimits {
    using Duration = std::chrono::steady_clock::duration;

    // A request line and header fields over this are refused with 431.
    std::size_t maxHeadBytes = 16 * 1024;
    std::size_t maxHeaderFields = 100;
    // A body over this is refused with 413, whether sent with a length or in chunks.
    std::size_t maxBodyBytes = 1024 * 1024;
    // All bodies being received at once hold at most this, server-wide; a body that
    // would take more is refused with 503. A body up to smallBodyBytes is held outside
    // the budget: the client's own requests carry a few hundred bytes, so a crowd of
    // large bodies never turns them away.
    std::size_t bodyBudgetBytes = 64 * 1024 * 1024;
    std::size_t smallBodyBytes = 16 * 1024;
    // Whole-request bounds, not per read: trickling a byte at a time gains nothing.
    Duration headDeadline = std::chrono::seconds(10);
    Duration bodyDeadline = std::chrono::seconds(30);
    // A kept-alive (or new) connection with no request started is closed after this.
    Duration idleTimeout = std::chrono::seconds(5);
    // A reply the client does not read within this is abandoned with its connection.
    Duration replyDeadline = std::chrono::seconds(30);
    // Connections beyond these are closed as soon as they are accepted.
    std::size_t maxConnectionsPerAddress = 64;
    std::size_t maxConnections = 10000;
    // Threads that run the sockets; they never wait for the database. Four kept the
    // 64-connection load benchmark from waiting on them (two did not).
    std::size_t networkThreads = 4;
    // Threads that run the handlers. Well above the password side's 16 derivations
    // in flight, so that sign-ins never take every worker.
    std::size_t handlerThreads = 32;
};

} // namespace server
