// The login's modal windows on real windows, each driven from inside its own modal loop over a
// launcher work dir: the message box (results, look, icons, widening, frame colour, loop endings,
// the system box when the skin cannot be built) and the verify web window (close button, page
// results, page loads and failures), with the verify page's message read as untrusted text.
// Wine loads no pages: the page's script calls go through the browser host's own dispatch
// (window.external), its load events through the web-browser control's handler side.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ModalScript.h"
#include "foundation/BStr.h"
#include "kit/Capture.h"
#include "kit/Fuzz.h"
#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/PngWriter.h"
#include "kit/Probe.h"
#include "kit/Pump.h"
#include "kit/ResourceModule.h"
#include "kit/Text.h"
#include "kit/XmlHost.h"
#include "launcher/LogReport.h"
#include "login/windows/IEWebBrowser.h"
#include "login/windows/LoginVerifyWebWindow.h"
#include "login/windows/MessageBoxView.h"
#include "login/windows/VerifyPageResult.h"
#include "tests/launcher/LauncherTestDir.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"
#include "uitoolkit/core/IContainerUI.h"

using namespace SkinUI;
using Calls = std::vector<std::wstring>;

namespace {

constexpr POINT kOnFrame = {300, 3};  // the message box's tool bar filler shows the frame's colour

// Game 77's data folder (with its skin folder) and an owner window; Run shows a modal window
// through the steps, after which the window must be gone and the owner enabled again.
class ModalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write(L"settings.ini", "[77]\r\nGameDataVersion=1.0\r\n");
        MakeDirs(dir.Path() + L"data\\77\\1.0\\skin");
        ASSERT_TRUE(owner.Open(new kit::Box(L"owner"), 100, 80));
    }
    std::wstring GameFile(const wchar_t* name) const { return dir.File(std::wstring(L"data\\77\\1.0\\") + name); }
    void Run(const wchar_t* windowClass, std::vector<ModalScript::Step> steps, const std::function<void()>& show)
    {
        {
            ModalScript script(windowClass, std::move(steps));
            show();
            EXPECT_TRUE(script.Finished());
        }
        EXPECT_EQ(::FindWindowW(windowClass, nullptr), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
    }
    int Run(CMessageBoxView& box, std::vector<ModalScript::Step> steps)
    {
        int result = -1;
        Run(L"MessageBoxView", std::move(steps), [&] { result = box.ShowModal(owner.Hwnd()); });
        return result;
    }
    // Posts a click on the named control once it shows.
    static ModalScript::Step Click(CWindowHostUI& host, const wchar_t* name)
    {
        return [&host, name](HWND w) {
            CControlUI* button = host.FindControlByName(name);
            if (button == nullptr || !button->IsVisible() || ::IsRectEmpty(&button->GetPos())) return false;
            ModalScript::PostClick(w, ModalScript::Centre(button->GetPos()));
            return true;
        };
    }
    static std::wstring Text(CMessageBoxView& box, const wchar_t* name)
    {
        return box.GetHost().FindControlByName(name)->GetText().GetData();
    }
    std::string Reports()
    {
        LogReport::Instance().Flush();
        return dir.Read(L"report.log");
    }

    LauncherTestDir dir{77};
    kit::HostWindow owner;
};

} // namespace

