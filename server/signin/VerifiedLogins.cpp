#include "server/signin/VerifiedLogins.h"

#include <QRandomGenerator>
#include <QtGlobal>

#include <mutex>

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace server {

void VerifiedLogins::MacFree::operator()(evp_mac_ctx_st* mac) const
{
    EVP_MAC_CTX_free(mac);
}

VerifiedLogins::VerifiedLogins()
{
    quint32 key[8];
    QRandomGenerator::system()->fillRange(key);
    EVP_MAC* hmac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    m_keyed.reset(EVP_MAC_CTX_new(hmac));
    EVP_MAC_free(hmac);
    char digest[] = "SHA256";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0), OSSL_PARAM_construct_end()};
    if (!m_keyed || !EVP_MAC_init(m_keyed.get(), reinterpret_cast<const unsigned char*>(key), sizeof(key), params))
        qFatal("qbank-server: OpenSSL offers no HMAC-SHA256");
}

VerifiedLogins::~VerifiedLogins() = default;

QByteArray VerifiedLogins::tag(const QString& username, const QString& salt, const QString& password) const
{
    const QByteArray message = username.toUtf8() + '\0' + salt.toUtf8() + '\0' + password.toUtf8();
    const std::unique_ptr<EVP_MAC_CTX, MacFree> mac(EVP_MAC_CTX_dup(m_keyed.get()));
    unsigned char digest[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    if (!mac || !EVP_MAC_update(mac.get(), reinterpret_cast<const unsigned char*>(message.constData()), std::size_t(message.size()))
        || !EVP_MAC_final(mac.get(), digest, &length, sizeof(digest)))
        return {};
    return QByteArray(reinterpret_cast<const char*>(digest), qsizetype(length));
}

bool VerifiedLogins::matches(const QString& username, const QString& salt, const QString& password) const
{
    return remembers(username, tag(username, salt, password));
}

bool VerifiedLogins::remembers(const QString& username, const QByteArray& expected) const
{
    // No tag (the hash failed) matches nothing, not even another missing one.
    if (expected.isEmpty())
        return false;
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
    if (value.isEmpty())
        return;
    std::unique_lock lock(m_mutex);
    // A bound on memory; forgetting only costs the next sign-in a full check.
    if (m_tags.size() >= kMaxEntries)
        m_tags.clear();
    m_tags.insert(username, value);
}

} // namespace server
