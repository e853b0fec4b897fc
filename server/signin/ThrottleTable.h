#pragma once

#include <QHashFunctions>
#include <QString>

#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <unordered_map>

namespace server {

// Monotonic seconds; tests pass a clock of their own.
using ThrottleClock = std::function<double()>;

inline double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The records of a throttle, one per key (a name, an address), bounded in number. Keys
// are kept in the order they last changed: a record unchanged for longer than the
// forget time is dropped from the old end, and when the table is full the oldest
// record goes to make room for a new one. Records go one by one, never the whole
// table, so a flood of new keys costs the oldest counts, not everybody's. A record
// whose `held()` is true (an attempt is in flight for it) is never dropped.
// Not locked: the throttle that owns it is.
template <typename Record>
class ThrottleTable {
public:
    ThrottleTable(size_t maxKeys, double forgetAfter)
        : m_maxKeys(maxKeys)
        , m_forgetAfter(forgetAfter)
    {
    }

    // The key's record, or null when it has none (or had one that is forgotten).
    Record* find(const QString& key, double now)
    {
        forgetOld(now);
        const auto it = m_nodes.find(key);
        return it == m_nodes.end() ? nullptr : &it->second.record;
    }

    // The key's record, made when missing, marked as changed now. The reference
    // stays valid until the key is removed.
    Record& touch(const QString& key, double now)
    {
        forgetOld(now);
        auto it = m_nodes.find(key);
        if (it == m_nodes.end()) {
            if (m_nodes.size() >= m_maxKeys)
                dropOldestUnheld();
            m_order.push_back(key);
            it = m_nodes.emplace(key, Node{Record{}, now, std::prev(m_order.end())}).first;
        } else {
            m_order.splice(m_order.end(), m_order, it->second.position);
            it->second.changed = now;
        }
        return it->second.record;
    }

    void remove(const QString& key)
    {
        const auto it = m_nodes.find(key);
        if (it == m_nodes.end())
            return;
        m_order.erase(it->second.position);
        m_nodes.erase(it);
    }

    size_t size() const { return m_nodes.size(); }

private:
    struct Node {
        Record record;
        double changed;
        std::list<QString>::iterator position;
    };
    struct Hash {
        size_t operator()(const QString& key) const { return qHash(key); }
    };

    void forgetOld(double now)
    {
        while (!m_order.empty()) {
            const Node& oldest = m_nodes.at(m_order.front());
            if (oldest.record.held() || now - oldest.changed <= m_forgetAfter)
                return;
            const QString key = m_order.front();
            remove(key);
        }
    }

    void dropOldestUnheld()
    {
        for (const QString& key : m_order) {
            if (!m_nodes.at(key).record.held()) {
                const QString victim = key;
                remove(victim);
                return;
            }
        }
    }

    const size_t m_maxKeys;
    const double m_forgetAfter;
    std::list<QString> m_order;
    std::unordered_map<QString, Node, Hash> m_nodes;
};

} // namespace server
