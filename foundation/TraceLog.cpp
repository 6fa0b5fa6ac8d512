#include "foundation/TraceLog.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

constexpr int kStackChars = 1022;
constexpr DWORD kProbeIntervalMs = 500;
constexpr wchar_t kViewerClass[] = L"{D9F0EA1A-1F39-47FF-9A8D-F767A82ABC20}";

// The msvcrt formatters are used on purpose: they give %s the width of the
// function (wide in the wide one), which is what every caller's format expects.
struct WideFormat {
    using Char = wchar_t;
    static int Count(const wchar_t* fmt, va_list args) { return _vscwprintf(fmt, args); }
    static int Print(wchar_t* buf, size_t n, const wchar_t* fmt, va_list args) { return _vsnwprintf(buf, n, fmt, args); }
    static void Output(const wchar_t* s) { ::OutputDebugStringW(s); }
};

struct NarrowFormat {
    using Char = char;
    static int Count(const char* fmt, va_list args) { return _vscprintf(fmt, args); }
    static int Print(char* buf, size_t n, const char* fmt, va_list args) { return _vsnprintf(buf, n, fmt, args); }
    static void Output(const char* s) { ::OutputDebugStringA(s); }
};

// Formats into a stack buffer of 1022 characters, or a heap buffer of the
// exact size for longer lines, appends CR LF and writes the line.
template <typename F>
void FormatAndOutput(const typename F::Char* fmt, va_list args)
{
    using Char = typename F::Char;
    if (!fmt)
        return;
    va_list counting;
    va_copy(counting, args);
    const int len = F::Count(fmt, counting);
    va_end(counting);
    if (len <= 0)
        return;  // empty result or a bad format: nothing is written

    Char stackBuf[kStackChars + 3];
    std::vector<Char> heapBuf;
    Char* buf = stackBuf;
    if (len > kStackChars) {
        heapBuf.resize(static_cast<size_t>(len) + 3);
        buf = heapBuf.data();
    }
    F::Print(buf, static_cast<size_t>(len) + 1, fmt, args);
    buf[len] = Char('\r');
    buf[len + 1] = Char('\n');
    buf[len + 2] = Char('\0');
    F::Output(buf);
}

std::atomic<bool> g_probed{false};
std::atomic<bool> g_viewerPresent{false};
std::atomic<DWORD> g_lastProbeTick{0};

}  // namespace

void TraceLog(const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    FormatAndOutput<WideFormat>(fmt, args);
    va_end(args);
}

void TraceLogA(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    FormatAndOutput<NarrowFormat>(fmt, args);
    va_end(args);
}

bool IsTraceViewerPresent()
{
    const DWORD now = ::GetTickCount();
    // Unsigned subtraction keeps the interval right across the tick wrap.
    if (!g_probed.load() || now - g_lastProbeTick.load() >= kProbeIntervalMs) {
        const DWORD savedError = ::GetLastError();
        g_viewerPresent = ::FindWindowW(kViewerClass, nullptr) != nullptr;
        ::SetLastError(savedError);
        g_lastProbeTick = now;
        g_probed = true;
    }
    return g_viewerPresent.load();
}
