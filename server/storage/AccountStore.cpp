#include "server/storage/AccountStore.h"

#include "server/storage/Database.h"
#include "server/storage/FlatJson.h"
#include "server/http/NonBlockingScope.h"
#include "server/signin/PasswordDigest.h"
#include "server/signin/RandomCode.h"
#include "server/storage/StorageError.h"

#include <QDateTime>
#include <QtGlobal>

namespace server {

AccountStore::AccountStore(Database& db, const ThrottleClock& throttleClock)
    : m_db(db)
    , m_throttle(throttleClock)
    , m_registrations(throttleClock)
{
}

QByteArray AccountStore::record(const QString& code, const QString& username, const QString& password)
{
    return FlatJson::object({{"code", code}, {"pwd", password}, {"username", username}});
}

AccountStore::RegisterResult AccountStore::registerAccount(const QString& username, const QString& password, const QString& address)
{
    if (username.isEmpty() || password.isEmpty())
        return {Registration::Refused, {}};
    // Always a derivation: on a network thread, go to a worker before taking one of
    // the address's registrations.
    NonBlockingScope::refuseWait();
    if (m_registrations.admit(address) > 0)
        return {Registration::Throttled, {}};
    // The digest is slow by design; derive it before queueing for the writer.
    const QString salt = PasswordDigest::newSalt();
    QString digest;
    if (!m_derivations.run([&] { digest = PasswordDigest::make(password, salt); }))
        return {Registration::Busy, {}};
    const QString code = RandomCode::make();
    bool taken = false;
    try {
        m_db.write([&] {
            taken = m_db.scalar(QStringLiteral("SELECT 1 FROM account WHERE username = ?"), {username}).isValid();
            if (taken)
                return;
            m_db.execute(QStringLiteral("INSERT INTO account (code, username, salt, digest, created) VALUES (?, ?, ?, ?, ?)"),
                         {code, username, salt, digest, QDateTime::currentMSecsSinceEpoch()});
        });
    } catch (const StorageError&) {
        // Another server process on the same store may have taken the name between
        // the check and the insert; any other failure stays a failure.
        if (m_db.scalar(QStringLiteral("SELECT 1 FROM account WHERE username = ?"), {username}).isValid())
            return {Registration::NameTaken, {}};
        throw;
    }
    if (taken)
        return {Registration::NameTaken, {}};
    return {Registration::Created, record(code, username, password)};
}

AccountStore::LoginResult AccountStore::login(const QString& username, const QString& password, const QString& address)
{
    // A remembered password costs one keyed hash, made here; only its comparison
    // runs under the throttle's lock, so that remembered sign-ins of one name in
    // parallel do not queue behind each other's hashing.
    const std::optional<Verified> known = verifiedAccount(username);
    const QByteArray tag = known ? m_verified.tag(username, known->salt, password) : QByteArray();
    const auto admission = m_throttle.begin(username, address, [&] { return known && m_verified.remembers(username, tag); });
    if (admission.verdict == LoginThrottle::Verdict::Refused)
        return {SignIn::Throttled, {}};
    if (admission.verdict == LoginThrottle::Verdict::Passed)
        return {SignIn::Accepted, record(known->code, username, password)};
    LoginResult result;
    bool nameExists = true;
    try {
        result = check(username, password, nameExists);
    } catch (...) {
        m_throttle.end(username, address, admission.source, LoginThrottle::Outcome::Unchecked);
        throw;
    }
    const auto outcome = result.outcome == SignIn::Accepted ? LoginThrottle::Outcome::Right
                         : result.outcome != SignIn::Wrong  ? LoginThrottle::Outcome::Unchecked
                         : nameExists                       ? LoginThrottle::Outcome::Wrong
                                                            : LoginThrottle::Outcome::NoSuchAccount;
    m_throttle.end(username, address, admission.source, outcome);
    return result;
}

std::optional<AccountStore::Verified> AccountStore::verifiedAccount(const QString& username)
{
    std::shared_lock lock(m_knownMutex);
    const auto it = m_verifiedAccounts.constFind(username);
    if (it == m_verifiedAccounts.constEnd())
        return std::nullopt;
    return *it;
}

void AccountStore::rememberVerified(const QString& username, const QString& code, const QString& salt, const QString& password)
{
    m_verified.remember(username, salt, password);
    std::unique_lock lock(m_knownMutex);
    if (m_verifiedAccounts.size() >= kMaxVerified)
        m_verifiedAccounts.clear();
    m_verifiedAccounts.insert(username, Verified{code, salt});
}

AccountStore::LoginResult AccountStore::check(const QString& username, const QString& password, bool& nameExists)
{
    const QVariantList found = m_db.row(QStringLiteral("SELECT code, salt, digest FROM account WHERE username = ?"), {username});
    const bool exists = found.size() == 3;
    nameExists = exists;
    const QString code = exists ? found.at(0).toString() : QString();
    const QString salt = exists ? found.at(1).toString() : QString();
    const QString digest = exists ? found.at(2).toString() : QString();
    bool right = false;
    QString newSalt;
    QString newDigest;
    const bool ran = m_derivations.run([&] {
        if (!exists) {
            // An unknown name answers no sooner than a wrong password, so timing
            // tells nobody which names exist.
            PasswordDigest::spendCheckTime(password);
            return;
        }
        right = PasswordDigest::matches(password, salt, digest);
        if (right && PasswordDigest::needsUpgrade(digest)) {
            newSalt = PasswordDigest::newSalt();
            newDigest = PasswordDigest::make(password, newSalt);
        }
    });
    if (!ran)
        return {SignIn::Busy, {}};
    if (!right)
        return {SignIn::Wrong, {}};
    if (!newDigest.isEmpty())
        upgradeDigest(code, newSalt, newDigest);
    else
        rememberVerified(username, code, salt, password);
    return {SignIn::Accepted, record(code, username, password)};
}

// A digest from before the current iteration count is replaced once its password is
// known to be right; a failed upgrade keeps the old, still valid, digest.
void AccountStore::upgradeDigest(const QString& code, const QString& salt, const QString& digest)
{
    try {
        m_db.write([&] {
            m_db.execute(QStringLiteral("UPDATE account SET salt = ?, digest = ? WHERE code = ?"), {salt, digest, code});
        });
    } catch (const StorageError& e) {
        qWarning("qbank-server: digest upgrade failed: %s", e.what());
    }
}

bool AccountStore::exists(const QString& userCode)
{
    {
        std::shared_lock lock(m_knownMutex);
        if (m_known.contains(userCode))
            return true;
    }
    if (!m_db.scalar(QStringLiteral("SELECT 1 FROM account WHERE code = ?"), {userCode}).isValid())
        return false;
    std::unique_lock lock(m_knownMutex);
    m_known.insert(userCode);
    return true;
}

} // namespace server
