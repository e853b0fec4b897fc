#pragma once

#include "server/signin/DerivationPool.h"
#include "server/signin/LoginThrottle.h"
#include "server/signin/RegistrationThrottle.h"
#include "server/signin/VerifiedLogins.h"

#include <QHash>
#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>
#include <shared_mutex>

namespace server {

class Database;

// Accounts: registration, sign-in and the existence test that every per-user
// request makes before it reads or writes. Derivations run on a pool of their own
// (DerivationPool); the calls here wait for them, and answer Busy at once when the
// pool is full.
class AccountStore {
public:
    enum class Registration { Created, NameTaken, Refused, Throttled, Busy };
    struct RegisterResult {
        Registration outcome;
        // The account as JSON.
        QByteArray account;
    };
    enum class SignIn { Accepted, Wrong, Throttled, Busy };
    struct LoginResult {
        SignIn outcome;
        QByteArray account;
    };

    // `throttleClock`: what the throttles read as now (tests step their own).
    explicit AccountStore(Database& db, const ThrottleClock& throttleClock = {});

    // The account record the client keeps: code, username and the password as the
    // client sent it (the store itself keeps only a salted digest). `address` is the
    // peer's: registrations and guesses are bounded per address.
    RegisterResult registerAccount(const QString& username, const QString& password, const QString& address = QString());
    LoginResult login(const QString& username, const QString& password, const QString& address = QString());
    bool exists(const QString& userCode);

private:
    struct Verified {
        QString code;
        QString salt;
    };

    static QByteArray record(const QString& code, const QString& username, const QString& password);
    // The full check, the attempt holding its turn.
    // `nameExists` tells the throttle whether a wrong password put an account at risk.
    LoginResult check(const QString& username, const QString& password, bool& nameExists);
    // Code and salt when a password for this name passed the full check before: a
    // repeated sign-in with it then needs neither the derivation nor the store.
    std::optional<Verified> verifiedAccount(const QString& username);
    void rememberVerified(const QString& username, const QString& code, const QString& salt, const QString& password);
    void upgradeDigest(const QString& code, const QString& salt, const QString& digest);

    Database& m_db;
    VerifiedLogins m_verified;
    LoginThrottle m_throttle;
    RegistrationThrottle m_registrations;
    DerivationPool m_derivations;
    // Accounts are never removed, so a code once found stays valid.
    std::shared_mutex m_knownMutex;
    QSet<QString> m_known;
    // Code and salt of the names in m_verified, so that their repeated sign-ins
    // read nothing. No request changes a password; one changed in the store
    // behind the server's back counts for a remembered name from the next start.
    static constexpr qsizetype kMaxVerified = 100000;
    QHash<QString, Verified> m_verifiedAccounts;
};

} // namespace server
