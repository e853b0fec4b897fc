#pragma once

#include <QByteArray>
#include <QIODevice>

namespace core {

// A request body that Qt may read only once. Qt's HTTP channel sends a request again by itself
// when its connection drops before a reply, or the reply is not HTTP, after rewinding the body;
// refusing the rewind makes that the request's failure, so a request reaches the server at most
// once. Refused from the start, not from the first byte read: an empty body is never read, and
// a POST without one was sent up to four times. A redirect that Qt follows is a new request to
// another address and may read it again.
// Not a QBuffer: Qt reads a QBuffer's bytes directly, past readData() and reset().
class OnceReadBody : public QIODevice {
public:
    OnceReadBody(QByteArray data, QObject* parent);

    void allowRewind() { m_rewindable = true; }

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
