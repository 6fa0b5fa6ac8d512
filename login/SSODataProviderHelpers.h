#pragma once
// Helpers shared by the single-sign-on provider's source files.
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

} // namespace sso_provider
