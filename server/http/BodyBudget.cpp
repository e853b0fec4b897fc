#include "server/http/BodyBudget.h"

#include "server/http/MemoryTrimmer.h"

namespace server {

BodyBudget::BodyBudget(std::size_t bytes, MemoryTrimmer* trimmer)
    : m_bytes(bytes)
    , m_trimmer(trimmer)
{
}

bool BodyBudget::take(std::size_t bytes)
{
    std::lock_guard lock(m_mutex);
    if (bytes > m_bytes - m_used)
        return false;
    m_used += bytes;
    return true;
}

void BodyBudget::give(std::size_t bytes)
{
    if (bytes == 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_used -= bytes;
    }
    if (m_trimmer)
        m_trimmer->released(bytes);
}

std::size_t BodyBudget::used() const
{
    std::lock_guard lock(m_mutex);
    return m_used;
}

} // namespace server
