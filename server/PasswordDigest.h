#pragma once

#include <QString>

// Salted PBKDF2-SHA256 digests of account passwords; the clear password is never
// stored.
class PasswordDigest {
public:
    static constexpr int kIterations = 4096;

    static QString newSalt();
    static QString derive(const QString& password, const QString& salt);
    // Compares in time independent of where the digests differ.
    static bool matches(const QString& password, const QString& salt, const QString& digest);
};
