#pragma once

#include <QString>

#include <string>

namespace server {

// One request as the handlers see it: what was asked, of which path, with which body,
// and from where.
struct HttpRequest {
    enum class Method { Get, Post, Other };

    Method method = Method::Other;
    // The target's path, without its query.
    std::string path;
    std::string body;
    // The client's address, for throttling guesses from one place.
    QString peer;
};

} // namespace server
