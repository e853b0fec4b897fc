#include "server/RequestError.h"

RequestError::RequestError(int status, const std::string& message)
    : std::runtime_error(message)
    , m_status(status)
{
}
