#include "login/DecimalText.h"

#include <cerrno>
#include <cwchar>
#include <cwctype>

std::wstring FormatDecimalW(int32_t value)
{
    wchar_t buf[64];
    swprintf(buf, 64, L"%d", static_cast<int>(value));
    return buf;
}

std::wstring FormatUInt64W(uint64_t value)
{
    wchar_t buf[32];
    swprintf(buf, 32, L"%I64u", static_cast<unsigned long long>(value));
    return buf;
}

bool TryParseUInt64W(const wchar_t* text, int base, uint64_t& out)
{
    if (!text)
        return false;
    const wchar_t* p = text;
    while (*p && std::iswspace(*p))
        ++p;
    // wcstoull would accept a sign and negate; an account number has none.
    if (*p == L'\0' || *p == L'-' || *p == L'+')
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    const unsigned long long value = std::wcstoull(p, &end, base);
    if (end == p || errno == ERANGE)
        return false;
    while (*end && std::iswspace(*end))
        ++end;
    if (*end != L'\0')
        return false;
    out = value;
    return true;
}
