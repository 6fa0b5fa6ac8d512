#include "uitoolkit/core/UIStringMap.h"

#include <cstdlib>
#include <cwchar>
#include <new>

namespace SkinUI {

unsigned int UIHashString(const wchar_t* key)
{
    unsigned int h = 0;
    if (!key)
        return h;
    for (; *key; ++key) {
        h = (h << 4) + static_cast<unsigned short>(*key);
        const unsigned int g = h & 0xF0000000u;
        if (g != 0) {
            h ^= g >> 24;
            h &= ~g;
        }
    }
    return h;
}

namespace {

// The index's own hash (FNV-1a over the units): the bucket hash keeps only the last few units of
// a long key, which would pile keys with a common prefix onto a few places.
unsigned int IndexHash(const wchar_t* key)
{
    unsigned int h = 2166136261u;
    for (; *key; ++key) {
        h ^= static_cast<unsigned short>(*key);
        h *= 16777619u;
    }
    return h;
}

constexpr unsigned int kFirstIndexSize = 16;

} // namespace

CUIStringMap::CUIStringMap(int buckets)
{
    Resize(buckets < 16 ? 16 : buckets);
}

CUIStringMap::~CUIStringMap()
{
    FreeAll();
}

void CUIStringMap::FreeAll()
{
    std::free(m_slots);
    m_slots = nullptr;
    m_slotMask = 0;
    m_keys = 0;
    m_count = 0;
    if (!m_buckets)
        return;
    for (int i = m_bucketCount - 1; i >= 0; --i) {
        Node* node = m_buckets[i];
        while (node) {
            Node* next = node->next;
            delete node;
            node = next;
        }
    }
    std::free(m_buckets);
    m_buckets = nullptr;
    m_bucketCount = 0;
}

void CUIStringMap::Resize(int n)
{
    FreeAll();
    if (n <= 0)
        return;
    m_buckets = static_cast<Node**>(std::calloc(static_cast<size_t>(n), sizeof(Node*)));
    if (m_buckets)
        m_bucketCount = n;
}

CUIStringMap::Node** CUIStringMap::Chain(const wchar_t* key) const
{
    return &m_buckets[UIHashString(key) % static_cast<unsigned int>(m_bucketCount)];
}

// ---- the index ----

CUIStringMap::Slot* CUIStringMap::FindSlot(const wchar_t* key, unsigned int hash) const
{
    for (unsigned int i = hash & m_slotMask;; i = (i + 1) & m_slotMask) {
        Slot* slot = &m_slots[i];
        if (!slot->node || (slot->hash == hash && slot->node->key == key))
            return slot;
    }
}

bool CUIStringMap::ReserveSlot()
{
    // At most half full, so that probe runs stay short.
    const unsigned int size = m_slots ? m_slotMask + 1 : 0;
    if ((m_keys + 1) * 2 <= size)
        return true;
    const unsigned int grown = size ? size * 2 : kFirstIndexSize;
    if (grown < size)
        return false;
    auto* slots = static_cast<Slot*>(std::calloc(grown, sizeof(Slot)));
    if (!slots)
        return false;
    Slot* old = m_slots;
    m_slots = slots;
    m_slotMask = grown - 1;
    for (unsigned int i = 0; i < size; ++i) {
        if (!old[i].node)
            continue;
        unsigned int j = old[i].hash & m_slotMask;
        while (m_slots[j].node)
            j = (j + 1) & m_slotMask;
        m_slots[j] = old[i];
    }
    std::free(old);
    return true;
}

void CUIStringMap::FreeSlot(Slot* slot)
{
    // Every later key of the run whose home place is not between the freed place and its own
    // place moves back into the gap, so that no probe stops early at it.
    unsigned int gap = static_cast<unsigned int>(slot - m_slots);
    for (unsigned int i = (gap + 1) & m_slotMask; m_slots[i].node; i = (i + 1) & m_slotMask) {
        const unsigned int home = m_slots[i].hash & m_slotMask;
        const bool stays = gap <= i ? (gap < home && home <= i) : (gap < home || home <= i);
        if (!stays) {
            m_slots[gap] = m_slots[i];
            gap = i;
        }
    }
    m_slots[gap].node = nullptr;
    --m_keys;
}

// ---- the map ----

CUIStringMap::Node* CUIStringMap::FindNode(const wchar_t* key) const
{
    if (!m_buckets || !m_slots)
        return nullptr;
    if (!key)
        key = L"";
    return FindSlot(key, IndexHash(key))->node;
}

void* CUIStringMap::Find(const wchar_t* key) const
{
    const Node* node = FindNode(key);
    return node ? node->value : nullptr;
}

bool CUIStringMap::Insert(const wchar_t* key, void* value)
{
    if (!m_buckets)
        return false;
    if (!key)
        key = L"";
    Node* same = FindNode(key);
    if (same && same->value)
        return false;
    if (!same && !ReserveSlot())
        return false;
    Node* node = new (std::nothrow) Node;
    if (!node)
        return false;
    if (!node->key.Assign(key)) {
        delete node;
        return false;
    }
    node->value = value;
    // The index answers the newest node of a key; older ones follow it.
    const unsigned int hash = IndexHash(key);
    Slot* slot = FindSlot(key, hash);
    if (!slot->node)
        ++m_keys;
    *slot = Slot{hash, node};
    node->older = same;
    // At the head of its chain, so that the walk meets it before any older node of the key.
    Node** head = Chain(key);
    node->next = *head;
    if (*head)
        (*head)->prev = node;
    *head = node;
    ++m_count;
    return true;
}

void* CUIStringMap::Set(const wchar_t* key, void* value)
{
    if (!m_buckets)
        return value;
    if (Node* node = FindNode(key)) {
        void* old = node->value;
        node->value = value;
        return old;
    }
    Insert(key, value);
    return nullptr;
}

bool CUIStringMap::Remove(const wchar_t* key)
{
    if (!m_buckets || !m_slots)
        return false;
    if (!key)
        key = L"";
    Slot* slot = FindSlot(key, IndexHash(key));
    Node* node = slot->node;
    if (!node)
        return false;
    // An older node of the same key is found from now on.
    if (node->older)
        slot->node = node->older;
    else
        FreeSlot(slot);
    if (node->prev)
        node->prev->next = node->next;
    else
        *Chain(key) = node->next;
    if (node->next)
        node->next->prev = node->prev;
    delete node;
    --m_count;
    return true;
}

const wchar_t* CUIStringMap::GetKeyAt(int index) const
{
    if (index < 0)
        return nullptr;
    for (int i = m_bucketCount - 1; i >= 0; --i)
        for (const Node* node = m_buckets[i]; node; node = node->next)
            if (index-- == 0)
                return node->key.GetData();
    return nullptr;
}

} // namespace SkinUI
