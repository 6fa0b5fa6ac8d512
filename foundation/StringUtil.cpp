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

std::wstring CodePageToWide(unsigned codePage, const std::string& bytes)
{
    const int len = static_cast<int>(bytes.size());
    const int size = len > 0 ? ::MultiByteToWideChar(codePage, 0, bytes.data(), len, nullptr, 0) : 0;
    if (size <= 0)
        return {};
    std::wstring out(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), len, out.data(), size);
    return out;
}

std::string WideToCodePage(unsigned codePage, const std::wstring& text)
{
    const int len = static_cast<int>(text.size());
    const int size = len > 0 ? ::WideCharToMultiByte(codePage, 0, text.data(), len, nullptr, 0, nullptr, nullptr) : 0;
    if (size <= 0)
        return {};
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), len, out.data(), size, nullptr, nullptr);
    return out;
}

std::string WideToUtf16Bytes(const std::wstring& text, bool bigEndian)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (wchar_t c : text) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>((c >> 8) & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

std::wstring Utf16BytesToWide(const std::string& bytes, bool bigEndian)
{
    std::wstring out(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = static_cast<wchar_t>(bigEndian ? (b | (a << 8)) : (a | (b << 8)));
    }
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
