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

CUIStringMap::Node* CUIStringMap::FindNode(const wchar_t* key) const
{
    if (!m_buckets)
        return nullptr;
    if (!key)
        key = L"";
    for (Node* node = *Chain(key); node; node = node->next)
        if (node->key == key)
            return node;
    return nullptr;
}

void* CUIStringMap::Find(const wchar_t* key) const
{
    const Node* node = FindNode(key);
    return node ? node->value : nullptr;
}

bool CUIStringMap::Insert(const wchar_t* key, void* value)
{
    if (!m_buckets || Find(key))
        return false;
    if (!key)
        key = L"";
    Node* node = new (std::nothrow) Node{CUIString(), value, nullptr};
    if (!node)
        return false;
    if (!node->key.Assign(key)) {
        delete node;
        return false;
    }
    Node** head = Chain(key);
    node->next = *head;
    *head = node;
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
    for (Node** link = Chain(key); *link; link = &(*link)->next) {
        if ((*link)->key == key) {
            Node* node = *link;
            *link = node->next;
            delete node;
            return true;
        }
    }
    return false;
}

int CUIStringMap::GetSize() const
{
    int count = 0;
    for (int i = 0; i < m_bucketCount; ++i)
        for (const Node* node = m_buckets[i]; node; node = node->next)
            ++count;
    return count;
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
