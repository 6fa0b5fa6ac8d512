#pragma once
// CProbeTable: an open-addressing table of small records (linear probing, at most half full,
// doubled when it would pass that), for indexes that must not allocate per entry. A record tells
// whether its place is free (a zero-filled record is) and gives its hash; callers walk a probe
// run themselves with Home and Next, and keep records unique where they need it.
//
//   struct Slot { unsigned hash; Node* node;
//                 bool Free() const { return node == nullptr; } unsigned Hash() const { return hash; } };
//   for (Slot* s = table.Home(h); s != nullptr && !s->Free(); s = table.Next(s)) ...
#include <cstdlib>

namespace SkinUI {

template <class Record>
class CProbeTable {
public:
    CProbeTable() = default;
    ~CProbeTable() { std::free(m_slots); }
    CProbeTable(const CProbeTable&) = delete;
    CProbeTable& operator=(const CProbeTable&) = delete;

    // The first place of a hash's probe run; null while the table has no places.
    Record* Home(unsigned int hash) const { return m_slots != nullptr ? &m_slots[hash & m_mask] : nullptr; }
    Record* Next(const Record* at) const
    {
        return &m_slots[(static_cast<unsigned int>(at - m_slots) + 1) & m_mask];
    }

    // Room for one more record; false when the larger table cannot be allocated.
    bool Reserve()
    {
        const unsigned int size = m_slots != nullptr ? m_mask + 1 : 0;
        if ((m_count + 1) * 2 <= size)
            return true;
        const unsigned int grown = size != 0 ? size * 2 : kFirstSize;
        if (grown < size)
            return false;
        auto* slots = static_cast<Record*>(std::calloc(grown, sizeof(Record)));
        if (slots == nullptr)
            return false;
        Record* old = m_slots;
        m_slots = slots;
        m_mask = grown - 1;
        m_count = 0;
        for (unsigned int i = 0; i < size; ++i) {
            if (!old[i].Free())
                Add(old[i]);
        }
        std::free(old);
        return true;
    }

    // Puts a record into the first free place of its run (room reserved before).
    void Add(const Record& record)
    {
        Record* at = Home(record.Hash());
        while (!at->Free())
            at = Next(at);
        *at = record;
        ++m_count;
    }

    // Empties a place: every later record of the run whose home is not between the place and
    // its own place moves back into the gap, so that no walk stops early. The place then holds
    // a later record of the run, or is free: a walk that erases goes on from the same place.
    void Erase(Record* at)
    {
        unsigned int gap = static_cast<unsigned int>(at - m_slots);
        for (unsigned int i = (gap + 1) & m_mask; !m_slots[i].Free(); i = (i + 1) & m_mask) {
            const unsigned int home = m_slots[i].Hash() & m_mask;
            const bool stays = gap <= i ? (gap < home && home <= i) : (gap < home || home <= i);
            if (!stays) {
                m_slots[gap] = m_slots[i];
                gap = i;
            }
        }
        m_slots[gap] = Record{};
        --m_count;
    }

    void Clear()
    {
        std::free(m_slots);
        m_slots = nullptr;
        m_mask = 0;
        m_count = 0;
    }

    unsigned int GetCount() const { return m_count; }

private:
    static constexpr unsigned int kFirstSize = 16;

    Record* m_slots = nullptr;
    unsigned int m_mask = 0;
    unsigned int m_count = 0;
};

} // namespace SkinUI
