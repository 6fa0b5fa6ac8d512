#pragma once
// CUIStringMap: a hash map from text keys (exact, case-sensitive) to untyped pointers.
// It owns its nodes, never the values. A null key counts as the empty key.
//
// The nodes hang in a fixed number of bucket chains, which give the map its walk order
// (GetKeyAt, destruction). A map with many more keys than buckets would walk long chains on
// every look-up, so a second index that grows with the map finds a key's node directly; the
// chains are never walked except to step through the map.
#include "uitoolkit/core/ProbeTable.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

// PJW/ELF hash over 16-bit units; the bucket is the hash modulo the bucket count.
unsigned int UIHashString(const wchar_t* key);

class CUIStringMap {
public:
    explicit CUIStringMap(int buckets = 83);  // at least 16 buckets
    ~CUIStringMap();
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;

    // Frees every node; n buckets when n > 0, none otherwise.
    void Resize(int n);
    void* Find(const wchar_t* key) const;
    // False without buckets, when the key maps to a non-null value, or on allocation failure.
    bool Insert(const wchar_t* key, void* value);
    // Replaces the value of a present key and returns the old one; else inserts and returns null.
    // Without buckets nothing is stored and the given value is returned.
    void* Set(const wchar_t* key, void* value);
    bool Remove(const wchar_t* key);
    // The map's own copy of a present key (valid until that key is removed), or null.
    const wchar_t* FindKey(const wchar_t* key) const;
    int GetSize() const { return m_count; }
    // The index-th key, walking the buckets from the last to the first and each chain from its
    // head; null past the end.
    const wchar_t* GetKeyAt(int index) const;
    int GetBucketCount() const { return m_bucketCount; }

private:
    struct Node {
        CUIString key;
        void* value = nullptr;
        Node* next = nullptr;   // the next node of the chain (walk order)
        Node* prev = nullptr;   // the previous node of the chain; null at its head
        Node* older = nullptr;  // the next node with an equal key (inserted over a null value)
    };
    // One place of the index; a null node is free.
    struct Slot {
        unsigned int hash;
        Node* node;
        bool Free() const { return node == nullptr; }
        unsigned int Hash() const { return hash; }
    };

    Node** Chain(const wchar_t* key) const;
    // The index place that holds the key, or null.
    Slot* FindSlot(const wchar_t* key) const;
    // The first node with the key in walk order (the newest of equal keys), or null.
    Node* FindNode(const wchar_t* key) const;
    void FreeAll();

    Node** m_buckets = nullptr;
    int m_bucketCount = 0;
    int m_count = 0;
    // Key -> FindNode's answer, one place per distinct key.
    CProbeTable<Slot> m_index;
};

} // namespace SkinUI