// Each button's result, the icon of each type, the texts (the skin's own for an empty title and
// message), the cancel button only with its text, the window's styles and owner, and the look.
TEST_F(ModalTest, MessageBoxResultsIconsTextsAndLook)
{
    const struct {
        UINT type;
        const wchar_t* title;
        const wchar_t* cancel;
        const wchar_t* button;
        const wchar_t* icon;
        int result;
        const wchar_t* texts;  // title|message|OK
    } cases[] = {{0, L"Update failed", nullptr, L"BtnOK", L"imgWarnning", 1, L"Update failed|Wait.|确定"},
                 {1, L"Done", L"Later", L"BtnCancel", L"imgSuccess", 2, L"Done|Wait.|确定"},
                 {2, L"Reminder", L"取消", L"BtnClose", L"imgReminder", 8, L"Reminder|Wait.|确定"},
                 {9, L"", nullptr, L"BtnOK", L"imgWarnning", 1, L"提示|msg|确定"}};
    kit::WriteBytesToFile(GameFile(L"config.ini"), "[Public]\r\nBkColor=FF2B5C8A\r\n");
    for (const auto& c : cases) {
        CMessageBoxView box(c.title, *c.title ? L"Wait." : L"", c.type);
        if (c.cancel) box.SetCancelText(c.cancel);
        const auto look = [&](HWND w) {
            for (const wchar_t* icon : {L"imgWarnning", L"imgSuccess", L"imgReminder"})
                EXPECT_EQ(box.GetHost().FindControlByName(icon)->IsVisible(), std::wstring(icon) == c.icon) << c.type;
            EXPECT_EQ(Text(box, L"lblTitle") + L"|" + Text(box, L"edtMsg") + L"|" + Text(box, L"BtnOK"), c.texts);
            EXPECT_EQ(box.GetHost().FindControlByName(L"BtnCancel")->IsVisible(), c.cancel != nullptr);
            EXPECT_EQ(kit::WindowText(w), Text(box, L"lblTitle")) << "the window's text is the shown title";
            EXPECT_EQ(::GetClassLongW(w, GCL_STYLE), 0x80Bu);
            EXPECT_EQ(::GetWindowLongW(w, GWL_STYLE) & WS_CAPTION, 0);
            const LONG ex = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
            EXPECT_EQ(::GetWindowLongW(w, GWL_EXSTYLE) & ex, ex);
            EXPECT_EQ(::GetWindow(w, GW_OWNER), owner.Hwnd());
            EXPECT_FALSE(::IsWindowEnabled(owner.Hwnd()));
            auto shot = kit::CaptureClient(w);
            EXPECT_EQ(shot->Pixel(kOnFrame.x, kOnFrame.y), 0x2B5C8Au);
            EXPECT_EQ(shot->Pixel(200, 60), 0xFFFFFFu);  // white body
            const POINT icon = ModalScript::Centre(box.GetHost().FindControlByName(c.icon)->GetPos());
            EXPECT_TRUE(c.type != 2 || shot->Pixel(icon.x - 12, icon.y) == 0x3A8EE6u) << "the reminder's blue disc";
            return true;
        };
        EXPECT_EQ(Run(box, {look, ModalScript::Hold(), Click(box.GetHost(), c.button)}), c.result);
    }
}

// Lines longer than the skin's width widen the window up to the work area; the frame's colour
// comes from config.ini or is the default.
TEST_F(ModalTest, MessageBoxWidthAndFrameColour)
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    constexpr DWORD kDefault = CMessageBoxView::kDefaultBkColor;
    const std::wstring config = GameFile(L"config.ini");
    const struct {
        std::wstring message;
        long width;
        const char* config;  // null: no config.ini; empty: a folder of that name
        DWORD color;
    } cases[] = {
        {std::wstring(20, L'a'), 382, nullptr, kDefault},
        {std::wstring(25, L'a'), 382 + 40, "", kDefault},
        {L"short\n" + std::wstring(30, L'b') + L"\n\nx", 382 + 80, "[Public]\r\nBkColor=FF102030\r\n", 0xFF102030},
        {std::wstring(2000, L'c'), work.right - work.left, "[Public]\r\nBkColor=\r\n", kDefault},
        {L"m", 382, "[Public]\r\nBkColor=ff80c0e0zz\r\n", 0xFF80C0E0},
        {L"m", 382, "[Other]\r\nBkColor=FF102030\r\n", kDefault},
    };
    for (const auto& c : cases) {
        ::DeleteFileW(config.c_str());
        ::RemoveDirectoryW(config.c_str());
        if (c.config != nullptr && *c.config == 0) ::CreateDirectoryW(config.c_str(), nullptr);
        if (c.config != nullptr && *c.config != 0) kit::WriteBytesToFile(config, c.config);
        CMessageBoxView box(L"t", c.message, 0);
        const auto check = [&](HWND w) {
            RECT rc{};
            ::GetClientRect(w, &rc);
            EXPECT_EQ(kit::Text(SIZE{rc.right, rc.bottom}), kit::Text(SIZE{c.width, 201}));
            EXPECT_EQ(box.GetHost().FindControlByName(L"frameLayout")->GetBkColor(), c.color);
            EXPECT_EQ(kit::CaptureClient(w)->Pixel(kOnFrame.x, kOnFrame.y), c.color & 0xFFFFFF);
            return true;
        };
        EXPECT_EQ(Run(box, {check, Click(box.GetHost(), L"BtnOK")}), 1);
    }
}

