#include "foundation/StringUtil.h"

#include <windows.h>

#include <cerrno>
#include <cwchar>
#include <stdexcept>

namespace {

// Runs one of the wcsto* functions with base 0 and turns its range error into
// std::out_of_range (empty message, as callers compare nothing but the type).
template <typename T, typename Fn>
T ConvertNumber(const std::wstring& text, Fn convert)
{
    errno = 0;
    wchar_t* end = nullptr;
    const T value = convert(text.c_str(), &end, 0);
    if (errno == ERANGE)
        throw std::out_of_range("");
    return value;  // 0 when nothing could be converted
}

[[noreturn]] void ThrowConvertError()
{
    throw std::runtime_error("convert error:" + std::to_string(::GetLastError()));
}

}  // namespace

unsigned long WStringToULong(const std::wstring& text)
{
    return ConvertNumber<unsigned long>(text, std::wcstoul);
}

long WStringToLong(const std::wstring& text)
{
    return ConvertNumber<long>(text, std::wcstol);
}

unsigned long long WStringToUInt64(const std::wstring& text)
{
    return ConvertNumber<unsigned long long>(text, std::wcstoull);
}

void WStringTrimLeft(std::wstring& s, const std::wstring& set)
{
    if (s.empty() || set.empty())
        return;
    s.erase(0, s.find_first_not_of(set));  // npos erases everything
}

void WStringTrimRight(std::wstring& s, const std::wstring& set)
{
    if (s.empty() || set.empty())
        return;
    const size_t last = s.find_last_not_of(set);
    s.erase(last == std::wstring::npos ? 0 : last + 1);
}

void StripLineBreaks(std::wstring& s)
{
    std::erase_if(s, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
}

std::string WideToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int len = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), len, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        ThrowConvertError();
    std::string out(static_cast<size_t>(size), '\0');
    if (::WideCharToMultiByte(CP_UTF8, 0, text.data(), len, out.data(), size, nullptr, nullptr) != size)
        ThrowConvertError();
    return out;
}

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty())
        return {};
    const int len = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), len, nullptr, 0);
    if (size <= 0)
        ThrowConvertError();
    std::wstring out(static_cast<size_t>(size), L'\0');
    if (::MultiByteToWideChar(CP_UTF8, 0, text.data(), len, out.data(), size) != size)
        ThrowConvertError();
    return out;
}

std::vector<std::wstring> SplitString(const std::wstring& text, wchar_t delim)
{
    std::vector<std::wstring> pieces;
    size_t start = 0;
    while (start < text.size()) {
        const size_t pos = text.find(delim, start);
        if (pos == std::wstring::npos) {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, pos - start));
        start = pos + 1;  // a delimiter at the very end adds no empty piece
    }
    return pieces;
}
