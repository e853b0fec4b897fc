#pragma once

#include <QString>
#include <QStringList>

namespace core {

// NSLog: one line to stderr, "[category] message". Thread-safe. Tests capture lines with
// LogCapture instead of reading stderr.
void log(const QString& category, const QString& message);

// RAII: while alive, log lines are collected here (and not written to stderr).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;                  // "[category] message"
    bool contains(const QString& text) const;   // any line containing text
    void clear();
};

} // namespace core
