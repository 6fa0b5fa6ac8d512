#pragma once
// Helpers shared by the single-sign-on provider's source files.
#include <windows.h>

#include <algorithm>
#include <string>

#include "foundation/TraceLog.h"

namespace sso_provider {

// A trace line, written only while the trace viewer is present.
template <class... Args>
inline void Trace(const wchar_t* format, Args... args)
{
    if (IsTraceViewerPresent())
        TraceLog(format, args...);
}

// Copies at most units-1 characters and terminates; returns the characters copied.
inline size_t CopyBounded(wchar_t* dest, size_t units, const std::wstring& text)
{
    const size_t n = std::min(text.size(), units - 1);
    std::copy_n(text.data(), n, dest);
    dest[n] = L'\0';
    return n;
}

// Keeps at most maxChars characters of the text (maxChars > 0). A longer text keeps its start and
// ends in an ellipsis, so that the reader sees it goes on; a surrogate pair is never split.
inline void CutWithEllipsis(std::wstring& text, size_t maxChars)
{
    if (text.size() <= maxChars)
        return;
    size_t keep = maxChars - 1;
    if (keep > 0 && IS_HIGH_SURROGATE(text[keep - 1]))
        --keep;
    text.resize(keep);
    text += L'\x2026';
}

} // namespace sso_provider
