#pragma once

#include <QString>

namespace server {

// Salted PBKDF2-SHA256 digests of account passwords; the clear password is never
// stored. A stored digest carries its iteration count ("100000$<hex>"), so raising the
// count later leaves older digests verifiable; a bare hex digest is from before counts
// were stored and used kLegacyIterations.
class PasswordDigest {
public:
    static constexpr int kIterations = 100000;
    static constexpr int kLegacyIterations = 4096;

    static QString newSalt();
    // The stored form of a new digest at the current count.
    static QString make(const QString& password, const QString& salt);
    // Compares in time independent of where the digests differ.
    static bool matches(const QString& password, const QString& salt, const QString& stored);
    // True when the stored digest used fewer iterations than new ones get.
    static bool needsUpgrade(const QString& stored);
    // Costs what checking a real digest costs, for names that have none.
    static void spendCheckTime(const QString& password);

    static int iterations(const QString& stored);
    // Throws std::runtime_error when the library fails (out of memory).
    static QString derive(const QString& password, const QString& salt, int iterations);

private:
    static constexpr int kKeyBytes = 32;
};

} // namespace server
