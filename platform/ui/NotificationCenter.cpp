#include "platform/ui/NotificationCenter.h"

#include <algorithm>

namespace ui {

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::ObserverId NotificationCenter::add(const QString& name, const void* key,
                                                       std::weak_ptr<const void> owner, std::function<void()> callback)
{
    const ObserverId id = m_nextId++;
    m_entries.push_back({id, name, key, std::move(owner), std::move(callback)});
    return id;
}

void NotificationCenter::removeObserver(ObserverId id)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; }),
                    m_entries.end());
}

void NotificationCenter::removeObserver(const void* owner)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [owner](const Entry& e) { return e.key == owner; }),
                    m_entries.end());
}

void NotificationCenter::post(const QString& name)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.owner.expired(); }),
                    m_entries.end());
    // Observers may add or remove observers while the notification is delivered.
    std::vector<std::pair<std::shared_ptr<const void>, std::function<void()>>> targets;
    for (const auto& e : m_entries) {
        if (e.name != name)
            continue;
        if (auto owner = e.owner.lock())
            targets.emplace_back(std::move(owner), e.callback);
    }
    for (const auto& [owner, callback] : targets) {
        if (callback)
            callback();
    }
}

std::size_t NotificationCenter::observerCount(const QString& name) const
{
    return std::size_t(std::count_if(m_entries.begin(), m_entries.end(),
                                     [&name](const Entry& e) { return e.name == name && !e.owner.expired(); }));
}

} // namespace ui
