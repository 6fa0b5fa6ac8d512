// The verify web window on real windows, driven from inside its modal loop. Wine loads no pages,
// so the page is played in process: its script calls go through the browser host's own
// dispatch (window.external), its load events through the web-browser control's handler side.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModalScript.h"
#include "foundation/BStr.h"
#include "kit/Capture.h"
#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/PngWriter.h"
#include "kit/Probe.h"
#include "kit/Pump.h"
#include "launcher/LogReport.h"
#include "login/windows/IEWebBrowser.h"
#include "login/windows/LoginVerifyWebWindow.h"
#include "tests/launcher/LauncherTestDir.h"
#include "uitoolkit/controls/IContainerUI.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"

using namespace SkinUI;

namespace {

constexpr UINT kDeleteVerifyWindow = WM_APP + 50;
// The window's address: Wine fails every real address at once (no network), which would close
// the window; load events of the real page are played through the control instead.
constexpr wchar_t kPage[] = L"about:blank";
constexpr wchar_t kRealPage[] = L"https://verify.example/page";

class CountedWindow : public CLoginVerifyWebWindow {
public:
    explicit CountedWindow(int* deletions) : m_deletions(deletions) {}
    ~CountedWindow() override { ++*m_deletions; }

private:
    int* m_deletions;
};

// The login dialog's side: records the calls and deletes the window by a posted message, or at
// once when asked to.
class Handler : public ILoginVerifyWebWindowEventHandler {
public:
    void OnVerifyWindowDestroyed() override
    {
        calls.push_back(L"destroyed");
        if (deleteAtOnce)
            delete window;
        else
            ::PostMessageW(owner, kDeleteVerifyWindow, 0, 0);
    }
    void OnVerifyCancelled() override { calls.push_back(L"cancelled"); }
    void OnVerifyTicket(const std::wstring& ticket, const std::wstring& randstr) override
    {
        calls.push_back(L"ticket " + ticket + L" " + randstr);
    }
    void OnVerifyPageFailed() override { calls.push_back(L"failed"); }

    std::vector<std::wstring> calls;
    CLoginVerifyWebWindow* window = nullptr;
    HWND owner = nullptr;
    bool deleteAtOnce = false;
};

class VerifyWindowTest : public kit::GuardedTest {
protected:
    void SetUp() override
    {
        kit::GuardedTest::SetUp();
        dir.Write(L"settings.ini", "[88]\r\nGameDataVersion=2\r\n");
        MakeDirs(dir.Path() + L"data\\88\\2\\skin");
        ASSERT_TRUE(owner.Open(new kit::Box(L"owner"), 100, 80));
        owner.onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
            if (message != kDeleteVerifyWindow) return false;
            delete handler.window;
            return true;
        };
        handler.owner = owner.Hwnd();
    }
    void TearDown() override
    {
        kit::Drain();
        EXPECT_EQ(deletions, runs);  // every window deleted once
        kit::GuardedTest::TearDown();
    }

