#include "platform/core/RunLoop.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <unordered_map>

namespace core {

// The run loop's state. It is a QObject only so that Qt can deliver the queued wake-up for
// posted work and the single QTimer for the earliest task to the main thread.
class RunLoopPrivate : public QObject {
public:
    using TaskId = RunLoop::TaskId;
    using Key = std::pair<double, TaskId>;   // (due time, id): ties run in scheduling order

    std::mutex postMutex;
    std::deque<std::function<void()>> posted;
    bool wakeQueued = false;

    std::map<Key, std::function<void()>> tasks;
    std::unordered_map<TaskId, double> dueOf;
    TaskId nextId = 1;
    double currentDue = std::numeric_limits<double>::quiet_NaN();
    QTimer* timer = nullptr;
    bool inTurn = false;
    bool shutDown = false;   // the application is going away: no new Qt timer   // processPending() drains posted work itself, once
};

RunLoop& RunLoop::main()
{
    // Never destroyed: work posted from other threads late in shutdown must find a live
    // queue. The Qt objects inside go away with the application (see the post routine).
    static RunLoop* loop = new RunLoop;
    return *loop;
}

namespace {
RunLoopPrivate* s_private = nullptr;

void dropQtObjects()
{
    // Runs while QCoreApplication is being destroyed: release the pending work (which may
    // hold Qt objects) and the timer while Qt still stands.
    if (!s_private)
        return;
    s_private->shutDown = true;
    std::map<RunLoopPrivate::Key, std::function<void()>> tasks;
    std::deque<std::function<void()>> posted;
    tasks.swap(s_private->tasks);
    s_private->dueOf.clear();
    {
        std::lock_guard lock(s_private->postMutex);
        posted.swap(s_private->posted);
    }
    delete s_private->timer;
    s_private->timer = nullptr;
}
} // namespace

RunLoop::RunLoop()
    : d(std::make_unique<RunLoopPrivate>())
{
    s_private = d.get();
    // The first caller may be another thread posting to the main queue; the loop belongs to
    // the application's thread all the same.
    if (auto* app = QCoreApplication::instance())
        d->moveToThread(app->thread());
    qAddPostRoutine(dropQtObjects);
}

RunLoop::~RunLoop() = default;

void RunLoop::post(std::function<void()> fn)
{
    if (!fn)
        return;
    bool wake = false;
    {
        std::lock_guard lock(d->postMutex);
        d->posted.push_back(std::move(fn));
        if (!d->wakeQueued) {
            d->wakeQueued = true;
            wake = true;
        }
    }
    // One queued wake-up covers every item posted before it runs.
    if (wake && QCoreApplication::instance())
        QMetaObject::invokeMethod(d.get(), [this] {
            if (!d->inTurn)
                drainPosted();
        }, Qt::QueuedConnection);
}

RunLoop::TaskId RunLoop::schedule(double delaySeconds, std::function<void()> fn)
{
    if (!(delaySeconds > 0))
        delaySeconds = 0;   // negative and NaN delays mean "as soon as possible"
    return scheduleAt(Clock::now() + delaySeconds, std::move(fn));
}

RunLoop::TaskId RunLoop::scheduleAt(double dueTime, std::function<void()> fn)
{
    const TaskId id = d->nextId++;
    if (std::isnan(dueTime))
        dueTime = Clock::now();
    d->tasks.emplace(RunLoopPrivate::Key{dueTime, id}, std::move(fn));
    d->dueOf.emplace(id, dueTime);
    rearm();
    return id;
}

void RunLoop::cancel(TaskId id)
{
    auto it = d->dueOf.find(id);
    if (it == d->dueOf.end())
        return;
    // Move the callback out first: destroying it may release objects whose destructors
    // cancel other tasks.
    auto node = d->tasks.extract(RunLoopPrivate::Key{it->second, id});
    d->dueOf.erase(it);
    rearm();
}

bool RunLoop::isScheduled(TaskId id) const
{
    return d->dueOf.count(id) != 0;
}

double RunLoop::dueTime(TaskId id) const
{
    auto it = d->dueOf.find(id);
    return it == d->dueOf.end() ? std::numeric_limits<double>::quiet_NaN() : it->second;
}

std::size_t RunLoop::scheduledCount() const
{
    return d->tasks.size();
}

double RunLoop::nextWorkTime() const
{
    {
        std::lock_guard lock(d->postMutex);
        if (!d->posted.empty())
            return Clock::now();
    }
    return d->tasks.empty() ? std::numeric_limits<double>::infinity() : d->tasks.begin()->first.first;
}

double RunLoop::currentTaskDueTime() const
{
    return std::isnan(d->currentDue) ? Clock::now() : d->currentDue;
}

void RunLoop::drainPosted()
{
    // Only the work present now runs; work posted by it waits for the next turn (FIFO).
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(d->postMutex);
        batch.swap(d->posted);
        d->wakeQueued = false;
    }
    for (auto& fn : batch) {
        fn();
        fn = nullptr;
    }
}

