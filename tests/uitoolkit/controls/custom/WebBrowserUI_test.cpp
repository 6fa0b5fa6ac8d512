// The web-browser control in a real window host, over a stand-in browser whose window is a plain
// child window: placement and visibility of that window, creation on the first placement inside a
// live window, and the browser's events as the listener receives them.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/NotifyRecorder.h"
#include "kit/Probe.h"
#include "kit/Pump.h"
#include "kit/Text.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"

using SkinUI::CWebBrowserUI;

namespace {

std::vector<std::wstring> g_log;

// A browser whose window is a static child; it logs what the control asks of it.
class StandInBrowser : public IEmbeddedBrowser {
public:
    ~StandInBrowser() override
    {
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
        g_log.push_back(L"deleted");
    }
    void SetEventHandler(IEBrowserEventHandler* h) override
    {
        handler = h;
        if (h == nullptr)
            g_log.push_back(L"handler cleared");
    }
    HWND Create(HWND parent, const RECT& rc) override
    {
        m_hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                                   parent, nullptr, nullptr, nullptr);
        return m_hWnd;
    }
    HWND GetHWND() const override { return m_hWnd; }
    void Navigate(const wchar_t* url) override { g_log.push_back(std::wstring(L"navigate ") + url); }
    void FocusBrowserWindow() override { g_log.push_back(L"focus"); }

    IEBrowserEventHandler* handler = nullptr;

private:
    HWND m_hWnd = nullptr;
};

StandInBrowser* g_made = nullptr;

std::shared_ptr<IEmbeddedBrowser> MakeStandIn()
{
    auto browser = std::make_shared<StandInBrowser>();
    g_made = browser.get();
    return browser;
}

// The notifications as lines, with the records behind lParam read while they live.
std::wstring Describe(const SkinUI::NotifyMessage& msg)
{
    if (msg.type == L"WebCallClient")
        return std::wstring(L"call ") + reinterpret_cast<const wchar_t*>(msg.wParam) + L" " +
               reinterpret_cast<const wchar_t*>(msg.lParam);
    std::wstring line = L"msg " + std::to_wstring(msg.wParam);
    switch (msg.wParam) {
    case SkinUI::kWebBrowserTitleChange:
        return line + L" " + reinterpret_cast<const wchar_t*>(msg.lParam);
    case SkinUI::kWebBrowserCommandState: {
        const auto* history = reinterpret_cast<const SkinUI::WebHistoryRecord*>(msg.lParam);
        return line + L" forward " + std::to_wstring(history->forwardEnabled) + L" back " +
               std::to_wstring(history->backEnabled);
    }
    case SkinUI::kWebBrowserCreated:
        return line + L" " + std::to_wstring(msg.lParam);
    default: {
        const auto* nav = reinterpret_cast<const SkinUI::WebNavigateRecord*>(msg.lParam);
        return line + L" " + nav->url + L" " + std::to_wstring(nav->topLevel) + L" " + std::to_wstring(nav->status);
    }
    }
}

struct Bed {
    kit::NotifyRecorder rec;  // outlives the window, which notifies as it closes
    kit::HostWindow win;
    std::vector<std::wstring> notices;
    kit::Box* root = new kit::Box(L"root");
    CWebBrowserUI* web = new CWebBrowserUI(&MakeStandIn);

