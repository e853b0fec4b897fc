#include "server/storage/StorageError.h"

#include <QString>

namespace server {

StorageError::StorageError(const std::string& message)
    : std::runtime_error(message)
{
}

void StorageError::raise(const char* step, const QString& driverMessage)
{
    const QString detail = driverMessage.isEmpty() ? QStringLiteral("unknown database error") : driverMessage;
    throw StorageError(std::string(step) + ": " + detail.toStdString());
}

} // namespace server
