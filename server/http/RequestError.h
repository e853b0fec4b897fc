#pragma once

#include <stdexcept>
#include <string>

namespace server {

// The request cannot be served as sent (a missing or malformed field, an unknown
// user); carries the HTTP status that the reply gets. Thrown before anything is
// written, so a refused request changes nothing.
class RequestError : public std::runtime_error {
public:
    RequestError(int status, const std::string& message);

    int status() const { return m_status; }

private:
    int m_status;
};

} // namespace server
