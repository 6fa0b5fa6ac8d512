#include "kit/FileBytes.h"

#include <windows.h>

#include "uitoolkit/core/WinHandle.h"

namespace kit {

bool WriteBytesToFile(const std::wstring& path, const std::string& bytes) {
    SkinUI::CWinHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return false;
    DWORD written = 0;
    return ::WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ReadBytesFromFile(const std::wstring& path) {
    // Tests read logs that the program under test is still appending to (and files it replaces):
    // a reader that denied writing would make the program's append fail, and it drops that line.
    SkinUI::CWinHandle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    if (!h) return {};
    std::string data;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(h.Get(), &size) && size.QuadPart < 0x10000000) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!data.empty() && (!::ReadFile(h.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) ||
                              read != data.size()))
            data.clear();
    }
    return data;
}

} // namespace kit
