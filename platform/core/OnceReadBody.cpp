#include "platform/core/OnceReadBody.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace core {

OnceReadBody::OnceReadBody(QByteArray data, QObject* parent)
    : QIODevice(parent)
    , m_data(std::move(data))
{
    open(QIODevice::ReadOnly);
}

bool OnceReadBody::reset()
{
    return std::exchange(m_rewindable, false) && QIODevice::reset();
}

qint64 OnceReadBody::readData(char* data, qint64 maxSize)
{
    const qint64 n = std::min(maxSize, qint64(m_data.size()) - pos());
    if (n <= 0)
        return pos() >= m_data.size() ? -1 : 0;
    std::memcpy(data, m_data.constData() + pos(), size_t(n));
    return n;
}

} // namespace core