TEST_F(ModalTest, MessageBoxLoopEndsByQuitOrCountdown)
{
    CMessageBoxView quit(L"t", L"m", 0);
    EXPECT_EQ(Run(quit, {[](HWND) { return ::PostQuitMessage(9), true; }}), 0);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 9u);

    CMessageBoxView countdown(L"t", L"m", 0);
    countdown.SetCountdown(1);
    EXPECT_EQ(Run(countdown, {[&](HWND) { return Text(countdown, L"BtnOK") == L"确定(1)"; }}), 32000);

}

TEST_F(ModalTest, SystemMessageBoxWhenTheSkinCannotBeBuilt)
{
    kit::ResourceModule broken(dir.File(L"broken.exe"));
    broken.Add(L"XML", CMessageBoxView::kSkinResourceId, "<Window><VerticalLayout");
    ASSERT_TRUE(broken.Load());
    const struct {
        HMODULE module;
        bool cancel;
        WPARAM answer;
        int result;
    } cases[] = {
        {::GetModuleHandleW(L"kernel32.dll"), false, IDOK, 1},  // no skin resource at all
        {broken.Handle(), true, IDCANCEL, 2},
        {broken.Handle(), true, IDOK, 1},
    };
    for (const auto& c : cases) {
        CHostResources::SetResourceModule(c.module);
        CMessageBoxView box(L"Fallback", L"The text", 0);
        if (c.cancel) box.SetCancelText(L"Later");
        ModalScript script(L"#32770", {[&](HWND w) {
                               wchar_t text[64] = {};
                               ::GetDlgItemTextW(w, 0xFFFF, text, 64);
                               EXPECT_EQ(kit::WindowText(w) + L"|" + text, L"Fallback|The text");
                               EXPECT_EQ(::GetDlgItem(w, IDCANCEL) != nullptr, c.cancel);
                               return ::PostMessageW(w, WM_COMMAND, c.answer, 0), true;
                           }});
        EXPECT_EQ(box.ShowModal(owner.Hwnd()), c.result);
        EXPECT_TRUE(script.Finished());
        CHostResources::SetResourceModule(nullptr);
    }
}

namespace {

constexpr UINT kDeleteVerifyWindow = WM_APP + 50;
// The window's address: Wine fails every real address at once (no network), which would close
// the window; load events of the real page are played through the control instead.
constexpr wchar_t kPage[] = L"about:blank";
constexpr wchar_t kRealPage[] = L"https://verify.example/page";
const std::wstring kTicket = L"{\"result\":\"0\",\"ticket\":\"T\",\"randstr\":\"R\"}";

class CountedWindow : public CLoginVerifyWebWindow {
public:
    explicit CountedWindow(int* deletions) : m_deletions(deletions) {}
    ~CountedWindow() override { ++*m_deletions; }

private:
    int* m_deletions;
};

// The login dialog's side: records the calls and deletes the window by a posted message, or at
// once when asked to.
struct Handler : ILoginVerifyWebWindowEventHandler {
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

    Calls calls;
    CLoginVerifyWebWindow* window = nullptr;
    HWND owner = nullptr;
    bool deleteAtOnce = false;
};

// Every run under the guarding allocator; every window deleted once.
class VerifyWindowTest : public ModalTest {
protected:
    void SetUp() override
    {
        ModalTest::SetUp();
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
        EXPECT_EQ(deletions, runs);
    }

    // Shows a new window on kPage through the steps; the handler's calls afterwards.
    Calls Run(std::vector<ModalScript::Step> steps, const std::wstring& title = L"Verify")
    {
        ++runs;
        handler.calls.clear();
        handler.window = window = new CountedWindow(&deletions);
        window->SetEventHandler(&handler);
        ModalTest::Run(L"WebWindow", std::move(steps), [&] { window->ShowVerifyPage(owner.Hwnd(), title, kPage); });
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
            VARIANT v, result;
            ::VariantInit(&v);
            ::VariantInit(&result);
            v.vt = VT_BSTR;
            v.bstrVal = arg.Get();
            DISPPARAMS params = {&v, nullptr, 1, 0};
            EXPECT_EQ(host->Invoke(id, DISPATCH_METHOD, &params, &result), S_OK);
            // Back from the call the browser is hidden, not yet destroyed.
            EXPECT_TRUE(::IsWindow(host->GetHWND()));
            EXPECT_FALSE(::IsWindowVisible(host->GetHWND()));
            return true;
        };
    }
    ModalScript::Step ClickClose()
    {
        return [this](HWND w) { return Browser() != nullptr && Click(window->GetHost(), L"BtnClose")(w); };
    }

