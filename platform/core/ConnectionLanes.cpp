#include "platform/core/ConnectionLanes.h"

#include "platform/core/Clock.h"

#include <QHash>
#include <QList>

namespace core {

namespace {

struct FreeLane {
    int id = 0;
    bool kept = false;
    double freedAt = 0;
    int keepAliveSeconds = 0;
};

// Free lanes by origin, the one freed last at the back. A busy lane is in no list.
QHash<QString, QList<FreeLane>>& freeLanes()
{
    static auto* lanes = new QHash<QString, QList<FreeLane>>;
    return *lanes;
}

int& lastId()
{
    static int id = 0;
    return id;
}

QString originOf(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
}

// A connection the server said it would close within a second is not worth the race: the
// lane is left to go, and the request takes a new one.
bool aboutToClose(const FreeLane& lane)
{
    return lane.kept && lane.keepAliveSeconds > 0 && Clock::now() - lane.freedAt >= lane.keepAliveSeconds - 1.0;
}

} // namespace

ConnectionLanes::Lane ConnectionLanes::take(const QUrl& url)
{
    if (url.scheme() != QLatin1String("http"))
        return {};
    auto& lanes = freeLanes()[originOf(url)];
    while (!lanes.isEmpty()) {
        const FreeLane lane = lanes.takeLast();
        if (!aboutToClose(lane))
            return {lane.id, lane.kept};
    }
    return {++lastId(), false};
}

void ConnectionLanes::giveBack(const QUrl& url, int id, Outcome outcome, int keepAliveSeconds)
{
    if (id == 0 || outcome == Outcome::Abandoned)
        return;
    freeLanes()[originOf(url)].append({id, outcome == Outcome::Answered, Clock::now(), keepAliveSeconds});
}

QString ConnectionLanes::name(int id)
{
    return QStringLiteral("lane-%1").arg(id);
}

void ConnectionLanes::forgetAll()
{
    freeLanes().clear();
}

} // namespace core
