#pragma once
// CUIPtrArray: a growable array of untyped pointers. It never owns what the slots point to.
// Growth: 0 -> 11 -> doubling, taken when the count reaches the capacity.
namespace SkinUI {

class CUIPtrArray {
public:
    explicit CUIPtrArray(int preallocate = 0);
    // Copies the slots (not what they point to); an allocation failure leaves the copy empty.
    CUIPtrArray(const CUIPtrArray& other);
    CUIPtrArray& operator=(const CUIPtrArray& other);
    ~CUIPtrArray();

    void Empty();
    // Empties, then holds n null slots; n <= 0 leaves the array empty. False on allocation failure.
    bool Resize(int n);
    bool IsEmpty() const { return m_count == 0; }
    int GetSize() const { return m_count; }
    int Find(void* pointer) const;
    bool Add(void* pointer);
    bool InsertAt(int index, void* pointer);
    bool Remove(int index);
    void* GetAt(int index) const;
    // The caller keeps the index within 0..count-1.
    void* operator[](int index) const { return m_data[index]; }

private:
    bool Grow();

    void** m_data = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

} // namespace SkinUI
