#include "tests/support/HeldConnection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <utility>

namespace {

bool ready(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}

} // namespace

HeldConnection::HeldConnection(int port, const std::string& source)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (!source.empty() && (::inet_pton(AF_INET, source.c_str(), &local.sin_addr) != 1
                            || ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0)) {
        ::close(fd);
        return;
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(std::uint16_t(port));
    remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof(remote)) != 0) {
        ::close(fd);
        return;
    }
    const int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof(yes));
    m_fd = fd;
}

HeldConnection::~HeldConnection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

HeldConnection::HeldConnection(HeldConnection&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_ended(other.m_ended)
    , m_received(std::move(other.m_received))
{
}

HeldConnection& HeldConnection::operator=(HeldConnection&& other) noexcept
{
    std::swap(m_fd, other.m_fd);
    std::swap(m_ended, other.m_ended);
    std::swap(m_received, other.m_received);
    return *this;
}

bool HeldConnection::write(std::string_view bytes, int timeoutMs)
{
    while (!bytes.empty()) {
        if (m_fd < 0 || !ready(m_fd, POLLOUT, timeoutMs))
            return false;
        // No SIGPIPE: a server that has closed is a result here, not a crash.
        const ssize_t sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent <= 0)
            return false;
        bytes.remove_prefix(std::size_t(sent));
    }
    return true;
}

void HeldConnection::finishSending()
{
    if (m_fd >= 0)
        ::shutdown(m_fd, SHUT_WR);
}

bool HeldConnection::readSome(int timeoutMs)
{
    if (m_fd < 0 || m_ended || !ready(m_fd, POLLIN, timeoutMs))
        return false;
    char chunk[4096];
    const ssize_t length = ::recv(m_fd, chunk, sizeof(chunk), MSG_DONTWAIT);
    if (length <= 0) {
        m_ended = true;
        return false;
    }
    m_received.append(chunk, std::size_t(length));
    return true;
}

std::string HeldConnection::statusLine(int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_received.find("\r\n") == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0 || !readSome(int(left)))
            break;
    }
    const auto lineEnd = m_received.find("\r\n");
    return lineEnd == std::string::npos ? std::string() : m_received.substr(0, lineEnd);
}

bool HeldConnection::waitClosed(int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!m_ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (!readSome(int(std::max<long>(left, 0))) && !m_ended && left <= 0)
            return false;
    }
    return true;
}

long HeldConnection::raiseDescriptorLimit()
{
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0)
        return 1024;
    if (files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    return files.rlim_cur == RLIM_INFINITY ? 1L << 20 : long(files.rlim_cur);
}
