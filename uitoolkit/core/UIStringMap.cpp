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
    m_index.Clear();
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

CUIStringMap::Slot* CUIStringMap::FindSlot(const wchar_t* key) const
{
    const unsigned int hash = IndexHash(key);
    for (Slot* slot = m_index.Home(hash); slot != nullptr && !slot->Free(); slot = m_index.Next(slot)) {
        if (slot->hash == hash && slot->node->key == key)
            return slot;
    }
    return nullptr;
}

// ---- the map ----

CUIStringMap::Node* CUIStringMap::FindNode(const wchar_t* key) const
{
    if (!m_buckets)
        return nullptr;
    const Slot* slot = FindSlot(key ? key : L"");
    return slot ? slot->node : nullptr;
}

const wchar_t* CUIStringMap::FindKey(const wchar_t* key) const
{
    const Node* node = FindNode(key);
    return node ? node->key.GetData() : nullptr;
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
    Slot* same = FindSlot(key);
    if (same && same->node->value)
        return false;
    if (!same && !m_index.Reserve())
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
    if (same) {
        node->older = same->node;
        same->node = node;
    } else {
        m_index.Add(Slot{IndexHash(key), node});
    }
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
    if (!m_buckets)
        return false;
    if (!key)
        key = L"";
    Slot* slot = FindSlot(key);
    if (!slot)
        return false;
    Node* node = slot->node;
    // An older node of the same key is found from now on.
    if (node->older)
        slot->node = node->older;
    else
        m_index.Erase(slot);
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
