// The embedded browser host on the platform's web browser. Wine loads no documents and runs no
// scripts, so the page's side is played in process: window.external through the host's
// IDocHostUIHandler::GetExternal and IDispatch, as the page's engine reaches it, and browser
// events as DWebBrowserEvents2 calls on the sink the browser itself holds.
#include <gtest/gtest.h>

#include <exdispid.h>
#include <mshtmhst.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "foundation/BStr.h"
#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/NotifyRecorder.h"
#include "kit/Probe.h"
#include "kit/Pump.h"
#include "login/windows/IEWebBrowser.h"
#include "login/windows/WebBrowserHost.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"

namespace {

constexpr VARIANT_BOOL kUntouched = 0x55;
constexpr GUID kDocHostCommandHandler = {0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};
using Lines = std::vector<std::wstring>;

// Every handler call as one line of its parts ("before 1 https://a/": 1 for the top level, 0 for a frame).
class Recorder : public IEBrowserEventHandler {
public:
    void OnBeforeNavigate(IEmbeddedBrowser*, bool top, const wchar_t* url, bool& cancel) override
    {
        Add(L"before", top, url);
        cancel = cancelNavigation;
    }
    void OnNavigateError(IEmbeddedBrowser*, bool top, const wchar_t* url, LONG code) override { Add(L"error", top, url, code); }
    void OnNavigateComplete(IEmbeddedBrowser*, bool top, const wchar_t* url) override { Add(L"complete", top, url); }
    void OnCommandStateChange(IEmbeddedBrowser*, LONG command, LONG on) override { Add(L"command", command, on); }
    void OnTitleChange(IEmbeddedBrowser*, const wchar_t* title) override { Add(L"title", title); }
    ComPtr<IDispatch> OnNewWindow(IEmbeddedBrowser*, DWORD flags, const wchar_t* referrer, const wchar_t* url) override
    {
        Add(L"new", static_cast<LONG>(flags), referrer, url);
        return newWindow;
    }
    void OnDocumentComplete(IEmbeddedBrowser*, bool top, const wchar_t* url) override { Add(L"document", top, url); }
    void OnScriptCall(IEmbeddedBrowser*, const wchar_t* method, const wchar_t* arg) override { Add(L"script", method, arg); }

    Lines lines;
    bool cancelNavigation = false;
    ComPtr<IDispatch> newWindow;

private:
    static std::wstring Part(const wchar_t* text) { return text; }
    static std::wstring Part(bool top) { return top ? L"1" : L"0"; }
    static std::wstring Part(LONG n) { return std::to_wstring(n); }
    template <class... P>
    void Add(const P&... parts)
    {
        std::wstring line;
        ((line += Part(parts) + L" "), ...);
        lines.push_back(line.substr(0, line.size() - 1));
    }
};

// Arguments of one dispatch call, written in declaration order and handed over last first.
class Args {
public:
    Args& Dispatch(IDispatch* object) { return Push(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = object; }); }
    Args& Text(const wchar_t* text)
    {
        BSTR s = m_texts.emplace_back(text).Get();
        return Push(VT_BSTR, [&](VARIANT& v) { v.bstrVal = s; });
    }
    // A string behind a by-reference VARIANT, as the browser passes addresses.
    Args& TextRef(const wchar_t* text)
    {
        VARIANT& inner = m_inner.emplace_back();
        inner.vt = VT_BSTR;
        inner.bstrVal = m_texts.emplace_back(text).Get();
        return Push(VT_BYREF | VT_VARIANT, [&](VARIANT& v) { v.pvarVal = &inner; });
    }
    Args& Long(LONG n) { return Push(VT_I4, [&](VARIANT& v) { v.lVal = n; }); }
    Args& Bool(VARIANT_BOOL b) { return Push(VT_BOOL, [&](VARIANT& v) { v.boolVal = b; }); }
    Args& Empty(int n = 1)
    {
        for (int i = 0; i < n; ++i) Push(VT_EMPTY, [](VARIANT&) {});
        return *this;
    }
    Args& CancelOut() { return Push(VT_BYREF | VT_BOOL, [&](VARIANT& v) { v.pboolVal = &cancel; }); }
    Args& WindowOut() { return Push(VT_BYREF | VT_DISPATCH, [&](VARIANT& v) { v.ppdispVal = &window; }); }