    explicit Bed(const wchar_t* url = L"")
    {
        g_log.clear();
        g_made = nullptr;
        web->SetName(L"web");
        web->SetFixedXY(SIZE{10, 20});
        web->SetFixedWidth(100);
        web->SetFixedHeight(60);
        web->SetUrl(url);
        root->Add(web);
        rec.onNotify = [this](SkinUI::NotifyMessage& msg) {
            if (msg.type == L"WebBrowserMsg" || msg.type == L"WebCallClient")
                notices.push_back(Describe(msg));
        };
    }
    bool Open()
    {
        if (!win.Open(root, 200, 120))
            return false;
        win.Host()->AddNotifyListener(&rec);
        return win.Layout();
    }
    RECT WindowRect() const
    {
        RECT rc = {};
        ::GetWindowRect(g_made->GetHWND(), &rc);
        ::MapWindowPoints(nullptr, win.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
};

} // namespace

TEST(WebBrowserUI, FirstPlacementMakesTheBrowserAndLaterOnesMoveIt)
{
    Bed bed(L"https://a/page");
    ASSERT_TRUE(bed.Open());
    ASSERT_NE(g_made, nullptr);
    EXPECT_EQ(bed.web->GetBrowser(), g_made);
    EXPECT_EQ(g_made->handler, bed.web);
    EXPECT_EQ(::GetParent(g_made->GetHWND()), bed.win.Hwnd());
    EXPECT_TRUE(::IsWindowVisible(g_made->GetHWND()));
    EXPECT_EQ(kit::Text(bed.WindowRect()), "10,20,110,80");
    EXPECT_EQ(g_log, std::vector<std::wstring>{L"navigate https://a/page"});
    EXPECT_FALSE(bed.web->IsPageFinished());
    // The creation notice is queued: it goes out with the next message.
    ::SendMessageW(bed.win.Hwnd(), WM_NULL, 0, 0);
    EXPECT_EQ(bed.notices, std::vector<std::wstring>{L"msg 0 1"});

    StandInBrowser* first = g_made;
    bed.web->SetPos(RECT{30, 40, 80, 70});
    EXPECT_EQ(g_made, first);
    EXPECT_EQ(kit::Text(bed.WindowRect()), "30,40,80,70");
    ::SendMessageW(bed.win.Hwnd(), WM_NULL, 0, 0);
    EXPECT_EQ(bed.notices.size(), 1u);

    // Hidden, the window stays hidden when the control moves; shown again, it follows.
    bed.web->SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(g_made->GetHWND()));
    bed.web->SetPos(RECT{0, 0, 50, 50});
    EXPECT_FALSE(::IsWindowVisible(g_made->GetHWND()));
    bed.web->SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(g_made->GetHWND()));

    g_log.clear();
    bed.web->SetUrl(L"https://a/next");
    bed.web->SetFocus();
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"navigate https://a/next", L"focus"}));
    EXPECT_EQ(bed.web->GetInterface(L"WebBrowser"), static_cast<void*>(bed.web));
    EXPECT_EQ(bed.web->GetInterface(L"webbrowser"), nullptr);
    EXPECT_STREQ(bed.web->GetClass(), L"WebBrowserUI");
}

TEST(WebBrowserUI, WithoutALiveWindowTheBrowserWaitsForALaterPlacement)
{
    g_made = nullptr;
    SkinUI::CWindowHostUI host;  // bound to no window yet
    CWebBrowserUI web(&MakeStandIn);
    web.SetManager(&host, nullptr, false);
    web.SetPos(RECT{0, 0, 40, 40});
    EXPECT_EQ(g_made, nullptr);
    EXPECT_FALSE(web.CreateBrowser());

    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(host.Init(window));
    web.SetPos(RECT{5, 5, 45, 45});
    ASSERT_NE(g_made, nullptr);
    EXPECT_EQ(::GetParent(g_made->GetHWND()), window);
    EXPECT_FALSE(web.CreateBrowser());  // once only
    ::DestroyWindow(window);
}

