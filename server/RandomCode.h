#pragma once

class QString;

namespace server {

// Unguessable codes for users, book entries, records and feedback.
class RandomCode {
public:
    // 128 bits from the system's cryptographic source, as 32 hex digits.
    static QString make();
};

} // namespace server
