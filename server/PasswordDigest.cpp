#include "server/PasswordDigest.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

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
    const QByteArray key = QPasswordDigestor::deriveKeyPbkdf2(
        QCryptographicHash::Sha256, password.toUtf8(), QByteArray::fromHex(salt.toLatin1()), iterations, 32);
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
    if (count < 0)
        return false;
    const QByteArray computed = derive(password, salt, count).toLatin1();
    const QByteArray expected = hexPart(stored).toLatin1();
    if (computed.size() != expected.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < computed.size(); ++i)
        difference |= static_cast<unsigned char>(computed[i] ^ expected[i]);
    return difference == 0;
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