TEST(WebBrowserUI, BrowserEventsBecomeNotificationsAboutRealPagesOnly)
{
    Bed bed;
    ASSERT_TRUE(bed.Open());
    ::SendMessageW(bed.win.Hwnd(), WM_NULL, 0, 0);
    bed.notices.clear();
    IEBrowserEventHandler* h = bed.web;
    const struct {
        const char* name;
        std::function<void()> event;
        std::vector<std::wstring> notices;
        bool finished;
    } rows[] = {
        {"before", [&] { bool cancel = false; h->OnBeforeNavigate(g_made, true, L"https://a/", cancel); EXPECT_FALSE(cancel); },
         {L"msg 2 https://a/ 1 0"}, false},
        {"frame error", [&] { h->OnNavigateError(g_made, false, L"https://a/f", 404); }, {L"msg 6 https://a/f 0 404"}, false},
        {"top error", [&] { h->OnNavigateError(g_made, true, L"https://a/", 500); }, {L"msg 6 https://a/ 1 500"}, true},
        {"complete", [&] { h->OnNavigateComplete(g_made, true, L"https://a/"); }, {L"msg 4 https://a/ 1 0"}, false},
        {"frame document", [&] { h->OnDocumentComplete(g_made, false, L"https://a/f"); }, {L"msg 10 https://a/f 0 0"}, false},
        {"top document", [&] { h->OnDocumentComplete(g_made, true, L"https://a/"); }, {L"msg 10 https://a/ 1 0"}, true},
        {"blank pages", [&] {
             bool cancel = false;
             h->OnBeforeNavigate(g_made, true, L"about:blank", cancel);
             h->OnNavigateError(g_made, true, L"", 1);
             h->OnNavigateComplete(g_made, true, nullptr);
             h->OnDocumentComplete(g_made, true, L"about:blank");
         }, {}, false},
        {"title", [&] { h->OnTitleChange(g_made, L"Title"); h->OnTitleChange(g_made, nullptr); }, {L"msg 3 Title"}, false},
        {"history", [&] {
             h->OnCommandStateChange(g_made, 2, -1);
             h->OnCommandStateChange(g_made, 1, 1);
             h->OnCommandStateChange(g_made, 2, 0);
             h->OnCommandStateChange(g_made, -1, 1);
         }, {L"msg 7 forward 0 back 1", L"msg 7 forward 1 back 1", L"msg 7 forward 1 back 0"}, false},
        {"script", [&] { h->OnScriptCall(g_made, L"close", L""); h->OnScriptCall(g_made, L"", L"x"); },
         {L"call close "}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        bed.notices.clear();
        bed.web->SetPageFinished(false);
        row.event();
        EXPECT_EQ(bed.notices, row.notices);
        EXPECT_EQ(bed.web->IsPageFinished(), row.finished);
    }
}

namespace {

std::mutex g_openedLock;
std::vector<std::wstring> g_opened;
std::atomic<int> g_comReady{0};

void RecordOpen(const wchar_t* url)
{
    // COM is initialised on the pool thread already: a second initialisation only counts up.
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (hr == S_FALSE)
        ++g_comReady;
    if (SUCCEEDED(hr))
        ::CoUninitialize();
    std::lock_guard<std::mutex> lock(g_openedLock);
    g_opened.push_back(url);
}

} // namespace

TEST(WebBrowserUI, NewWindowsAreRefusedAndOnlySafeSecureAddressesGoToTheShell)
{
    Bed bed;
    ASSERT_TRUE(bed.Open());
    CWebBrowserUI::SetShellOpener(&RecordOpen);
    const wchar_t* refused[] = {L"http://a/",   L"HTTPS://a/", L"about:blank", L"https://",
                                L"https://a/\"b", L"https://a/'b", L"https://a/\x01", L"", L" https://a/"};
    for (const wchar_t* url : refused)
        EXPECT_FALSE(bed.web->OnNewWindow(g_made, 0, L"", url));
    const std::set<std::wstring> opened = {L"https://a/1", L"https://a/2 x?q=%22"};
    for (const std::wstring& url : opened)
        EXPECT_FALSE(bed.web->OnNewWindow(g_made, 0, L"https://r/", url.c_str()));
    auto count = [] {
        std::lock_guard<std::mutex> lock(g_openedLock);
        return g_opened.size();
    };
    EXPECT_TRUE(kit::PumpUntil([&] { return count() >= opened.size(); }, 3000));
    kit::Pump(100);
    CWebBrowserUI::SetShellOpener(nullptr);
    std::lock_guard<std::mutex> lock(g_openedLock);
    EXPECT_EQ(std::set<std::wstring>(g_opened.begin(), g_opened.end()), opened);
    EXPECT_EQ(g_opened.size(), opened.size());
    EXPECT_EQ(g_comReady.load(), static_cast<int>(opened.size()));
}

TEST(WebBrowserUI, DeletingTheControlFromItsNotificationReleasesTheBrowserSafely)
{
    kit::GuardedScope guard;
    Bed bed;
    ASSERT_TRUE(bed.Open());
    StandInBrowser* browser = g_made;
    bed.rec.onNotify = [&](SkinUI::NotifyMessage& msg) {
        if (msg.type == L"WebCallClient")
            bed.root->Remove(bed.web);
    };
    g_log.clear();
    browser->handler->OnScriptCall(browser, L"close", L"");
    EXPECT_EQ(bed.root->Count(), 0);
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"handler cleared", L"deleted"}));
}
