#pragma once
// A copy of some bytes whose last byte is the last of a page, followed by a page that is never
// accessible: a parser that reads one byte past the end faults at once instead of reading
// whatever the heap holds there.
//
//   kit::EdgeBuffer message(bytes);
//   Parse(message.Data(), message.Size());
#include <cstddef>
#include <string>

namespace kit {

class EdgeBuffer {
public:
    explicit EdgeBuffer(const std::string& bytes);
    ~EdgeBuffer();
    EdgeBuffer(const EdgeBuffer&) = delete;
    EdgeBuffer& operator=(const EdgeBuffer&) = delete;

    const char* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    void* m_base = nullptr;
    const char* m_data = nullptr;
    size_t m_size = 0;
};

} // namespace kit
