#include "uitoolkit/core/UIPtrArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace SkinUI {

namespace {
constexpr int kMaxSlots = INT_MAX / 8;  // keeps the byte count and the doubling in range
}

CUIPtrArray::CUIPtrArray(int preallocate)
{
    if (preallocate >= 1 && preallocate <= kMaxSlots) {
        m_data = static_cast<void**>(std::malloc(static_cast<size_t>(preallocate) * sizeof(void*)));
        if (m_data)
            m_capacity = preallocate;
    }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other)
{
    *this = other;
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other)
{
    if (this == &other)
        return *this;
    Empty();
    if (other.m_count > 0) {
        m_data = static_cast<void**>(std::malloc(static_cast<size_t>(other.m_count) * sizeof(void*)));
        if (m_data) {
            std::memcpy(m_data, other.m_data, static_cast<size_t>(other.m_count) * sizeof(void*));
            m_count = m_capacity = other.m_count;
        }
    }
    return *this;
}

CUIPtrArray::~CUIPtrArray()
{
    std::free(m_data);
}

void CUIPtrArray::Empty()
{
    std::free(m_data);
    m_data = nullptr;
    m_count = m_capacity = 0;
}

bool CUIPtrArray::Resize(int n)
{
    Empty();
    if (n <= 0)
        return true;
    if (n > kMaxSlots)
        return false;
    m_data = static_cast<void**>(std::calloc(static_cast<size_t>(n), sizeof(void*)));
    if (!m_data)
        return false;
    m_count = m_capacity = n;
    return true;
}

int CUIPtrArray::Find(void* pointer) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_data[i] == pointer)
            return i;
    return -1;
}

// Called after the count was raised: grows when the new count reaches the capacity.
bool CUIPtrArray::Grow()
{
    if (m_count < m_capacity)
        return true;
    const int capacity = m_capacity == 0 ? 11 : m_capacity * 2;
    if (m_capacity > kMaxSlots / 2)
        return false;
    auto* data = static_cast<void**>(std::realloc(m_data, static_cast<size_t>(capacity) * sizeof(void*)));
    if (!data)
        return false;
    m_data = data;
    m_capacity = capacity;
    return true;
}

bool CUIPtrArray::Add(void* pointer)
{
    ++m_count;
    if (!Grow()) {
        --m_count;
        return false;
    }
    m_data[m_count - 1] = pointer;
    return true;
}

bool CUIPtrArray::InsertAt(int index, void* pointer)
{
    if (index == m_count)
        return Add(pointer);
    if (index < 0 || index > m_count)
        return false;
    ++m_count;
    if (!Grow()) {
        --m_count;
        return false;
    }
    std::memmove(&m_data[index + 1], &m_data[index], static_cast<size_t>(m_count - 1 - index) * sizeof(void*));
    m_data[index] = pointer;
    return true;
}

bool CUIPtrArray::Remove(int index)
{
    if (index < 0 || index >= m_count)
        return false;
    --m_count;
    if (index < m_count)
        std::memmove(&m_data[index], &m_data[index + 1], static_cast<size_t>(m_count - index) * sizeof(void*));
    return true;
}

void* CUIPtrArray::GetAt(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    return m_data[index];
}

} // namespace SkinUI
