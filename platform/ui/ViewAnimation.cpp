#include "platform/ui/ViewAnimation.h"

#include "platform/core/Clock.h"
#include "platform/core/Dispatch.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/BasicAnimation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/View.h"

#include <map>
#include <vector>

namespace ui {

namespace {

TimingFunction timingFor(unsigned options)
{
    switch ((options >> 16) & 0x3) {
    case 1: return TimingFunction::easeIn();
    case 2: return TimingFunction::easeOut();
    case 3: return TimingFunction::linear();
    default: return TimingFunction::easeInEaseOut();
    }
}

} // namespace

struct ViewAnimation::Group {
    struct Record {
        std::weak_ptr<Layer> layer;
        AnimatableValue from;
        quint64 serial = 0;   // the latest animation this block added under the key
    };

    Settings settings;
    std::map<std::pair<const Layer*, QString>, Record> records;
    std::map<quint64, bool> running;   // serial -> still counted
    std::vector<std::weak_ptr<View>> changedViews;
    quint64 nextSerial = 1;
    bool finished = true;
    bool committed = false;
    bool completed = false;

    void stopped(quint64 serial, const std::pair<const Layer*, QString>& key, bool ok)
    {
        auto it = running.find(serial);
        if (it == running.end())
            return;
        running.erase(it);
        // Replaced by this block's own later change of the same key: not an interruption.
        auto rec = records.find(key);
        const bool superseded = rec != records.end() && rec->second.serial != serial;
        if (!superseded)
            finished = finished && ok;
    }
};

std::vector<std::shared_ptr<ViewAnimation::Group>>& ViewAnimation::stack()
{
    static std::vector<std::shared_ptr<Group>> groups;
    return groups;
}

void ViewAnimation::begin(Settings settings)
{
    auto group = std::make_shared<Group>();
    group->settings = std::move(settings);
    stack().push_back(std::move(group));
}

ViewAnimation::Settings* ViewAnimation::current()
{
    auto& groups = stack();
    return groups.empty() ? nullptr : &groups.back()->settings;
}

bool ViewAnimation::isOpen()
{
    return !stack().empty();
}

void ViewAnimation::commit()
{
    auto& groups = stack();
    if (groups.empty())
        return;
    auto group = groups.back();
    // Layout that the new frames call for joins the block, so subviews move with their parent.
    if (group->settings.options & AnimationOption::LayoutSubviews) {
        auto views = group->changedViews;
        for (const auto& weak : views) {
            if (auto view = weak.lock())
                view->layoutIfNeeded();
        }
    }
    groups.pop_back();
    group->committed = true;

    if (group->running.empty()) {
        core::post([group] { finish(group); });
        return;
    }
    // A layer that dies with its animation still running never reports it; count such an
    // animation as ended when its time is up.
    const double end = std::max(0.0, group->settings.delay) + group->settings.duration;
    core::RunLoop::main().schedule(end, [group] {
        for (auto& [key, record] : group->records) {
            if (record.layer.expired())
                group->stopped(record.serial, key, true);
        }
        if (group->running.empty())
            finish(group);
    });
}

void ViewAnimation::record(View& view, const QString& key, const AnimatableValue& from, const AnimatableValue& to)
{
    auto& groups = stack();
    if (groups.empty())
        return;
    auto group = groups.back();
    const Settings& s = group->settings;
    if (s.duration <= 0)
        return;
    auto layer = view.layer();
    const auto recordKey = std::make_pair(static_cast<const Layer*>(layer.get()), key);

    AnimatableValue start = from;
    auto existing = group->records.find(recordKey);
    if (existing != group->records.end() && !existing->second.layer.expired())
        start = existing->second.from;
    else if ((s.options & AnimationOption::BeginFromCurrentState) && layer->animationForKey(key))
        start = layer->presentation()->valueForKeyPath(key);   // still drawn by the running animation

    auto animation = BasicAnimation::create(key, start, to, s.duration);
    animation->setTimingFunction(timingFor(s.options));
    if (s.delay > 0) {
        animation->setBeginTime(core::Clock::now() + s.delay);
        animation->setFillMode(Animation::FillMode::Backwards);
    }
    const quint64 serial = group->nextSerial++;
    std::weak_ptr<Group> weakGroup = group;
    animation->onStop = [weakGroup, serial, recordKey](bool ok) {
        auto g = weakGroup.lock();
        if (!g)
            return;
        g->stopped(serial, recordKey, ok);
        if (g->committed && g->running.empty())
            finish(g);
    };

    group->records[recordKey] = Group::Record{layer, start, serial};
    group->running[serial] = true;
    group->changedViews.push_back(view.weak_from_this());
    layer->addAnimation(animation, key);
}

void ViewAnimation::finish(const std::shared_ptr<Group>& group)
{
    if (group->completed)
        return;
    group->completed = true;
    const bool finished = group->finished;
    if (group->settings.completion)
        group->settings.completion(finished);
    if (group->settings.didStop)
        group->settings.didStop(group->settings.animationId, finished);
}

} // namespace ui
