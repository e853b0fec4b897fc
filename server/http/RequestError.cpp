#include "server/http/RequestError.h"

namespace server {

RequestError::RequestError(int status, const std::string& message)
    : std::runtime_error(message)
    , m_status(status)
{
}

} // namespace server