    HRESULT Invoke(IDispatch* target, DISPID id, WORD flags = DISPATCH_METHOD)
    {
        std::vector<VARIANT> reversed(m_args.rbegin(), m_args.rend());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        ::VariantInit(&result);
        return target->Invoke(id, IID_NULL, 0, flags, &params, &result, nullptr, nullptr);
    }

    VARIANT_BOOL cancel = kUntouched;
    IDispatch* window = nullptr;
    VARIANT result = {};

private:
    template <class F>
    Args& Push(VARTYPE vt, F fill)
    {
        VARIANT v = {};
        v.vt = vt;
        fill(v);
        m_args.push_back(v);
        return *this;
    }
    std::vector<VARIANT> m_args;
    std::deque<VARIANT> m_inner;
    std::deque<BStr> m_texts;
};

DISPID IdOf(IDispatch* target, const wchar_t* name)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 0;
    EXPECT_EQ(target->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    return id;
}

template <class I>
ComPtr<I> SiteAs(CIEWebBrowser& browser, REFIID iid)
{
    ComPtr<I> out;
    browser.GetSite()->QueryInterface(iid, reinterpret_cast<void**>(out.GetAddressOf()));
    return out;
}

ComPtr<IDispatch> ExternalOf(CIEWebBrowser& browser)
{
    ComPtr<IDispatch> external;
    SiteAs<IDocHostUIHandler>(browser, IID_IDocHostUIHandler)->GetExternal(external.GetAddressOf());
    return external;
}

// A browser in a real window with a recorder, and the objects a page and the browser reach.
struct BrowserTest : ::testing::Test {
    kit::HostWindow win;
    Recorder rec;
    std::shared_ptr<CIEWebBrowser> browser = std::make_shared<CIEWebBrowser>();

    void SetUp() override
    {
        ASSERT_TRUE(win.Open(new kit::Box(L"root"), 400, 300));
        browser->SetEventHandler(&rec);
        ASSERT_NE(browser->Create(win.Hwnd(), RECT{10, 20, 310, 220}), nullptr);
        ASSERT_NE(browser->GetWebBrowser(), nullptr);
    }
    ComPtr<IDispatch> External() const { return ExternalOf(*browser); }
    // The sink connected to the browser's DWebBrowserEvents2 connection point.
    ComPtr<IDispatch> Sink() const
    {
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        ComPtr<IEnumConnections> connections;
        browser->GetWebBrowser()->QueryInterface(IID_IConnectionPointContainer,
                                                 reinterpret_cast<void**>(container.GetAddressOf()));
        container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.GetAddressOf());
        point->EnumConnections(connections.GetAddressOf());
        CONNECTDATA data = {};
        ULONG fetched = 0;
        ComPtr<IDispatch> sink;
        // Wine's enumerator hands the sink out without a reference of its own: none is released.
        if (connections && connections->Next(1, &data, &fetched) == S_OK)
            data.pUnk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(sink.GetAddressOf()));
        return sink;
    }
    // The client rectangle of the browser's "Shell Embedding" window.
    RECT Embedding() const
    {
        RECT inner = {};
        ::GetClientRect(::FindWindowExW(browser->GetHWND(), nullptr, L"Shell Embedding", nullptr), &inner);
        return inner;
    }
};

} // namespace