bool RunLoop::runNextDue(double upTo, TaskId maxId)
{
    auto it = d->tasks.begin();
    while (it != d->tasks.end() && it->first.second > maxId)
        ++it;
    if (it == d->tasks.end() || it->first.first > upTo)
        return false;
    const double due = it->first.first;
    auto fn = std::move(it->second);
    d->dueOf.erase(it->first.second);
    d->tasks.erase(it);
    // Under a manual clock each task runs at its own due time; an overdue task (scheduled
    // in the past) runs at the current time, which never moves backwards.
    if (ManualClock* manual = Clock::manualClock())
        manual->m_now = std::max(manual->m_now, due);
    const double savedDue = d->currentDue;
    d->currentDue = due;
    fn();
    d->currentDue = savedDue;
    return true;
}

void RunLoop::runDue()
{
    if (!Clock::isManual()) {
        // Tasks scheduled by these tasks wait for a later turn even when already due, so a
        // zero-delay chain cannot starve Qt's events.
        const double now = Clock::now();
        const TaskId maxId = d->nextId - 1;
        while (runNextDue(now, maxId)) {
        }
    }
    rearm();
}

void RunLoop::rearm()
{
    if (!d->timer) {
        // Made on first need, on the main thread, and only while the application exists.
        auto* app = QCoreApplication::instance();
        if (!app || d->shutDown || QThread::currentThread() != app->thread() || d->thread() != app->thread())
            return;
        d->timer = new QTimer;
        d->timer->setSingleShot(true);
        d->timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(d->timer, &QTimer::timeout, d.get(), [this] { runDue(); });
    }
    if (Clock::isManual() || d->tasks.empty()) {
        d->timer->stop();
        return;
    }
    const double wait = d->tasks.begin()->first.first - Clock::now();
    // Round up so that the timer never wakes before the task is due.
    const int ms = wait <= 0 ? 0 : static_cast<int>(std::min(std::ceil(wait * 1000.0), 24.0 * 3600 * 1000));
    d->timer->start(ms);
}

void RunLoop::rebase(double offset)
{
    if (offset != 0) {
        std::map<RunLoopPrivate::Key, std::function<void()>> moved;
        for (auto& [key, fn] : d->tasks)
            moved.emplace(RunLoopPrivate::Key{key.first + offset, key.second}, std::move(fn));
        d->tasks.swap(moved);
        for (auto& [id, due] : d->dueOf)
            due += offset;
    }
    rearm();
}

void RunLoop::processPending()
{
    const bool outer = !d->inTurn;
    d->inTurn = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (outer)
        d->inTurn = false;
    drainPosted();
    runDue();
}

bool RunLoop::runUntil(const std::function<bool()>& done, double realTimeoutSeconds, double checkIntervalSeconds)
{
    const double deadline = Clock::steadyNow() + realTimeoutSeconds;
    // A ticking timer bounds each wait, so the deadline is noticed even when nothing happens.
    QTimer tick;
    tick.start(std::max(1, static_cast<int>(std::lround(std::min({checkIntervalSeconds, realTimeoutSeconds, 86400.0}) * 1000))));
    for (;;) {
        drainPosted();
        runDue();
        if (done())
            return true;
        if (Clock::steadyNow() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

int RunLoop::run()
{
    return QCoreApplication::exec();
}

void RunLoop::quit(int code)
{
    QCoreApplication::exit(code);
}

void RunLoop::reset()
{
    std::map<RunLoopPrivate::Key, std::function<void()>> tasks;
    std::deque<std::function<void()>> posted;
    tasks.swap(d->tasks);
    d->dueOf.clear();
    {
        std::lock_guard lock(d->postMutex);
        posted.swap(d->posted);
    }
    rearm();
}

} // namespace core
