#pragma once

#include <string>
#include <string_view>

// A plain TCP connection to a loopback server that a test holds and drives byte by byte,
// as a hostile or clumsy client would. Every wait is bounded.
class HeldConnection {
public:
    // Connects to 127.0.0.1:port, from `source` when given (any 127.x.y.z address, so that
    // one process can play many clients); isOpen() says whether it worked.
    explicit HeldConnection(int port, const std::string& source = {});
    ~HeldConnection();
    HeldConnection(HeldConnection&& other) noexcept;
    HeldConnection& operator=(HeldConnection&& other) noexcept;
    HeldConnection(const HeldConnection&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Sends all of `bytes`; false once the server has closed or reset the connection, or
    // has not taken the bytes within `timeoutMs`.
    bool write(std::string_view bytes, int timeoutMs = 5000);
    // Stops sending (a half close), as a client does that has sent all it will.
    void finishSending();
    // The reply's status line ("HTTP/1.1 200 OK"), or "" when none comes in time.
    std::string statusLine(int timeoutMs = 5000);
    // Reads until the server closes; false when it is still open after `timeoutMs`.
    bool waitClosed(int timeoutMs);
    // Everything received so far.
    const std::string& received() const { return m_received; }

    // Raises this process's descriptor limit as far as allowed; returns the limit now in force.
    static long raiseDescriptorLimit();

private:
    // One read of what has arrived; false when the connection has ended or nothing came in time.
    bool readSome(int timeoutMs);

    int m_fd = -1;
    bool m_ended = false;
    std::string m_received;
};
