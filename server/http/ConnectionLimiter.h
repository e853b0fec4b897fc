#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace server {

// Counts open connections, in all and per client address, so that one client (or
// a crowd of them) cannot take every socket the server has. A connection holds a
// Ticket for as long as it is open; the ticket gives its place back when it goes,
// on whichever thread that happens.
class ConnectionLimiter {
public:
    class Ticket {
    public:
        Ticket(Ticket&& other) noexcept;
        Ticket& operator=(Ticket&&) = delete;
        Ticket(const Ticket&) = delete;
        ~Ticket();

    private:
        friend class ConnectionLimiter;
        Ticket(ConnectionLimiter* owner, std::string address);

        ConnectionLimiter* m_owner;
        std::string m_address;
    };

    ConnectionLimiter(std::size_t perAddress, std::size_t total);

    // A ticket, or nothing when the address or the server is at its cap.
    std::optional<Ticket> admit(const std::string& address);
    std::size_t connections() const;

private:
    void release(const std::string& address);

    const std::size_t m_perAddress;
    const std::size_t m_total;
    mutable std::mutex m_mutex;
    std::size_t m_open = 0;
    // Only addresses with a connection open: the table is as large as the open
    // connections, never larger.
    std::unordered_map<std::string, std::size_t> m_byAddress;
};

} // namespace server
