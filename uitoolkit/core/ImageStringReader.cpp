#include "uitoolkit/core/ImageStringReader.h"

namespace SkinUI {

bool CImageStringReader::Next(CUIString& key, CUIString& value)
{
    while (ReadItem(key, value)) {
        if (!value.IsEmpty()) return true;
    }
    return false;
}

bool CImageStringReader::ReadItem(CUIString& key, CUIString& value)
{
    const wchar_t* p = m_p;
    m_p = nullptr;  // ended unless a complete item is read below
    if (p == nullptr) return false;

    while (*p != L'\0' && *p <= L' ') ++p;
    const wchar_t* keyStart = p;
    while (*p != L'\0' && *p != L'=' && *p > L' ') ++p;
    const wchar_t* keyEnd = p;

    while (*p == L' ') ++p;
    if (*p != L'=') return false;
    ++p;
    while (*p == L' ') ++p;
    if (*p != L'\'') return false;
    ++p;
    const wchar_t* valueStart = p;
    while (*p != L'\0' && *p != L'\'') ++p;
    if (*p != L'\'') return false;

    key.Assign(keyStart, static_cast<int>(keyEnd - keyStart));
    value.Assign(valueStart, static_cast<int>(p - valueStart));
    ++p;
    if (p[0] == L' ' && p[1] != L'\0') m_p = p + 1;
    return true;
}

} // namespace SkinUI
