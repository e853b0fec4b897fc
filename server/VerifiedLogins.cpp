#include "server/VerifiedLogins.h"

#include <QRandomGenerator>

#include <mutex>

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace server {

VerifiedLogins::VerifiedLogins()
{
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    m_key = QByteArray(reinterpret_cast<const char*>(words), sizeof(words));
}

QByteArray VerifiedLogins::tag(const QString& username, const QString& salt, const QString& password) const
{
    const QByteArray message = username.toUtf8() + '\0' + salt.toUtf8() + '\0' + password.toUtf8();
    // OpenSSL's one call: Qt's keyed hash allocates and sets up far more per sign-in.
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha256(), m_key.constData(), int(m_key.size()), reinterpret_cast<const unsigned char*>(message.constData()),
         std::size_t(message.size()), digest, &length);
    return QByteArray(reinterpret_cast<const char*>(digest), int(length));
}

bool VerifiedLogins::matches(const QString& username, const QString& salt, const QString& password) const
{
    return remembers(username, tag(username, salt, password));
}

bool VerifiedLogins::remembers(const QString& username, const QByteArray& expected) const
{
    std::shared_lock lock(m_mutex);
    const auto it = m_tags.constFind(username);
    if (it == m_tags.constEnd() || it->size() != expected.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < expected.size(); ++i)
        difference |= static_cast<unsigned char>(expected[i] ^ it->at(i));
    return difference == 0;
}

void VerifiedLogins::remember(const QString& username, const QString& salt, const QString& password)
{
    const QByteArray value = tag(username, salt, password);
    std::unique_lock lock(m_mutex);
    // A bound on memory; forgetting only costs the next sign-in a full check.
    if (m_tags.size() >= kMaxEntries)
        m_tags.clear();
    m_tags.insert(username, value);
}

} // namespace server
