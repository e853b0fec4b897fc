#pragma once

#include <QByteArray>
#include <QIODevice>

namespace core {

// A request body that Qt may send again only when its connection allows it. Qt's HTTP channel
// sends a request again by itself, after rewinding its body, when its connection drops before
// a whole reply head, or the reply is not HTTP; a refused rewind makes that the request's
// failure. Refused unless allowed, from the start (an empty body is never read, and a POST
// without one was sent up to four times): a redirect that Qt follows is a new request to
// another address, and a request that a kept connection lost before its reply never reached
// the server. Each allowance is good for one rewind.
// Not a QBuffer: Qt reads a QBuffer's bytes directly, past readData() and reset().
class OnceReadBody : public QIODevice {
public:
    OnceReadBody(QByteArray data, QObject* parent);

    void allowRewind() { m_rewindable = true; }
    void refuseRewind() { m_rewindable = false; }

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_data.size(); }
    bool reset() override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    bool m_rewindable = false;
};

} // namespace core
