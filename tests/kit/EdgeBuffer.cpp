#include "kit/EdgeBuffer.h"

#include <windows.h>

#include <cstring>

namespace kit {

EdgeBuffer::EdgeBuffer(const std::string& bytes) : m_size(bytes.size())
{
    constexpr size_t kPage = 4096;
    const size_t pages = (bytes.size() + kPage - 1) / kPage + 1;
    // Reserved as a whole, committed but for the last page.
    m_base = ::VirtualAlloc(nullptr, pages * kPage, MEM_RESERVE, PAGE_NOACCESS);
    if (m_base == nullptr || (pages > 1 && !::VirtualAlloc(m_base, (pages - 1) * kPage, MEM_COMMIT, PAGE_READWRITE)))
        return;
    char* end = static_cast<char*>(m_base) + (pages - 1) * kPage;
    char* data = end - bytes.size();
    if (!bytes.empty())
        std::memcpy(data, bytes.data(), bytes.size());
    m_data = data;
}

EdgeBuffer::~EdgeBuffer()
{
    if (m_base != nullptr)
        ::VirtualFree(m_base, 0, MEM_RELEASE);
}

} // namespace kit
