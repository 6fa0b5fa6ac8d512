#include "foundation/TraceLog.h"
#include "kit/ImportPatch.h"
#include "kit/Pump.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr wchar_t kViewerClass[] = L"{D9F0EA1A-1F39-47FF-9A8D-F767A82ABC20}";

// What reached the debug output, wide lines as "W:" and narrow ones as "A:".
std::vector<std::wstring> g_output;
void WINAPI RecordWide(LPCWSTR text) { g_output.push_back(L"W:" + std::wstring(text)); }
void WINAPI RecordNarrow(LPCSTR text) { g_output.push_back(L"A:" + std::wstring(text, text + strlen(text))); }

// Lines end in CR LF; lines past the 1022-character buffer are written whole, empty ones not at
// all. Each function writes through its own output function.
TEST(TraceLog, FormatsWideAndNarrowLinesOfAnyLength)
{
    kit::ImportPatch wide("kernel32.dll", "OutputDebugStringW", reinterpret_cast<void*>(&RecordWide));
    kit::ImportPatch narrow("kernel32.dll", "OutputDebugStringA", reinterpret_cast<void*>(&RecordNarrow));
    ASSERT_TRUE(wide.Active() && narrow.Active());
    g_output.clear();
    // In the wide function %s is a wide string and %S a narrow one.
    TraceLog(L"CLogin::InitSSO() %s %S %d %I64u \x4E2D", L"wide", "narrow", -7, 12345678901234ULL);
    TraceLogA("[browser] %s %d", "narrow", 42);
    TraceLog(L"%s", L"");
    TraceLogA("%s", "");
    TraceLog(L"<%s>", std::wstring(3000, L'w').c_str());
    TraceLog(L"%s", std::wstring(1022, L'e').c_str());  // exactly fills the buffer
    TraceLogA("<%s>", std::string(1500, 'n').c_str());
    EXPECT_EQ(g_output, (std::vector<std::wstring>{
                            L"W:CLogin::InitSSO() wide narrow -7 12345678901234 \x4E2D\r\n", L"A:[browser] narrow 42\r\n",
                            L"W:<" + std::wstring(3000, L'w') + L">\r\n", L"W:" + std::wstring(1022, L'e') + L"\r\n",
                            L"A:<" + std::wstring(1500, L'n') + L">\r\n"}));
}

// A hidden top-level window of the trace viewer's class, as the viewer shows one, while it lives.
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&::DestroyWindow)>;
Window ShowViewer()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kViewerClass;
    ::RegisterClassW(&wc);
    return Window(::CreateWindowExW(0, kViewerClass, L"viewer", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                    nullptr), &::DestroyWindow);
}

int g_lookups = 0;

// A window lookup that, as on some systems, changes the last error (Wine's leaves it alone).
HWND WINAPI LookupThatSetsLastError(LPCWSTR cls, LPCWSTR title)
{
    using FindWindowFn = HWND(WINAPI*)(LPCWSTR, LPCWSTR);
    static const auto real = reinterpret_cast<FindWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "FindWindowW")));
    ++g_lookups;
    HWND found = real(cls, title);
    ::SetLastError(found ? ERROR_INVALID_WINDOW_HANDLE : ERROR_FILE_NOT_FOUND);
    return found;
}

// A window that appears or goes is seen at the first probe after 500 ms, never earlier; the
// last-error value survives the lookup.
TEST(TraceViewerProbe, LastErrorIsPreservedAndLookupsAreRationed)
{
    kit::ImportPatch patch("user32.dll", "FindWindowW", reinterpret_cast<void*>(&LookupThatSetsLastError));
    ASSERT_TRUE(patch.Active());

    for (bool withWindow : {false, true, false}) {
        const Window viewer = withWindow ? ShowViewer() : Window(nullptr, &::DestroyWindow);
        kit::Pump(510);
        const int lookupsBefore = g_lookups;
        ::SetLastError(0xBEEF);
        EXPECT_EQ(IsTraceViewerPresent(), withWindow);
        EXPECT_EQ(::GetLastError(), 0xBEEFu) << "with window: " << withWindow;
        EXPECT_EQ(g_lookups - lookupsBefore, 1);

        // Within the next 500 ms the answer comes from the last lookup.
        const DWORD probed = ::GetTickCount();
        int calls = 0;
        while (::GetTickCount() - probed < 400) {
            EXPECT_EQ(IsTraceViewerPresent(), withWindow);
            ++calls;
        }
        EXPECT_GT(calls, 100);
        EXPECT_EQ(g_lookups - lookupsBefore, 1) << "looked up again within 500 ms";
    }
}

}  // namespace
