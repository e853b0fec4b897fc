#include "server/http/ConnectionLimiter.h"

#include <utility>

namespace server {

ConnectionLimiter::Ticket::Ticket(ConnectionLimiter* owner, std::string address)
    : m_owner(owner)
    , m_address(std::move(address))
{
}

ConnectionLimiter::Ticket::Ticket(Ticket&& other) noexcept
    : m_owner(std::exchange(other.m_owner, nullptr))
    , m_address(std::move(other.m_address))
{
}

ConnectionLimiter::Ticket::~Ticket()
{
    if (m_owner)
        m_owner->release(m_address);
}

ConnectionLimiter::ConnectionLimiter(std::size_t perAddress, std::size_t total)
    : m_perAddress(perAddress)
    , m_total(total)
{
}

std::optional<ConnectionLimiter::Ticket> ConnectionLimiter::admit(const std::string& address)
{
    std::lock_guard lock(m_mutex);
    if (m_open >= m_total || m_perAddress == 0)
        return std::nullopt;
    std::size_t& count = m_byAddress[address];
    if (count >= m_perAddress)
        return std::nullopt;
    ++count;
    ++m_open;
    return Ticket(this, address);
}

std::size_t ConnectionLimiter::connections() const
{
    std::lock_guard lock(m_mutex);
    return m_open;
}

void ConnectionLimiter::release(const std::string& address)
{
    std::lock_guard lock(m_mutex);
    --m_open;
    const auto it = m_byAddress.find(address);
    if (it != m_byAddress.end() && --it->second == 0)
        m_byAddress.erase(it);
}

} // namespace server
