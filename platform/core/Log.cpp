#include "platform/core/Log.h"

#include <cstdio>
#include <mutex>

namespace core {

namespace {
std::mutex s_mutex;
QStringList* s_captured = nullptr;   // the live LogCapture's lines, or none
} // namespace

void log(const QString& category, const QString& message)
{
    const QString line = QStringLiteral("[%1] %2").arg(category, message);
    std::lock_guard lock(s_mutex);
    if (s_captured) {
        s_captured->append(line);
        return;
    }
    const QByteArray bytes = line.toUtf8();
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
}

LogCapture::LogCapture()
{
    std::lock_guard lock(s_mutex);
    s_captured = new QStringList;
}

LogCapture::~LogCapture()
{
    std::lock_guard lock(s_mutex);
    delete s_captured;
    s_captured = nullptr;
}

QStringList LogCapture::lines() const
{
    std::lock_guard lock(s_mutex);
    return s_captured ? *s_captured : QStringList();
}

bool LogCapture::contains(const QString& text) const
{
    const QStringList all = lines();
    for (const QString& line : all) {
        if (line.contains(text))
            return true;
    }
    return false;
}

void LogCapture::clear()
{
    std::lock_guard lock(s_mutex);
    if (s_captured)
        s_captured->clear();
}

} // namespace core
