#include "server/signin/PasswordDigest.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <stdexcept>

namespace server {

namespace {

QString hexPart(const QString& stored)
{
    const qsizetype dollar = stored.indexOf(QLatin1Char('$'));
    return dollar < 0 ? stored : stored.mid(dollar + 1);
}

} // namespace

QString PasswordDigest::newSalt()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(words), sizeof(words)).toHex());
}

QString PasswordDigest::derive(const QString& password, const QString& salt, int iterations)
{
    // The same PBKDF2-HMAC-SHA256 over the UTF-8 password and the salt's bytes as
    // every stored digest was made with, several times faster than Qt's.
    const QByteArray secret = password.toUtf8();
    const QByteArray saltBytes = QByteArray::fromHex(salt.toLatin1());
    QByteArray key(kKeyBytes, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()), reinterpret_cast<const unsigned char*>(saltBytes.constData()),
                          int(saltBytes.size()), iterations, EVP_sha256(), kKeyBytes, reinterpret_cast<unsigned char*>(key.data()))
        != 1)
        throw std::runtime_error("password derivation failed");
    return QString::fromLatin1(key.toHex());
}

QString PasswordDigest::make(const QString& password, const QString& salt)
{
    return QStringLiteral("%1$%2").arg(kIterations).arg(derive(password, salt, kIterations));
}

int PasswordDigest::iterations(const QString& stored)
{
    const qsizetype dollar = stored.indexOf(QLatin1Char('$'));
    if (dollar < 0)
        return kLegacyIterations;
    bool ok = false;
    const int count = stored.left(dollar).toInt(&ok);
    // A damaged count must not turn into a cheap (or endless) derivation.
    return ok && count >= kLegacyIterations && count <= 10 * kIterations ? count : -1;
}

bool PasswordDigest::matches(const QString& password, const QString& salt, const QString& stored)
{
    const int count = iterations(stored);
    if (count < 0) {
        spendCheckTime(password);
        return false;
    }
    const QByteArray computed = derive(password, salt, count).toLatin1();
    const QByteArray expected = hexPart(stored).toLatin1();
    const bool equal = computed.size() == expected.size() && CRYPTO_memcmp(computed.constData(), expected.constData(), size_t(computed.size())) == 0;
    // A wrong password for an older, cheaper digest costs what any other wrong one
    // does, so timing tells nobody which accounts still have one. A right one pays
    // for its new digest instead.
    if (!equal && count < kIterations)
        derive(password, salt, kIterations - count);
    return equal;
}

bool PasswordDigest::needsUpgrade(const QString& stored)
{
    return iterations(stored) < kIterations;
}

void PasswordDigest::spendCheckTime(const QString& password)
{
    static const QString salt = newSalt();
    derive(password, salt, kIterations);
}

} // namespace server
