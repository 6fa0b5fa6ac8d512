#include "foundation/TraceLog.h"
#include "foundation/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kViewerClass[] = L"{D9F0EA1A-1F39-47FF-9A8D-F767A82ABC20}";

// Receives debug output the way a trace viewer does: through the shared
// "DBWIN_BUFFER" section and its two events, no debugger attached.
class DebugOutputListener {
public:
    DebugOutputListener()
    {
        bufferReady_.Reset(::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY"));
        dataReady_.Reset(::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY"));
        section_.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER"));
        if (section_)
            view_ = static_cast<const char*>(::MapViewOfFile(section_.Get(), FILE_MAP_READ, 0, 0, 4096));
        if (bufferReady_ && dataReady_ && view_)
            thread_ = std::thread([this] { Listen(); });
    }
    ~DebugOutputListener()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (view_)
            ::UnmapViewOfFile(view_);
    }
    DebugOutputListener(const DebugOutputListener&) = delete;
    DebugOutputListener& operator=(const DebugOutputListener&) = delete;

    bool Ready() const { return thread_.joinable(); }

    // Lines of this process received so far; each waits for the writer to finish.
    std::vector<std::string> Lines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    void Listen()
    {
        const DWORD self = ::GetCurrentProcessId();
        while (!stop_) {
            ::SetEvent(bufferReady_.Get());
            if (::WaitForSingleObject(dataReady_.Get(), 50) != WAIT_OBJECT_0)
                continue;
            DWORD pid = 0;
            std::memcpy(&pid, view_, sizeof pid);
            const std::string text(view_ + sizeof pid, strnlen(view_ + sizeof pid, 4096 - sizeof pid));
            if (pid == self) {
                std::lock_guard<std::mutex> lock(mutex_);
                lines_.push_back(text);
            }
        }
    }

    mjz::UniqueHandle bufferReady_, dataReady_, section_;
    const char* view_ = nullptr;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::thread thread_;
};

// A hidden top-level window of the trace viewer's class, as the viewer shows one.
class ViewerWindow {
public:
    ViewerWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kViewerClass;
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, kViewerClass, L"viewer", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    }
    ~ViewerWindow() { Destroy(); }
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    HWND Get() const { return hwnd_; }
    void Destroy()
    {
        if (hwnd_)
            ::DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }

private:
    HWND hwnd_ = nullptr;
};

// Waits with the thread's messages pumped; never a bare sleep.
void PumpFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < ms; elapsed = ::GetTickCount() - start) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

// Writes a marker line and waits until the listener has it: every line written
// before the marker has then arrived too.
std::vector<std::string> LinesUpToMarker(DebugOutputListener& listener)
{
    TraceLogA("--marker--");
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 5000) {
        std::vector<std::string> lines = listener.Lines();
        if (!lines.empty() && lines.back() == "--marker--\r\n") {
            lines.pop_back();
            return lines;
        }
        PumpFor(10);
    }
    ADD_FAILURE() << "the marker line never arrived";
    return listener.Lines();
}

class TraceLogTest : public testing::Test {
protected:
    DebugOutputListener listener;
};

TEST_F(TraceLogTest, FormatsWideAndNarrowLinesWithCrLf)
{
    ASSERT_TRUE(listener.Ready());
    // In the wide function %s is a wide string and %S a narrow one.
    TraceLog(L"CLogin::InitSSO() %s %S %d %I64u", L"wide", "narrow", -7, 12345678901234ULL);
    TraceLogA("[browser] %s %d", "narrow", 42);
    const auto lines = LinesUpToMarker(listener);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "CLogin::InitSSO() wide narrow -7 12345678901234\r\n");
    EXPECT_EQ(lines[1], "[browser] narrow 42\r\n");
}

TEST_F(TraceLogTest, LongLinesAreWrittenWholeAndEmptyOnesNotAtAll)
{
    ASSERT_TRUE(listener.Ready());
    const std::wstring longText(3000, L'w');  // past the 1022-character buffer
    const std::string longNarrow(1500, 'n');
    TraceLog(L"%s", L"");
    TraceLogA("%s", "");
    TraceLog(L"<%s>", longText.c_str());
    TraceLog(L"%s", std::wstring(1022, L'e').c_str());  // exactly fills the buffer
    TraceLogA("<%s>", longNarrow.c_str());
    const auto lines = LinesUpToMarker(listener);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "<" + std::string(3000, 'w') + ">\r\n");
    EXPECT_EQ(lines[1], std::string(1022, 'e') + "\r\n");
    EXPECT_EQ(lines[2], "<" + longNarrow + ">\r\n");
}

// The probe runs at most every 500 ms, so a window that appears or goes is
// seen only after that; until then callers write nothing.
TEST_F(TraceLogTest, ViewerGatingFollowsTheWindowWithin500Ms)
{
    ASSERT_TRUE(listener.Ready());
    auto tracedIfViewer = [](const char* text) {
        if (IsTraceViewerPresent())
            TraceLogA("%s", text);
    };

    PumpFor(510);  // any earlier probe is stale now
    const DWORD before = ::GetTickCount();
    EXPECT_FALSE(IsTraceViewerPresent());
    tracedIfViewer("without viewer");

    ViewerWindow viewer;
    ASSERT_NE(viewer.Get(), nullptr);
    if (::GetTickCount() - before < 450) {
        EXPECT_FALSE(IsTraceViewerPresent()) << "probed again before 500 ms";
        tracedIfViewer("too early");
    }

    PumpFor(510 - (::GetTickCount() - before) % 510);
    EXPECT_TRUE(IsTraceViewerPresent());
    tracedIfViewer("with viewer");

    viewer.Destroy();
    const DWORD gone = ::GetTickCount();
    // Still present until the next probe, then not.
    while (IsTraceViewerPresent() && ::GetTickCount() - gone < 2000)
        PumpFor(20);
    EXPECT_LT(::GetTickCount() - gone, 600u);
    EXPECT_FALSE(IsTraceViewerPresent());
    tracedIfViewer("viewer closed");

    EXPECT_EQ(LinesUpToMarker(listener), std::vector<std::string>{"with viewer\r\n"});
}

// Points this executable's import of one function elsewhere while it lives;
// the product code linked into the test calls through the same import table.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement)
    {
        void* original = reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(dll), function));
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
        for (; original && desc->Name; ++desc) {
            auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
            for (; thunk->u1.Function; ++thunk) {
                if (reinterpret_cast<void*>(thunk->u1.Function) == original) {
                    slot_ = reinterpret_cast<void**>(&thunk->u1.Function);
                    original_ = original;
                    Write(replacement);
                    return;
                }
            }
        }
    }
    ~ImportPatch()
    {
        if (slot_)
            Write(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Active() const { return slot_ != nullptr; }

private:
    void Write(void* value)
    {
        DWORD old = 0;
        ::VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
        *slot_ = value;
        ::VirtualProtect(slot_, sizeof(void*), old, &old);
    }

    void** slot_ = nullptr;
    void* original_ = nullptr;
};

std::atomic<int> g_lookups{0};

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

TEST(TraceViewerProbe, LastErrorIsPreservedAndLookupsAreRationed)
{
    ImportPatch patch("user32.dll", "FindWindowW", reinterpret_cast<void*>(&LookupThatSetsLastError));
    ASSERT_TRUE(patch.Active());

    for (bool withWindow : {false, true}) {
        ViewerWindow viewer;
        if (!withWindow)
            viewer.Destroy();
        PumpFor(510);
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
