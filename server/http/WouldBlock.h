#pragma once

namespace server {

// Thrown where a handler tried on a network thread would have to wait (a statement,
// a password derivation, a full write queue), before it has changed anything: the
// request is run again on a worker, where waiting is allowed. Not a std::exception,
// so that no handler's catch-all takes it for a failure.
struct WouldBlock {};

} // namespace server
