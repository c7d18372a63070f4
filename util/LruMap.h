#pragma once
// A map with a fixed largest size: adding to a full map drops the entry
// used longest ago. Finding, adding and dropping take constant time, so a
// stream of ever-new keys (names made up by whoever sends datagrams) costs
// no more per key than a few known ones.

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>

template <typename Value>
class CLruMap {
public:
    explicit CLruMap(std::size_t capacity) : m_capacity(capacity) {}

    // The value of `key`, which counts as used now; null when there is none.
    Value* Find(const std::string& key) {
        const auto found = m_index.find(key);
        if (found == m_index.end()) return nullptr;
        m_order.splice(m_order.end(), m_order, found->second);
        return &found->second->second;
    }

    void Put(const std::string& key, Value value) {
        if (Value* known = Find(key)) {
            *known = std::move(value);
            return;
        }
        if (m_capacity == 0) return;
        if (m_index.size() >= m_capacity) {
            m_index.erase(m_order.front().first);
            m_order.pop_front();
        }
        m_order.emplace_back(key, std::move(value));
        m_index.emplace(key, std::prev(m_order.end()));
    }

    std::size_t Size() const { return m_index.size(); }

private:
    using COrder = std::list<std::pair<std::string, Value>>;  // used longest ago first
    COrder m_order;
    std::unordered_map<std::string, typename COrder::iterator> m_index;
    std::size_t m_capacity;
};
