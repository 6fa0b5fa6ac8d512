#include "uitoolkit/core/UIString.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace SkinUI {

namespace {

// Heap blocks are sized in units; refuse sizes whose byte count would overflow.
constexpr int kMaxUnits = INT_MAX / 4;

wchar_t* AllocUnits(int units)
{
    return static_cast<wchar_t*>(std::malloc(static_cast<size_t>(units) * sizeof(wchar_t)));
}

} // namespace

CUIString::CUIString() : m_text(m_inline)
{
    m_inline[0] = L'\0';
}

CUIString::CUIString(const wchar_t* text, int length) : CUIString()
{
    Assign(text, length);
}

CUIString::CUIString(const CUIString& other) : CUIString()
{
    Assign(other.m_text);
}

CUIString::~CUIString()
{
    FreeHeap();
}

CUIString& CUIString::operator=(const CUIString& other)
{
    if (this != &other)
        Assign(other.m_text);
    return *this;
}

CUIString& CUIString::operator=(const wchar_t* text)
{
    Assign(text);
    return *this;
}

bool CUIString::Overlaps(const wchar_t* text) const
{
    const auto p = reinterpret_cast<std::uintptr_t>(text);
    const auto begin = reinterpret_cast<std::uintptr_t>(m_text);
    const auto end = reinterpret_cast<std::uintptr_t>(m_text + GetLength());
    return p >= begin && p <= end;
}

void CUIString::FreeHeap()
{
    if (!IsInline()) {
        std::free(m_text);
        m_text = m_inline;
        m_inline[0] = L'\0';
    }
}

bool CUIString::Assign(const wchar_t* text, int length)
{
    if (!text)
        text = L"";
    if (Overlaps(text)) {
        // The source lives in our own buffer, which the copy below may free or overwrite.
        CUIString copy;
        if (!copy.Assign(text, length))
            return false;
        return Assign(copy.m_text, length);
    }
    if (length < 0) {
        const size_t n = std::wcslen(text);
        if (n > static_cast<size_t>(kMaxUnits))
            return false;
        length = static_cast<int>(n);
    }
    if (length >= kMaxUnits)
        return false;

    if (length > kMaxInline) {
        if (IsInline() || GetLength() < length) {
            wchar_t* block = IsInline()
                ? AllocUnits(length + 1)
                : static_cast<wchar_t*>(std::realloc(m_text, static_cast<size_t>(length + 1) * sizeof(wchar_t)));
            if (!block)
                return false;  // realloc keeps the old block on failure
            m_text = block;
        }
    } else {
        FreeHeap();
    }

    int i = 0;
    for (; i < length && text[i] != L'\0'; ++i)
        m_text[i] = text[i];
    for (; i < length; ++i)
        m_text[i] = L'\0';
    m_text[length] = L'\0';
    return true;
}

bool CUIString::Append(const wchar_t* text)
{
    if (!text || !*text)
        return true;
    if (Overlaps(text)) {
        // Growing may move our buffer: append from a separate copy.
        CUIString copy;
        if (!copy.Assign(text))
            return false;
        return Append(copy.m_text);
    }
    const int current = GetLength();
    const size_t added = std::wcslen(text);
    if (added >= static_cast<size_t>(kMaxUnits - current))
        return false;
    const int length = current + static_cast<int>(added);

    if (length > kMaxInline) {
        if (IsInline()) {
            wchar_t* block = AllocUnits(length + 1);
            if (!block)
                return false;
            std::memcpy(block, m_inline, static_cast<size_t>(current + 1) * sizeof(wchar_t));
            m_text = block;
        } else {
            auto* block = static_cast<wchar_t*>(
                std::realloc(m_text, static_cast<size_t>(length + 1) * sizeof(wchar_t)));
            if (!block)
                return false;
            m_text = block;
        }
    }
    // A heap block is always at least 64 units, so a short result fits wherever the text is.
    std::memcpy(m_text + current, text, (added + 1) * sizeof(wchar_t));
    return true;
}

CUIString& CUIString::operator+=(const CUIString& other)
{
    Append(other.m_text);
    return *this;
}

CUIString& CUIString::operator+=(const wchar_t* text)
{
    Append(text);
    return *this;
}

CUIString& CUIString::operator+=(wchar_t unit)
{
    const wchar_t text[2] = {unit, L'\0'};
    Append(text);
    return *this;
}

CUIString CUIString::operator+(const CUIString& other) const
{
    CUIString result(*this);
    result.Append(other.m_text);
    return result;
}

CUIString CUIString::operator+(const wchar_t* text) const
{
    CUIString result(*this);
    result.Append(text);
    return result;
}

int CUIString::Compare(const wchar_t* text) const
{
    if (!text)
        text = L"";
    const wchar_t* a = m_text;
    for (;; ++a, ++text) {
        const auto ua = static_cast<unsigned short>(*a);
        const auto ub = static_cast<unsigned short>(*text);
        if (ua != ub)
            return ua < ub ? -1 : 1;
        if (ua == 0)
            return 0;
    }
}

int CUIString::GetLength() const
{
    return static_cast<int>(std::wcslen(m_text));
}

void CUIString::Empty()
{
    FreeHeap();
    m_inline[0] = L'\0';
}

int CUIString::Find(const wchar_t* text, int start) const
{
    if (!text)
        return -1;
    if (start != 0 && (start < 0 || start > GetLength()))
        return -1;
    if (*text == L'\0')
        return start;  // the empty text is found where the search starts
    const wchar_t* hit = std::wcsstr(m_text + start, text);
    return hit ? static_cast<int>(hit - m_text) : -1;
}

void CUIString::MakeLower()
{
    const int length = GetLength();
    if (length > 0)
        ::CharLowerBuffW(m_text, static_cast<DWORD>(length));
}

int CUIString::Format(const wchar_t* format, ...)
{
    // wvsprintfW never writes more than 1024 units and a terminator: this buffer cannot overrun.
    wchar_t buffer[kFormatUnits] = {};
    int written = 0;
    if (format) {
        va_list args;
        va_start(args, format);
        written = ::wvsprintfW(buffer, format, args);
        va_end(args);
    }
    Assign(buffer);
    return written;
}

} // namespace SkinUI
