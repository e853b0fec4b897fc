#include "server/AccountStore.h"

#include "server/Database.h"
#include "server/PasswordDigest.h"
#include "server/RandomCode.h"
#include "server/StorageError.h"

#include <QDateTime>
#include <QtGlobal>

#include <chrono>
#include <thread>
#include <QSqlQuery>

namespace server {

AccountStore::AccountStore(Database& db)
    : m_db(db)
{
}

QJsonObject AccountStore::record(const QString& code, const QString& username, const QString& password)
{
    return QJsonObject{{"code", code}, {"username", username}, {"pwd", password}};
}

AccountStore::RegisterResult AccountStore::registerAccount(const QString& username, const QString& password)
{
    if (username.isEmpty() || password.isEmpty())
        return {Registration::Refused, {}};
    // The digest is slow by design; derive it before queueing for the writer.
    const QString salt = PasswordDigest::newSalt();
    const QString digest = PasswordDigest::make(password, salt);
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

std::optional<QJsonObject> AccountStore::login(const QString& username, const QString& password, const QString& address)
{
    // The wait holds this request's thread only; the pool has room for many.
    if (const double delay = m_throttle.delayFor(username, address); delay > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
    auto account = check(username, password);
    if (account)
        m_throttle.recordSuccess(username);
    else
        m_throttle.recordFailure(username, address);
    return account;
}

std::optional<QString> AccountStore::verifiedCode(const QString& username, const QString& password)
{
    Verified known;
    {
        std::shared_lock lock(m_knownMutex);
        const auto it = m_verifiedAccounts.constFind(username);
        if (it == m_verifiedAccounts.constEnd())
            return std::nullopt;
        known = *it;
    }
    if (!m_verified.matches(username, known.salt, password))
        return std::nullopt;
    return known.code;
}

void AccountStore::rememberVerified(const QString& username, const QString& code, const QString& salt, const QString& password)
{
    m_verified.remember(username, salt, password);
    std::unique_lock lock(m_knownMutex);
    if (m_verifiedAccounts.size() >= kMaxVerified)
        m_verifiedAccounts.clear();
    m_verifiedAccounts.insert(username, Verified{code, salt});
}

std::optional<QJsonObject> AccountStore::check(const QString& username, const QString& password)
{
    if (const auto code = verifiedCode(username, password))
        return record(*code, username, password);
    const QVariantList found = m_db.row(QStringLiteral("SELECT code, salt, digest FROM account WHERE username = ?"), {username});
    if (found.size() != 3) {
        // An unknown name answers no sooner than a wrong password, so timing tells
        // nobody which names exist.
        PasswordDigest::spendCheckTime(password);
        return std::nullopt;
    }
    const QString code = found.at(0).toString();
    const QString salt = found.at(1).toString();
    const QString digest = found.at(2).toString();
    if (!PasswordDigest::matches(password, salt, digest))
        return std::nullopt;
    if (PasswordDigest::needsUpgrade(digest))
        upgradeDigest(code, password);
    else
        rememberVerified(username, code, salt, password);
    return record(code, username, password);
}

// A digest from before the current iteration count is replaced once its password is
// known to be right; a failed upgrade keeps the old, still valid, digest.
void AccountStore::upgradeDigest(const QString& code, const QString& password)
{
    const QString salt = PasswordDigest::newSalt();
    const QString digest = PasswordDigest::make(password, salt);
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
