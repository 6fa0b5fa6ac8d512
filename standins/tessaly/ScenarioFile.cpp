#include "standins/tessaly/ScenarioFile.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>

namespace tessaly {

namespace {

std::wstring FromCodePage(UINT codePage, DWORD flags, const char* bytes, size_t size)
{
    if (size == 0)
        return {};
    const int n = ::MultiByteToWideChar(codePage, flags, bytes, static_cast<int>(size), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring text(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes, static_cast<int>(size), text.data(), n);
    return text;
}

std::wstring FromUtf16(const std::string& bytes, size_t start, bool bigEndian)
{
    std::wstring text;
    for (size_t i = start; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    return text;
}

bool StartsWith(const std::string& bytes, const char* mark)
{
    return bytes.compare(0, std::strlen(mark), mark) == 0;
}

std::wstring Trimmed(const std::wstring& line)
{
    const size_t first = line.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return line.substr(first, line.find_last_not_of(L" \t") - first + 1);
}

} // namespace

std::wstring ScenarioFile::Decode(const std::string& bytes)
{
    if (StartsWith(bytes, "\xFF\xFE"))
        return FromUtf16(bytes, 2, false);
    if (StartsWith(bytes, "\xFE\xFF"))
        return FromUtf16(bytes, 2, true);
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return FromCodePage(CP_UTF8, 0, bytes.data() + 3, bytes.size() - 3);
    // No mark: UTF-8 when every byte sequence is one, else the ANSI code page.
    if (bytes.empty() || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0)
        return FromCodePage(CP_UTF8, 0, bytes.data(), bytes.size());
    return FromCodePage(CP_ACP, 0, bytes.data(), bytes.size());
}

ScenarioFile::ScenarioFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in)
        return;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Parse(Decode(bytes));
}

void ScenarioFile::Parse(const std::wstring& text)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == L';' || line[0] == L'#')
            continue;
        if (line[0] == L'[') {
            const size_t close = line.find(L']');
            sections_.push_back(Section{Trimmed(line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1)), {}});
            continue;
        }
        if (!sections_.empty())
            sections_.back().lines.push_back(line);
    }
}

const ScenarioFile::Section* ScenarioFile::Find(const wchar_t* name) const
{
    for (const Section& section : sections_) {
        if (_wcsicmp(section.name.c_str(), name) == 0)
            return &section;
    }
    return nullptr;
}

} // namespace tessaly
