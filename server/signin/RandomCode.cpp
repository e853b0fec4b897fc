#include "server/signin/RandomCode.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <sys/random.h>

namespace server {

namespace {

// Bytes from the kernel's cryptographic generator, drawn a few thousand at a
// time: one call costs about what the processor's own generator, which
// QRandomGenerator::system() asks, takes for a single code (over a microsecond).
class RandomBytes {
public:
    void take(unsigned char* out, size_t count)
    {
        if (m_used + count > sizeof(m_buffer))
            refill();
        std::memcpy(out, m_buffer + m_used, count);
        // Handed out once only.
        std::memset(m_buffer + m_used, 0, count);
        m_used += count;
    }

private:
    void refill()
    {
        size_t filled = 0;
        while (filled < sizeof(m_buffer)) {
            const ssize_t got = getrandom(m_buffer + filled, sizeof(m_buffer) - filled, 0);
            if (got < 0 && errno != EINTR)
                throw std::runtime_error("no random bytes from the system");
            if (got > 0)
                filled += size_t(got);
        }
        m_used = 0;
    }

    unsigned char m_buffer[4096];
    size_t m_used = sizeof(m_buffer);
};

constexpr char kDigits[] = "0123456789abcdef";

} // namespace

QString RandomCode::make()
{
    thread_local RandomBytes source;
    unsigned char bytes[16];
    source.take(bytes, sizeof(bytes));
    char text[2 * sizeof(bytes)];
    for (size_t i = 0; i < sizeof(bytes); ++i) {
        text[2 * i] = kDigits[bytes[i] >> 4];
        text[2 * i + 1] = kDigits[bytes[i] & 0xf];
    }
    return QString::fromLatin1(text, qsizetype(sizeof(text)));
}

QString RandomCode::afterStamp(long long stamp)
{
    char text[16];
    for (int i = 0; i < 16; ++i)
        text[15 - i] = kDigits[(static_cast<unsigned long long>(stamp) >> (4 * i)) & 0xf];
    return QString::fromLatin1(text, qsizetype(sizeof(text))) + make();
}

} // namespace server
