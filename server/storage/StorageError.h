#pragma once

#include <stdexcept>
#include <string>

class QString;

namespace server {

// A database operation failed; caught once per request and turned into a 500 reply.
class StorageError : public std::runtime_error {
public:
    explicit StorageError(const std::string& message);

    // The one place a driver's report of a failed step becomes an error: "step:
    // what the driver said".
    [[noreturn]] static void raise(const char* step, const QString& driverMessage);
};

} // namespace server