TEST_F(BrowserTest, HostsThePlatformBrowserInAChildContainerWindow)
{
    HWND hWnd = browser->GetHWND();
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    EXPECT_STREQ(name, L"AtlAxWin120");
    EXPECT_EQ(::GetParent(hWnd), win.Hwnd());
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE)) & (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_POPUP),
              static_cast<DWORD>(WS_CHILD | WS_CLIPCHILDREN));
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(nullptr, win.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.bottom, 220);
    EXPECT_EQ(Embedding().right, 300);
    EXPECT_EQ(Embedding().bottom, 200);
    // The window keeps the control on its client area.
    ::SetWindowPos(hWnd, nullptr, 0, 0, 120, 90, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(Embedding().right, 120);
    EXPECT_EQ(Embedding().bottom, 90);

    // (Wine keeps no drop-target setting to read back.)
    VARIANT_BOOL silent = 0, asBrowser = 0;
    browser->GetWebBrowser()->get_Silent(&silent);
    browser->GetWebBrowser()->get_RegisterAsBrowser(&asBrowser);
    EXPECT_EQ(silent, VARIANT_TRUE);
    EXPECT_EQ(asBrowser, VARIANT_TRUE);

    // A real navigation reaches the handler through the connected sink; empty addresses go nowhere.
    browser->Navigate(L"");
    browser->Navigate(nullptr);
    EXPECT_TRUE(rec.lines.empty());
    browser->Navigate(L"https://example.invalid/page");
    kit::PumpUntil([&] { return !rec.lines.empty(); }, 2000);
    ASSERT_FALSE(rec.lines.empty());
    EXPECT_EQ(rec.lines[0], L"before 1 https://example.invalid/page");

    // A creation that fails gives no window, and later requests do nothing.
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    CIEWebBrowser failed;
    EXPECT_EQ(failed.Create(gone, RECT{0, 0, 10, 10}), nullptr);
    EXPECT_EQ(failed.GetHWND(), nullptr);
    failed.Navigate(L"https://example.invalid/");
    failed.FocusBrowserWindow();
}

TEST_F(BrowserTest, FocusGoesToThePageWindowOrTheFlashPlayerInIt)
{
    ::ShowWindow(browser->GetHWND(), SW_SHOW);
    HWND view = ::FindWindowExW(::FindWindowExW(browser->GetHWND(), nullptr, L"Shell Embedding", nullptr), nullptr,
                                L"Shell DocObject View", nullptr);
    ASSERT_NE(view, nullptr);
    ::SetFocus(win.Hwnd());
    browser->FocusBrowserWindow();  // no page window: nothing
    EXPECT_EQ(::GetFocus(), win.Hwnd());
    // The page's and the player's windows as the HTML engine would make them, each inside the last.
    HWND parent = view;
    for (const wchar_t* name : {L"Internet Explorer_Server", L"MacromediaFlashPlayerActiveX"}) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.lpszClassName = name;
        ::RegisterClassW(&wc);
        parent = ::CreateWindowExW(0, name, L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent, nullptr, nullptr, nullptr);
        browser->FocusBrowserWindow();
        EXPECT_EQ(::GetFocus(), parent);
    }
}

