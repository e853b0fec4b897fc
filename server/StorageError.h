#pragma once

#include <stdexcept>
#include <string>

// A database operation failed; caught once per request and turned into a 500 reply.
class StorageError : public std::runtime_error {
public:
    explicit StorageError(const std::string& message);
};