    // Shows a new window on kPage with the steps; the handler's calls afterwards.
    std::vector<std::wstring> Run(std::vector<ModalScript::Step> steps, const std::wstring& title = L"Verify")
    {
        ++runs;
        handler.calls.clear();
        handler.window = window = new CountedWindow(&deletions);
        window->SetEventHandler(&handler);
        {
            ModalScript script(L"WebWindow", std::move(steps));
            window->ShowVerifyPage(owner.Hwnd(), title, kPage);
            EXPECT_TRUE(script.Finished());
        }
        EXPECT_EQ(::FindWindowW(L"WebWindow", nullptr), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
        kit::Drain();
        return handler.calls;
    }
    // The web-browser control, once its browser window exists.
    CWebBrowserUI* Browser()
    {
        CControlUI* view = window->GetHost().FindControlByName(L"WebView");
        auto* items = view != nullptr ? static_cast<IContainerUI*>(view->GetInterface(L"IContainer")) : nullptr;
        auto* browser = items != nullptr && items->GetCount() == 1 ? dynamic_cast<CWebBrowserUI*>(items->GetItemAt(0))
                                                                    : nullptr;
        return browser != nullptr && browser->GetBrowser() != nullptr ? browser : nullptr;
    }
    // The page calls window.external.NotifyStartEditContent(text) through the host's dispatch.
    ModalScript::Step PageSends(const std::wstring& text)
    {
        return [this, text](HWND) {
            CWebBrowserUI* control = Browser();
            if (control == nullptr) return false;
            auto* host = static_cast<CIEWebBrowser*>(control->GetBrowser());
            wchar_t name[] = L"NotifyStartEditContent";
            LPOLESTR names[] = {name};
            DISPID id = 0;
            EXPECT_EQ(host->GetIDsOfNames(names, 1, &id), S_OK);
            BStr arg(text);
            VARIANT v;
            ::VariantInit(&v);
            v.vt = VT_BSTR;
            v.bstrVal = arg.Get();
            DISPPARAMS params = {&v, nullptr, 1, 0};
            VARIANT result;
            ::VariantInit(&result);
            EXPECT_EQ(host->Invoke(id, DISPATCH_METHOD, &params, &result), S_OK);
            // Back from the call the browser is hidden, not yet destroyed.
            EXPECT_TRUE(::IsWindow(host->GetHWND()));
            EXPECT_FALSE(::IsWindowVisible(host->GetHWND()));
            return true;
        };
    }
    ModalScript::Step ClickClose()
    {
        return [this](HWND w) {
            if (Browser() == nullptr) return false;
            ModalScript::PostClick(w, ModalScript::Centre(window->GetHost().FindControlByName(L"BtnClose")->GetPos()));
            return true;
        };
    }
    std::string Reports()
    {
        LogReport::Instance().Flush();
        return dir.Read(L"report.log");
    }

    LauncherTestDir dir{88};
    kit::HostWindow owner;
    Handler handler;
    CLoginVerifyWebWindow* window = nullptr;
    int deletions = 0;
    int runs = 0;
};

const std::string kShown = "\"step\":206,\"code\":0,\"text\":\"web verify\"";

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

} // namespace

TEST_F(VerifyWindowTest, WindowAndCloseButton)
{
    const auto calls = Run({[&](HWND w) {
                                if (Browser() == nullptr) return false;
                                wchar_t text[32] = {};
                                ::GetWindowTextW(w, text, 32);
                                EXPECT_STREQ(text, L"Verify me");
                                EXPECT_EQ(::GetClassLongW(w, GCL_STYLE), 0x80Bu);
                                EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(w, GWL_STYLE)) & (WS_POPUP | WS_CAPTION),
                                          static_cast<DWORD>(WS_POPUP));
                                EXPECT_TRUE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
                                RECT rc{};
                                ::GetClientRect(w, &rc);
                                EXPECT_EQ(rc.right, CLoginVerifyWebWindow::kClientWidth);
                                EXPECT_EQ(rc.bottom, CLoginVerifyWebWindow::kClientHeight);
                                EXPECT_EQ(::GetWindow(w, GW_OWNER), owner.Hwnd());
                                EXPECT_FALSE(::IsWindowEnabled(owner.Hwnd()));
                                CWindowHostUI& host = window->GetHost();
                                EXPECT_EQ(std::wstring(host.FindControlByName(L"lblTitle")->GetText().GetData()),
                                          L"Verify me");
                                EXPECT_EQ(std::wstring(Browser()->GetUrl().GetData()), kPage);
                                EXPECT_TRUE(::IsWindowVisible(Browser()->GetBrowser()->GetHWND()));
                                EXPECT_FALSE(host.FindControlByName(L"MB_OK")->IsVisible());
                                EXPECT_FALSE(host.FindControlByName(L"MB_YESNO")->IsVisible());
                                return true;
                            },
                            ClickClose()},
                           L"Verify me");
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"cancelled", L"destroyed"}));
    // Reported on each show.
    EXPECT_EQ(Count(Reports(), kShown), 1u);
    Run({ClickClose()});
    EXPECT_EQ(Count(Reports(), kShown), 2u);
}