TEST_F(BrowserTest, ExternalResolvesTheScriptNamesAndCallsTheHandlerOnlyWithTheRightArguments)
{
    ComPtr<IDispatch> external = External();
    ASSERT_TRUE(external);
    const std::pair<const wchar_t*, DISPID> names[] = {
        {L"TestJsFunc", 1}, {L"NotifyPageLoaded", 5010}, {L"NotifyStartEditContent", 5011}, {L"close", 5013},
        {L"Close", -1},     {L"", -1},                   {L"closeX", -1}};
    for (const auto& [name, id] : names)
        EXPECT_EQ(IdOf(external.Get(), name), id) << testing::PrintToString(std::wstring(name));
    // One identifier per name; bad pointers are refused.
    LPOLESTR two[] = {const_cast<LPOLESTR>(L"close"), const_cast<LPOLESTR>(L"TestJsFunc")};
    DISPID ids[2] = {};
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, two, 2, 0, ids), S_OK);
    EXPECT_EQ(std::vector<DISPID>(ids, ids + 2), (std::vector<DISPID>{5013, 1}));
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, nullptr, 1, 0, ids), E_POINTER);
    // COM identity: IUnknown and IDispatch are the same object; nothing else is offered.
    ComPtr<IUnknown> unknown, other;
    EXPECT_EQ(external->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(external.Get()));
    EXPECT_EQ(external->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(other.GetAddressOf())), E_NOINTERFACE);
    EXPECT_EQ(external->QueryInterface(IID_IDispatch, nullptr), E_NOINTERFACE);

    const struct {
        const char* name;
        DISPID id;
        WORD flags;
        std::function<void(Args&)> args;
        const wchar_t* call;  // null: no handler call
        bool answersTrue;
    } rows[] = {
        {"page loaded", 5010, DISPATCH_METHOD, [](Args&) {}, L"script NotifyPageLoaded ", true},
        {"edit content", 5011, DISPATCH_METHOD, [](Args& a) { a.Text(L"{\"result\":\"0\"}"); },
         L"script NotifyStartEditContent {\"result\":\"0\"}", true},
        {"null text is empty", 5011, DISPATCH_METHOD, [](Args& a) { a.Text(nullptr); }, L"script NotifyStartEditContent ",
         true},
        {"number", 5011, DISPATCH_METHOD, [](Args& a) { a.Long(7); }, nullptr, true},
        {"text by reference", 5011, DISPATCH_METHOD, [](Args& a) { a.TextRef(L"x"); }, nullptr, true},
        {"two texts", 5011, DISPATCH_METHOD, [](Args& a) { a.Text(L"a").Text(L"b"); }, nullptr, true},
        {"no text", 5011, DISPATCH_METHOD, [](Args&) {}, nullptr, true},
        {"close", 5013, DISPATCH_METHOD | DISPATCH_PROPERTYGET, [](Args&) {}, L"script close ", true},
        {"property read", 5011, DISPATCH_PROPERTYGET, [](Args&) {}, nullptr, true},
        {"test function", 1, DISPATCH_METHOD, [](Args&) {}, nullptr, false},
        {"unknown", -1, DISPATCH_METHOD, [](Args&) {}, nullptr, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        rec.lines.clear();
        Args args;
        row.args(args);
        EXPECT_EQ(args.Invoke(external.Get(), row.id, row.flags), S_OK);
        EXPECT_EQ(rec.lines, row.call ? Lines{row.call} : Lines{});
        EXPECT_EQ(args.result.vt, row.answersTrue ? VT_BOOL : VT_EMPTY);
        EXPECT_EQ(args.result.boolVal, row.answersTrue ? 1 : 0);
    }
}

