#include "server/RandomCode.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

namespace server {

QString RandomCode::make()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray bytes(reinterpret_cast<const char*>(words), sizeof(words));
    return QString::fromLatin1(bytes.toHex());
}

} // namespace server
