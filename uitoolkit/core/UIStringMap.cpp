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
    m_index.clear();
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

CUIStringMap::Node* CUIStringMap::FindNode(const wchar_t* key) const
{
    if (!m_buckets)
        return nullptr;
    const auto found = m_index.find(std::wstring_view(key ? key : L""));
    return found != m_index.end() ? found->second : nullptr;
}

bool CUIStringMap::IndexKey(const wchar_t* key, Node* node)
{
    // The entry's key text must belong to the node it maps to: a node that leaves the map takes
    // its text with it. An entry that exists is moved over to its new node without allocating.
    auto entry = m_index.extract(std::wstring_view(key));
    if (!node)
        return true;
    const std::wstring_view text(node->key.GetData(), static_cast<size_t>(node->key.GetLength()));
    if (!entry.empty()) {
        entry.key() = text;
        entry.mapped() = node;
        m_index.insert(std::move(entry));
        return true;
    }
    try {
        m_index.emplace(text, node);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
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
    Node* node = new (std::nothrow) Node;
    if (!node)
        return false;
    if (!node->key.Assign(key) || !IndexKey(key, node)) {
        delete node;
        return false;
    }
    // At the head of its chain, so that it is met before any older node with the same key.
    node->value = value;
    node->older = same;
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
    Node* node = FindNode(key);
    if (!node)
        return false;
    // An older node of the same key is found from now on.
    IndexKey(node->key.GetData(), node->older);
    if (node->prev)
        node->prev->next = node->next;
    else
        *Chain(node->key.GetData()) = node->next;
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
