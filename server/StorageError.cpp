#include "server/StorageError.h"

StorageError::StorageError(const std::string& message)
    : std::runtime_error(message)
{
}