    kit::GuardedScope guard;
    Handler handler;
    CLoginVerifyWebWindow* window = nullptr;
    int deletions = 0;
    int runs = 0;
};

} // namespace

TEST_F(VerifyWindowTest, WindowLookAndCloseButton)
{
    kit::WriteBytesToFile(GameFile(L"skin\\caption_ico.png"), kit::EncodePng(16, 16, [](int, int) { return 0xFFFF8000u; }));
    const auto look = [&](HWND w) {
        if (Browser() == nullptr) return false;
        EXPECT_EQ(kit::WindowText(w), L"安全验证");
        EXPECT_EQ(::GetClassLongW(w, GCL_STYLE), 0x80Bu);
        EXPECT_EQ(::GetWindowLongW(w, GWL_STYLE) & (WS_POPUP | WS_CAPTION), static_cast<LONG>(WS_POPUP));
        EXPECT_TRUE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        RECT rc{};
        ::GetClientRect(w, &rc);
        EXPECT_EQ(kit::Text(SIZE{rc.right, rc.bottom}), "310,290");
        EXPECT_EQ(::GetWindow(w, GW_OWNER), owner.Hwnd());
        EXPECT_FALSE(::IsWindowEnabled(owner.Hwnd()));
        CWindowHostUI& host = window->GetHost();
        EXPECT_EQ(std::wstring(host.FindControlByName(L"lblTitle")->GetText().GetData()), L"安全验证");
        EXPECT_EQ(std::wstring(Browser()->GetUrl().GetData()), kPage);
        EXPECT_TRUE(::IsWindowVisible(Browser()->GetBrowser()->GetHWND()));
        EXPECT_FALSE(host.FindControlByName(L"MB_OK")->IsVisible());
        EXPECT_FALSE(host.FindControlByName(L"MB_YESNO")->IsVisible());
        const POINT icon = ModalScript::Centre(host.FindControlByName(L"captionIcon")->GetPos());
        EXPECT_EQ(kit::CaptureClient(w)->Pixel(icon.x, icon.y), 0xFF8000u);  // the game's own caption icon
        return true;
    };
    EXPECT_EQ(Run({look, ModalScript::Hold(), ClickClose()}, L"安全验证"), (Calls{L"cancelled", L"destroyed"}));
    // Reported on each show.
    const std::string shown = "\"step\":206,\"code\":0,\"text\":\"web verify\"";
    EXPECT_NE(Reports().find(shown), std::string::npos);
    Run({ClickClose()});
    EXPECT_NE(Reports().find(shown, Reports().find(shown) + 1), std::string::npos);
}

// A good page result hands the ticket over after the loop (also to a handler that deletes the
// window at once); any other first message closes the window without one; and only the first
// outcome counts: a good result or a click on close afterwards changes nothing.
TEST_F(VerifyWindowTest, PageResultsAndOnlyTheFirstOutcomeCounts)
{
    const struct {
        std::wstring first;
        bool deleteAtOnce;
        Calls calls;
    } cases[] = {
        {L"{\"result\":\"0\",\"ticket\":\"T1\",\"randstr\":\"R1\"}", false, {L"destroyed", L"ticket T1 R1"}},
        {L"{\"result\":\"0\",\"ticket\":\"T2\",\"randstr\":\"R2\"}", true, {L"destroyed", L"ticket T2 R2"}},
        {L"{\"result\":\"2\"}", false, {L"destroyed"}},
        {L"{", false, {L"destroyed"}},
        {L"{\"result\":\"0\",\"ticket\":\"" + std::wstring(1000000, L'x') + L"\"}", false, {L"destroyed"}},
    };
    for (const auto& c : cases) {
        handler.deleteAtOnce = c.deleteAtOnce;
        const auto calls = Run({[&](HWND w) {
            if (!PageSends(c.first)(w)) return false;
            PageSends(kTicket)(w);
            ModalScript::PostClick(w, ModalScript::Centre(window->GetHost().FindControlByName(L"BtnClose")->GetPos()));
            return true;
        }});
        EXPECT_EQ(calls, c.calls) << c.first.size();
    }
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
    EXPECT_EQ(calls, (Calls{L"failed", L"destroyed"}));
    const std::string reports = Reports();
    const std::string loaded = "\"step\":207,\"code\":0,\"text\":\"\"", failed = "\"step\":207,\"code\":1,\"text\":\"\"";
    EXPECT_NE(reports.find(loaded), std::string::npos);
    EXPECT_EQ(reports.find(loaded, reports.find(loaded) + 1), std::string::npos) << "the blank page is not reported";
    EXPECT_NE(reports.find(failed), std::string::npos);
}

