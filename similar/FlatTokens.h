// Sets and maps of tokens (64-bit hashes) in one array with open addressing: one memory access per look-up where a
// node-based std::unordered_set takes two or three, and no allocation per token. The check looks up millions of
// tokens in sets as large as a drawing of a million entities.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace darv::similar {

// Token -> Value. A slot is free while its `used` flag is off (every token is a valid key, 0 included).
template <class Value> class FlatTokenMap
{
public:
    using Entry = std::pair<std::uint64_t, Value>;

    void reserve(std::size_t count)
    {
        std::size_t capacity = 16;
        while (capacity < count + count / 2 + 1)
            capacity *= 2;
        if (capacity <= m_slots.size())
            return;
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(capacity, Slot{});
        m_size = 0;
        for (Slot& slot : old)
            if (slot.used)
                insert(slot.entry.first, std::move(slot.entry.second));
    }

    // The existing value, or a new one; true when it is new.
    std::pair<Value*, bool> insert(std::uint64_t token, Value value = Value{})
    {
        if ((m_size + 1) * 3 > m_slots.size() * 2)
            reserve(m_slots.size() < 16 ? 16 : m_slots.size());
        std::size_t at = home(token);
        for (;; at = (at + 1) & (m_slots.size() - 1)) {
            Slot& slot = m_slots[at];
            if (!slot.used) {
                slot.used = true;
                slot.entry = Entry{token, std::move(value)};
                ++m_size;
                return {&slot.entry.second, true};
            }
            if (slot.entry.first == token)
                return {&slot.entry.second, false};
        }
    }

    const Value* find(std::uint64_t token) const
    {
        if (m_slots.empty())
            return nullptr;
        for (std::size_t at = home(token);; at = (at + 1) & (m_slots.size() - 1)) {
            const Slot& slot = m_slots[at];
            if (!slot.used)
                return nullptr;
            if (slot.entry.first == token)
                return &slot.entry.second;
        }
    }
    bool contains(std::uint64_t token) const { return find(token) != nullptr; }
    std::size_t count(std::uint64_t token) const { return contains(token) ? 1 : 0; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    // Every entry once, in no particular order.
    template <class Function> void forEach(const Function& function) const
    {
        for (const Slot& slot : m_slots)
            if (slot.used)
                function(slot.entry.first, slot.entry.second);
    }

private:
    struct Slot
    {
        Entry entry{};
        bool used = false;
    };

    std::size_t home(std::uint64_t token) const
    {
        // Tokens are hashes already; the mix keeps any that are not from clustering.
        token ^= token >> 33;
        token *= 0xFF51AFD7ED558CCDull;
        token ^= token >> 33;
        return static_cast<std::size_t>(token) & (m_slots.size() - 1);
    }

    std::vector<Slot> m_slots;
    std::size_t m_size = 0;
};

struct Present
{
};

class FlatTokenSet
{
public:
    void reserve(std::size_t count) { m_map.reserve(count); }
    bool insert(std::uint64_t token) { return m_map.insert(token).second; }
    std::size_t count(std::uint64_t token) const { return m_map.count(token); }
    bool contains(std::uint64_t token) const { return m_map.contains(token); }
    std::size_t size() const { return m_map.size(); }
    bool empty() const { return m_map.empty(); }

private:
    FlatTokenMap<Present> m_map;
};

} // namespace darv::similar