TEST_F(BrowserTest, BrowserEventsReachTheHandlerThroughTheSink)
{
    ComPtr<IDispatch> sink = Sink();
    ASSERT_TRUE(sink);
    ComPtr<IDispatch> frame = External();  // any other dispatch stands for a frame, or a new window's browser
    IDispatch* top = browser->GetWebBrowser();
    const struct {
        const char* name;
        DISPID id;
        std::function<void(Args&)> args;
        const wchar_t* call;
        VARIANT_BOOL cancel;
        bool cancelNavigation;
    } rows[] = {
        {"before, top level", DISPID_BEFORENAVIGATE2,
         [&](Args& a) { a.Dispatch(top).TextRef(L"https://a/").Empty(4).CancelOut(); },
         L"before 1 https://a/", VARIANT_FALSE, false},
        {"before, frame, refused", DISPID_BEFORENAVIGATE2,
         [&](Args& a) { a.Dispatch(frame.Get()).Text(L"https://a/f").Empty(4).CancelOut(); }, L"before 0 https://a/f",
         VARIANT_TRUE, true},
        {"before, no text address", DISPID_BEFORENAVIGATE2, [&](Args& a) { a.Dispatch(top).Long(3).Empty(4).CancelOut(); },
         nullptr, kUntouched, false},
        {"before, wrong count", DISPID_BEFORENAVIGATE2, [&](Args& a) { a.Dispatch(top).TextRef(L"https://a/"); }, nullptr,
         kUntouched, false},
        {"error", DISPID_NAVIGATEERROR,
         [&](Args& a) { a.Dispatch(top).TextRef(L"https://a/").Empty().Long(404).CancelOut(); },
         L"error 1 https://a/ 404", VARIANT_TRUE, false},
        {"error without address", DISPID_NAVIGATEERROR, [&](Args& a) { a.Dispatch(top).Empty(2).Long(404).CancelOut(); },
         nullptr, VARIANT_TRUE, false},
        {"complete", DISPID_NAVIGATECOMPLETE2, [&](Args& a) { a.Dispatch(top).TextRef(L"https://a/"); },
         L"complete 1 https://a/", kUntouched, false},
        {"document, frame", DISPID_DOCUMENTCOMPLETE, [&](Args& a) { a.Dispatch(frame.Get()).Text(L"https://a/f"); },
         L"document 0 https://a/f", kUntouched, false},
        {"title", DISPID_TITLECHANGE, [&](Args& a) { a.Text(L"Title"); }, L"title Title", kUntouched, false},
        {"command", DISPID_COMMANDSTATECHANGE, [&](Args& a) { a.Long(2).Bool(VARIANT_TRUE); }, L"command 2 -1",
         kUntouched, false},
        {"new window, empty address", DISPID_NEWWINDOW3,
         [&](Args& a) { a.WindowOut().CancelOut().Long(4).Text(L"https://r/").Text(L""); }, nullptr, VARIANT_TRUE, false},
        {"new window refused", DISPID_NEWWINDOW3,
         [&](Args& a) { a.WindowOut().CancelOut().Long(4).Text(L"https://r/").Text(L"https://n/"); },
         L"new 4 https://r/ https://n/", VARIANT_TRUE, false},
        {"closing", DISPID_WINDOWCLOSING, [&](Args& a) { a.Bool(VARIANT_FALSE).CancelOut(); }, nullptr, kUntouched, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        rec.lines.clear();
        rec.cancelNavigation = row.cancelNavigation;
        Args args;
        row.args(args);
        args.Invoke(sink.Get(), row.id);
        EXPECT_EQ(rec.lines, row.call ? Lines{row.call} : Lines{});
        EXPECT_EQ(args.cancel, row.cancel);
    }
    // A browser for the new window lets it open and is handed to the caller.
    rec.newWindow = frame;
    Args args;
    args.WindowOut().CancelOut().Long(0).Text(L"").Text(L"https://n/");
    args.Invoke(sink.Get(), DISPID_NEWWINDOW3);
    EXPECT_EQ(args.cancel, VARIANT_FALSE);
    EXPECT_EQ(args.window, frame.Get());
    ComPtr<IDispatch>::Adopt(args.window);
}

TEST_F(BrowserTest, HostShapesTheBrowserAndSilencesScriptErrors)
{
    ComPtr<IDocHostUIHandler> ui = SiteAs<IDocHostUIHandler>(*browser, IID_IDocHostUIHandler);
    ComPtr<IOleCommandTarget> commands = SiteAs<IOleCommandTarget>(*browser, IID_IOleCommandTarget);
    ASSERT_TRUE(ui && commands);
    DOCHOSTUIINFO info = {};
    EXPECT_EQ(ui->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_EQ(info.dwFlags, 0x40044004u);
    EXPECT_EQ(info.dwDoubleClick, static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT));
    EXPECT_EQ(ui->GetHostInfo(nullptr), S_OK);
    LPWSTR translated = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(ui->TranslateUrl(0, const_cast<LPWSTR>(L"https://a/"), &translated), S_FALSE);
    EXPECT_EQ(translated, nullptr);
    IDataObject* data = reinterpret_cast<IDataObject*>(1);
    EXPECT_EQ(ui->FilterDataObject(nullptr, &data), S_FALSE);
    EXPECT_EQ(data, nullptr);

    const GUID other = IID_IUnknown;
    const struct {
        const GUID* group;
        DWORD command;
        HRESULT hr;
    } rows[] = {{&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, S_OK},
                {&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR + 1, OLECMDERR_E_UNKNOWNGROUP},
                {&other, OLECMDID_SHOWSCRIPTERROR, OLECMDERR_E_UNKNOWNGROUP},
                {nullptr, OLECMDID_SHOWSCRIPTERROR, OLECMDERR_E_NOTSUPPORTED}};
    for (const auto& row : rows) {
        VARIANT out = {};
        EXPECT_EQ(commands->Exec(row.group, row.command, 0, nullptr, &out), row.hr);
        EXPECT_EQ(out.vt, row.hr == S_OK ? VT_BOOL : VT_EMPTY);
        EXPECT_EQ(out.boolVal, row.hr == S_OK ? VARIANT_TRUE : 0);
    }
}

// The page keeps window.external, and the browser keeps the sink, after the browser object is
// gone: later calls answer on their own and reach nobody.
TEST_F(BrowserTest, PageAndBrowserOutliveTheHostObject)
{
    kit::GuardedScope guard;
    ComPtr<IDispatch> external = External();
    ComPtr<IDispatch> sink = Sink();
    ASSERT_TRUE(external && sink);
    browser.reset();
    Args call, event;
    EXPECT_EQ(call.Invoke(external.Get(), 5013), S_OK);
    EXPECT_EQ(call.result.vt, VT_BOOL);
    EXPECT_EQ(IdOf(external.Get(), L"NotifyPageLoaded"), 5010);
    event.Text(L"late title");
    EXPECT_EQ(event.Invoke(sink.Get(), DISPID_TITLECHANGE), S_OK);
    EXPECT_TRUE(rec.lines.empty());
    external = nullptr;
    sink = nullptr;
}

// The web-browser control on the real browser: the page's call becomes "WebCallClient", and a
// listener that deletes the control there pulls the browser out from under the page's call.
TEST(IEWebBrowser, ControlTurnsThePageCallIntoANotificationThatMayDeleteIt)
{
    kit::GuardedScope guard;
    auto* root = new kit::Box(L"root");
    auto* control = new SkinUI::CWebBrowserUI(&CIEWebBrowser::Make);
    root->Add(control);
    kit::NotifyRecorder rec;  // outlives the window, which notifies as it closes
    kit::HostWindow win;
    ASSERT_TRUE(win.Open(root, 300, 200));
    win.Host()->AddNotifyListener(&rec);
    ASSERT_TRUE(win.Layout());
    auto* browser = dynamic_cast<CIEWebBrowser*>(control->GetBrowser());
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(::IsWindowVisible(browser->GetHWND()));
    ::SendMessageW(win.Hwnd(), WM_NULL, 0, 0);  // the queued notice goes out with the next message
    EXPECT_EQ(rec.Count(L"WebBrowserMsg"), 1);

    ComPtr<IDispatch> external = ExternalOf(*browser);
    std::wstring method, argument;
    rec.onNotify = [&](SkinUI::NotifyMessage& msg) {
        if (msg.type != L"WebCallClient") return;
        method = reinterpret_cast<const wchar_t*>(msg.wParam);
        argument = reinterpret_cast<const wchar_t*>(msg.lParam);
        root->Remove(control);
    };
    Args call, late;
    call.Text(L"{\"result\":\"0\",\"ticket\":\"T\"}");
    EXPECT_EQ(call.Invoke(external.Get(), 5011), S_OK);
    EXPECT_EQ(call.result.vt, VT_BOOL);
    EXPECT_EQ(method + L" " + argument, L"NotifyStartEditContent {\"result\":\"0\",\"ticket\":\"T\"}");
    EXPECT_EQ(root->Count(), 0);
    EXPECT_EQ(late.Invoke(external.Get(), 5013), S_OK);
    external = nullptr;
    EXPECT_TRUE(kit::NoFreedMemoryTouched());
}
