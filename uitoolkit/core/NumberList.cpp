#include "uitoolkit/core/NumberList.h"

#include <cwchar>
#include <cwctype>

namespace SkinUI {

int ParseNumberList(const wchar_t* text, long* out, int count)
{
    if (!out || count <= 0)
        return 0;
    for (int i = 0; i < count; ++i)
        out[i] = 0;
    if (!text)
        return 0;

    int read = 0;
    const wchar_t* p = text;
    for (int i = 0; i < count && *p != L'\0'; ++i) {
        wchar_t* end = nullptr;
        const long value = std::wcstol(p, &end, 10);
        if (end != p) {
            out[i] = value;
            ++read;
            p = end;
        }
        if (*p == L'\0')
            break;
        ++p;  // exactly one separator unit
    }
    return read;
}

CUIRect ParseRect(const wchar_t* text)
{
    long v[4];
    ParseNumberList(text, v, 4);
    return CUIRect(v[0], v[1], v[2], v[3]);
}

CUISize ParseSize(const wchar_t* text)
{
    long v[2];
    ParseNumberList(text, v, 2);
    return CUISize(v[0], v[1]);
}

long ParseInt(const wchar_t* text)
{
    return text ? std::wcstol(text, nullptr, 10) : 0;
}

unsigned long ParseColor(const wchar_t* text, bool skipBlanks)
{
    if (!text)
        return 0;
    if (skipBlanks)
        while (*text != L'\0' && *text <= L' ')
            ++text;
    if (*text == L'#')
        ++text;
    // wcstoul would skip blanks and accept a sign; a colour is bare hex digits here.
    if (!std::iswxdigit(*text))
        return 0;
    return std::wcstoul(text, nullptr, 16);
}

bool ParseBool(const wchar_t* text)
{
    return text && std::wcscmp(text, L"true") == 0;
}

} // namespace SkinUI
