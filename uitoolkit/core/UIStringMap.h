#pragma once
// CUIStringMap: a hash map from text keys (exact, case-sensitive) to untyped pointers.
// It owns its nodes, never the values. A null key counts as the empty key.
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
    int GetSize() const;
    // The index-th key, walking the buckets from the last to the first and each chain from its
    // head; null past the end.
    const wchar_t* GetKeyAt(int index) const;
    int GetBucketCount() const { return m_bucketCount; }

private:
    struct Node {
        CUIString key;
        void* value;
        Node* next;
    };

    Node** Chain(const wchar_t* key) const;
    Node* FindNode(const wchar_t* key) const;
    void FreeAll();

    Node** m_buckets = nullptr;
    int m_bucketCount = 0;
};

} // namespace SkinUI
