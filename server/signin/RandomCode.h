#pragma once

class QString;

namespace server {

// Unguessable codes for users, book entries, records and feedback.
class RandomCode {
public:
    // 128 bits from the system's cryptographic source, as 32 hex digits.
    static QString make();
    // `stamp` as 16 hex digits, then make(): codes made later sort later.
    static QString afterStamp(long long stamp);
};

} // namespace server
