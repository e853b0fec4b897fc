#include "server/storage/BoundValue.h"

#include <QString>

namespace server {

BoundValue::Kind BoundValue::kindOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return Kind::Null;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return Kind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return Kind::Real;
    case QMetaType::QByteArray:
        return Kind::Blob;
    default:
        return Kind::Text;
    }
}

QVariant BoundValue::forQtSql(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QStringLiteral("");
    return value;
}

} // namespace server
