#pragma once

#include <memory>
#include <unordered_map>

namespace ui {

// Weak references hung on an object under private keys, in place of the phone's associated
// objects. Nothing is retained, and a reference reads as null once its object has died, so a
// forgotten clear cannot leave a dangling pointer. A key is the address of a static the
// owning component keeps private (`static const char kKey[] = "...";`).
class Attachments {
public:
    template<class T>
    std::shared_ptr<T> get(const void* key) const
    {
        auto it = m_slots.find(key);
        if (it == m_slots.end())
            return nullptr;
        return std::static_pointer_cast<T>(it->second.lock());
    }

    // A null value removes the attachment.
    template<class T>
    void set(const void* key, const std::shared_ptr<T>& value)
    {
        if (!value) {
            m_slots.erase(key);
            return;
        }
        m_slots[key] = std::weak_ptr<void>(std::static_pointer_cast<void>(std::const_pointer_cast<std::remove_const_t<T>>(value)));
    }

    void remove(const void* key) { m_slots.erase(key); }
    bool contains(const void* key) const
    {
        auto it = m_slots.find(key);
        return it != m_slots.end() && !it->second.expired();
    }

private:
    std::unordered_map<const void*, std::weak_ptr<void>> m_slots;
};

} // namespace ui
