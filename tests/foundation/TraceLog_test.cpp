#include "foundation/TraceLog.h"
#include "foundation/UniqueHandle.h"
#include "kit/Pump.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>
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
    ~ViewerWindow() { ::DestroyWindow(hwnd_); }
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

private:
    HWND hwnd_ = nullptr;
};

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
        kit::Pump(10);
    }
    ADD_FAILURE() << "the marker line never arrived";
    return listener.Lines();
}

class TraceLogTest : public testing::Test {
protected:
    DebugOutputListener listener;
};

// Lines end in CR LF; lines past the 1022-character buffer are written whole, empty ones not at
// all.
TEST_F(TraceLogTest, FormatsWideAndNarrowLinesOfAnyLength)
{
    ASSERT_TRUE(listener.Ready());
    // In the wide function %s is a wide string and %S a narrow one.
    TraceLog(L"CLogin::InitSSO() %s %S %d %I64u", L"wide", "narrow", -7, 12345678901234ULL);
    TraceLogA("[browser] %s %d", "narrow", 42);
    TraceLog(L"%s", L"");
    TraceLogA("%s", "");
    TraceLog(L"<%s>", std::wstring(3000, L'w').c_str());
    TraceLog(L"%s", std::wstring(1022, L'e').c_str());  // exactly fills the buffer
    TraceLogA("<%s>", std::string(1500, 'n').c_str());
    EXPECT_EQ(LinesUpToMarker(listener),
              (std::vector<std::string>{"CLogin::InitSSO() wide narrow -7 12345678901234\r\n", "[browser] narrow 42\r\n",
                                        "<" + std::string(3000, 'w') + ">\r\n", std::string(1022, 'e') + "\r\n",
                                        "<" + std::string(1500, 'n') + ">\r\n"}));
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

// A window that appears or goes is seen at the first probe after 500 ms, never earlier; the
// last-error value survives the lookup.
TEST(TraceViewerProbe, LastErrorIsPreservedAndLookupsAreRationed)
{
    ImportPatch patch("user32.dll", "FindWindowW", reinterpret_cast<void*>(&LookupThatSetsLastError));
    ASSERT_TRUE(patch.Active());

    for (bool withWindow : {false, true, false}) {
        std::unique_ptr<ViewerWindow> viewer;
        if (withWindow)
            viewer = std::make_unique<ViewerWindow>();
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
