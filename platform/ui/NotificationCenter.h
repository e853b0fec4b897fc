#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

// Process-wide named notifications (main thread). Observers are tied to an owner held weakly:
// a dead owner's observer is dropped instead of called.
class NotificationCenter {
public:
    using ObserverId = std::uint64_t;

    static inline const QString DeviceOrientationDidChange = QStringLiteral("UIDeviceOrientationDidChangeNotification");

    static NotificationCenter& defaultCenter();

    template<class T>
    ObserverId addObserver(const QString& name, const std::shared_ptr<T>& owner, std::function<void()> callback)
    {
        return add(name, static_cast<const void*>(owner.get()), std::weak_ptr<const void>(owner), std::move(callback));
    }
    void removeObserver(ObserverId id);
    void removeObserver(const void* owner);   // every observer of that owner
    void post(const QString& name);
    std::size_t observerCount(const QString& name) const;

private:
    NotificationCenter() = default;
    ObserverId add(const QString& name, const void* key, std::weak_ptr<const void> owner, std::function<void()> callback);

    struct Entry {
        ObserverId id;
        QString name;
        const void* key;
        std::weak_ptr<const void> owner;
        std::function<void()> callback;
    };
    std::vector<Entry> m_entries;
    ObserverId m_nextId = 1;
};

} // namespace ui