namespace {

std::wstring WithTicket(const std::wstring& ticket)
{
    return L"{\"result\":\"0\",\"ticket\":\"" + ticket + L"\",\"randstr\":\"R\"}";
}

} // namespace

TEST(VerifyPageResult, ReadsTheThreeMembers)
{
    const struct {
        std::wstring text;
        bool parsed;
        const wchar_t* result;
        const wchar_t* ticket;
        const wchar_t* randstr;
    } cases[] = {
        {kTicket, true, L"0", L"T", L"R"},
        {L" { \"randstr\" : \"R2\", \"extra\": [1, {\"a\": null}], \"ticket\":\"T2\",\"result\":\"0\" } ", true, L"0",
         L"T2", L"R2"},
        {L"{\"result\":\"1\",\"ticket\":\"T\",\"randstr\":\"R\"}", true, L"1", L"T", L"R"},
        {L"{\"result\":0,\"ticket\":\"T\",\"randstr\":\"R\"}", true, L"", L"T", L"R"},  // a number
        {L"{\"result\":\"0\",\"ticket\":5,\"randstr\":null}", true, L"0", L"", L""},
        {L"{\"result\":\"0\"}", true, L"0", L"", L""},
        {L"{\"ticket\":\"\\u0054\\u00e9\",\"result\":\"0\",\"result\":\"1\"}", true, L"0", L"T\u00e9", L""},
        {L"{}", true, L"", L"", L""},
        {L"{", false, L"", L"", L""},
        {L"", false, L"", L"", L""},
        {L"[\"0\"]", false, L"", L"", L""},
        {L"{\"result\":\"0\"} {}", false, L"", L"", L""},
        {std::wstring(L"{\"result\":\"0\"}\0", 15) + L"xx", false, L"", L"", L""},
        {L"{\"result\":\"0\",\"ticket\":\"\xD800x\"}", false, L"", L"", L""},  // lone surrogate
        {WithTicket(std::wstring(VerifyPageResult::kMaxFieldChars, L't')), true, L"0", nullptr, L"R"},
        {WithTicket(std::wstring(VerifyPageResult::kMaxFieldChars + 1, L't')), false, L"", L"", L""},
        {L"{\"result\":\"0\",\"randstr\":\"" + std::wstring(20000, L'r') + L"\"}", false, L"", L"", L""},
        {L"{\"a\":" + std::wstring(30000, L'[') + L"}", false, L"", L"", L""},  // deep, under the size cap
        {std::wstring(VerifyPageResult::kMaxTextChars, L' ') + L"{}", false, L"", L"", L""},  // over the size cap
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.text.size()) + " units: " +
                     std::string(c.text.begin(), c.text.begin() + std::min<size_t>(c.text.size(), 60)));
        VerifyPageResult out;
        out.ticket = L"stale";
        EXPECT_EQ(VerifyPageResult::Parse(c.text, out), c.parsed);
        EXPECT_EQ(out.result, c.result);
        if (c.ticket != nullptr) {
            EXPECT_EQ(out.ticket, c.ticket);
        }
        EXPECT_EQ(out.randstr, c.randstr);
        EXPECT_EQ(out.IsSuccess(), std::wstring(c.result) == L"0");
    }
}

TEST(VerifyPageResult, DamagedMessagesAreReadOrRefusedWhole)
{
    kit::FuzzRun fuzz;
    const std::wstring samples[] = {kTicket, WithTicket(std::wstring(200, L'x')),
                                    L"{\"result\":\"0\",\"ticket\":\"T\",\"randstr\":\"R\",\"x\":[[{\"y\":[1,2.5e3]}]]}"};
    for (int i = 0; i < 3000; ++i) {
        VerifyPageResult out;
        if (VerifyPageResult::Parse(fuzz.Mutate(samples[i % 3], 6), out)) {
            EXPECT_LE(out.ticket.size(), VerifyPageResult::kMaxFieldChars);
            EXPECT_LE(out.randstr.size(), VerifyPageResult::kMaxFieldChars);
        } else {
            EXPECT_TRUE(out.result.empty() && out.ticket.empty() && out.randstr.empty());
        }
    }
}
