#include "server/PasswordDigest.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

QString PasswordDigest::newSalt()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(words), sizeof(words)).toHex());
}

QString PasswordDigest::derive(const QString& password, const QString& salt)
{
    const QByteArray key = QPasswordDigestor::deriveKeyPbkdf2(
        QCryptographicHash::Sha256, password.toUtf8(), QByteArray::fromHex(salt.toLatin1()), kIterations, 32);
    return QString::fromLatin1(key.toHex());
}

bool PasswordDigest::matches(const QString& password, const QString& salt, const QString& digest)
{
    const QByteArray computed = derive(password, salt).toLatin1();
    const QByteArray stored = digest.toLatin1();
    if (computed.size() != stored.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < computed.size(); ++i)
        difference |= static_cast<unsigned char>(computed[i] ^ stored[i]);
    return difference == 0;
}