TEST_F(VerifyWindowTest, PageResultHandsOverTheTicketAfterTheLoop)
{
    EXPECT_EQ(Run({PageSends(L"{\"result\":\"0\",\"ticket\":\"T\",\"randstr\":\"R\"}")}),
              (std::vector<std::wstring>{L"destroyed", L"ticket T R"}));
    // The same with a handler that deletes the window at once.
    handler.deleteAtOnce = true;
    EXPECT_EQ(Run({PageSends(L"{\"result\":\"0\",\"ticket\":\"T2\",\"randstr\":\"R2\"}")}),
              (std::vector<std::wstring>{L"destroyed", L"ticket T2 R2"}));
}

TEST_F(VerifyWindowTest, OtherPageMessagesCloseWithoutTicket)
{
    const std::wstring texts[] = {
        L"{\"result\":\"1\",\"ticket\":\"T\",\"randstr\":\"R\"}",
        L"{",
        std::wstring(100000, L'['),
        L"{\"result\":0,\"ticket\":1,\"randstr\":2}",
        L"{\"result\":\"0\",\"ticket\":\"" + std::wstring(1000000, L'x') + L"\"}",
    };
    for (const std::wstring& text : texts) {
        EXPECT_EQ(Run({PageSends(text)}), std::vector<std::wstring>{L"destroyed"}) << text.size();
    }
}

TEST_F(VerifyWindowTest, OnlyTheFirstOutcomeCounts)
{
    const auto calls = Run({[&](HWND w) {
        if (!PageSends(L"{\"result\":\"2\"}")(w)) return false;
        PageSends(L"{\"result\":\"0\",\"ticket\":\"T\",\"randstr\":\"R\"}")(w);
        ModalScript::PostClick(w, ModalScript::Centre(window->GetHost().FindControlByName(L"BtnClose")->GetPos()));
        return true;
    }});
    EXPECT_EQ(calls, std::vector<std::wstring>{L"destroyed"});
}

TEST_F(VerifyWindowTest, PageLoadsAndFailures)
{
    const auto calls = Run({[&](HWND) {
                                CWebBrowserUI* control = Browser();
                                if (control == nullptr) return false;
                                // A blank page is never reported; the real page's completion is.
                                control->OnDocumentComplete(control->GetBrowser(), true, L"about:blank");
                                control->OnDocumentComplete(control->GetBrowser(), true, kRealPage);
                                return true;
                            },
                            [&](HWND) {
                                CWebBrowserUI* control = Browser();
                                control->OnNavigateError(control->GetBrowser(), true, kRealPage, 0x800C0005);
                                return true;
                            }});
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"failed", L"destroyed"}));
    const std::string reports = Reports();
    EXPECT_EQ(Count(reports, "\"step\":207,\"code\":0,\"text\":\"\""), 1u);
    EXPECT_EQ(Count(reports, "\"step\":207,\"code\":1,\"text\":\"\""), 1u);
}

// The look, with the game's own caption icon. With OMBREL_SHOW_MS set the window stays up that
// long, for a screenshot of the display.
TEST_F(VerifyWindowTest, Look)
{
    kit::WriteBytesToFile(dir.File(L"data\\88\\2\\skin\\caption_ico.png"),
                          kit::EncodePng(16, 16, std::vector<uint32_t>(256, 0xFFFF8000)));
    char show[16] = {};
    const DWORD showMs = ::GetEnvironmentVariableA("OMBREL_SHOW_MS", show, 16) ? std::strtoul(show, nullptr, 10) : 0;
    DWORD shownAt = 0;
    Run({[&](HWND w) {
             if (Browser() == nullptr) return false;
             const POINT icon = ModalScript::Centre(window->GetHost().FindControlByName(L"captionIcon")->GetPos());
             EXPECT_EQ(kit::CaptureClient(w)->Pixel(icon.x, icon.y), 0xFF8000u);
             shownAt = ::GetTickCount();
             return true;
         },
         [&](HWND) { return ::GetTickCount() - shownAt >= showMs; }, ClickClose()},
        L"安全验证");
}
