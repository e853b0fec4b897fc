#pragma once

#include "server/LoginThrottle.h"
#include "server/VerifiedLogins.h"

#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QString>

#include <optional>
#include <shared_mutex>

namespace server {

class Database;

// Accounts: registration, sign-in and the existence test that every per-user
// request makes before it reads or writes.
class AccountStore {
public:
    enum class Registration { Created, NameTaken, Refused };
    struct RegisterResult {
        Registration outcome;
        QJsonObject account;
    };

    explicit AccountStore(Database& db);

    // The account record the client keeps: code, username and the password as the
    // client sent it (the store itself keeps only a salted digest).
    RegisterResult registerAccount(const QString& username, const QString& password);
    // `address` is the peer's, for slowing guesses from one place.
    std::optional<QJsonObject> login(const QString& username, const QString& password, const QString& address = QString());
    bool exists(const QString& userCode);

private:
    static QJsonObject record(const QString& code, const QString& username, const QString& password);
    std::optional<QJsonObject> check(const QString& username, const QString& password);
    // The account's code when this password passed the full check before: a
    // repeated sign-in then needs neither the derivation nor the store.
    std::optional<QString> verifiedCode(const QString& username, const QString& password);
    void rememberVerified(const QString& username, const QString& code, const QString& salt, const QString& password);
    void upgradeDigest(const QString& code, const QString& password);

    Database& m_db;
    VerifiedLogins m_verified;
    LoginThrottle m_throttle;
    // Accounts are never removed, so a code once found stays valid.
    std::shared_mutex m_knownMutex;
    QSet<QString> m_known;
    // Code and salt of the names in m_verified, so that their repeated sign-ins
    // read nothing. No request changes a password; one changed in the store
    // behind the server's back counts for a remembered name from the next start.
    static constexpr qsizetype kMaxVerified = 100000;
    struct Verified {
        QString code;
        QString salt;
    };
    QHash<QString, Verified> m_verifiedAccounts;
};

} // namespace server
