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

// Every handler call as one line ("before 1 https://a/").
class Recorder : public IEBrowserEventHandler {
public:
    void OnBeforeNavigate(IEmbeddedBrowser*, bool top, const wchar_t* url, bool& cancel) override
    {
        Add(L"before " + Top(top) + url);
        cancel = cancelNavigation;
    }
    void OnNavigateError(IEmbeddedBrowser*, bool top, const wchar_t* url, LONG status) override
    {
        Add(L"error " + Top(top) + url + L" " + std::to_wstring(status));
    }
    void OnNavigateComplete(IEmbeddedBrowser*, bool top, const wchar_t* url) override { Add(L"complete " + Top(top) + url); }
    void OnCommandStateChange(IEmbeddedBrowser*, LONG command, LONG enabled) override
    {
        Add(L"command " + std::to_wstring(command) + L" " + std::to_wstring(enabled));
    }
    void OnTitleChange(IEmbeddedBrowser*, const wchar_t* title) override { Add(std::wstring(L"title ") + title); }
    ComPtr<IDispatch> OnNewWindow(IEmbeddedBrowser*, DWORD flags, const wchar_t* referrer, const wchar_t* url) override
    {
        Add(L"new " + std::to_wstring(flags) + L" " + referrer + L" " + url);
        return newWindow;
    }
    void OnDocumentComplete(IEmbeddedBrowser*, bool top, const wchar_t* url) override { Add(L"document " + Top(top) + url); }
    void OnScriptCall(IEmbeddedBrowser*, const wchar_t* method, const wchar_t* argument) override
    {
        Add(std::wstring(L"script ") + method + L" " + argument);
    }

    std::vector<std::wstring> lines;
    bool cancelNavigation = false;
    ComPtr<IDispatch> newWindow;
    std::function<void()> onCall;

private:
    static std::wstring Top(bool top) { return top ? L"1 " : L"0 "; }
    void Add(const std::wstring& line)
    {
        lines.push_back(line);
        if (onCall)
            onCall();
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
    Args& Empty() { return Push(VT_EMPTY, [](VARIANT&) {}); }
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

// A browser in a real window with a recorder, and the objects a page and the browser reach.
struct BrowserBed {
    kit::HostWindow win;
    Recorder rec;
    std::shared_ptr<CIEWebBrowser> browser = std::make_shared<CIEWebBrowser>();

    bool Open()
    {
        if (!win.Open(new kit::Box(L"root"), 400, 300))
            return false;
        browser->SetEventHandler(&rec);
        return browser->Create(win.Hwnd(), RECT{10, 20, 310, 220}) != nullptr && browser->GetWebBrowser() != nullptr;
    }
    template <class I>
    ComPtr<I> SiteAs(REFIID iid) const
    {
        ComPtr<I> out;
        browser->GetSite()->QueryInterface(iid, reinterpret_cast<void**>(out.GetAddressOf()));
        return out;
    }
    ComPtr<IDispatch> External() const
    {
        ComPtr<IDispatch> external;
        SiteAs<IDocHostUIHandler>(IID_IDocHostUIHandler)->GetExternal(external.GetAddressOf());
        return external;
    }
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
    // Another object standing for a frame inside the page.
    ComPtr<IDispatch> Frame() const { return External(); }
    IDispatch* Top() const { return browser->GetWebBrowser(); }
};

std::wstring ClassOf(HWND hWnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    return name;
}

} // namespace

TEST(IEWebBrowser, HostsThePlatformBrowserInAChildContainerWindow)
{
    BrowserBed bed;
    ASSERT_TRUE(bed.Open());
    HWND hWnd = bed.browser->GetHWND();
    EXPECT_EQ(ClassOf(hWnd), L"AtlAxWin120");
    EXPECT_EQ(::GetParent(hWnd), bed.win.Hwnd());
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE)) & (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_POPUP),
              static_cast<DWORD>(WS_CHILD | WS_CLIPCHILDREN));
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(nullptr, bed.win.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.bottom, 220);
    HWND embedding = ::FindWindowExW(hWnd, nullptr, L"Shell Embedding", nullptr);
    ASSERT_NE(embedding, nullptr);
    RECT inner = {};
    ::GetClientRect(embedding, &inner);
    EXPECT_EQ(inner.right, 300);
    EXPECT_EQ(inner.bottom, 200);

    // (Wine keeps no drop-target setting to read back.)
    VARIANT_BOOL silent = 0, asBrowser = 0;
    bed.browser->GetWebBrowser()->get_Silent(&silent);
    bed.browser->GetWebBrowser()->get_RegisterAsBrowser(&asBrowser);
    EXPECT_EQ(silent, VARIANT_TRUE);
    EXPECT_EQ(asBrowser, VARIANT_TRUE);

    // A real navigation reaches the handler through the connected sink; empty addresses go nowhere.
    bed.browser->Navigate(L"");
    bed.browser->Navigate(nullptr);
    EXPECT_TRUE(bed.rec.lines.empty());
    bed.browser->Navigate(L"https://example.invalid/page");
    kit::PumpUntil([&] { return !bed.rec.lines.empty(); }, 2000);
    ASSERT_FALSE(bed.rec.lines.empty());
    EXPECT_EQ(bed.rec.lines[0], L"before 1 https://example.invalid/page");

    // The window keeps the control on its client area.
    ::SetWindowPos(hWnd, nullptr, 0, 0, 120, 90, SWP_NOZORDER | SWP_NOMOVE);
    ::GetClientRect(embedding, &inner);
    EXPECT_EQ(inner.right, 120);
    EXPECT_EQ(inner.bottom, 90);
}

TEST(IEWebBrowser, FailedCreationGivesNoWindowAndLaterRequestsDoNothing)
{
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    CIEWebBrowser browser;
    EXPECT_EQ(browser.Create(gone, RECT{0, 0, 10, 10}), nullptr);
    EXPECT_EQ(browser.GetHWND(), nullptr);
    browser.Navigate(L"https://example.invalid/");
    browser.FocusBrowserWindow();
}

TEST(IEWebBrowser, FocusGoesToThePageWindowOrTheFlashPlayerInIt)
{
    BrowserBed bed;
    ASSERT_TRUE(bed.Open());
    ::ShowWindow(bed.browser->GetHWND(), SW_SHOW);
    HWND view = ::FindWindowExW(::FindWindowExW(bed.browser->GetHWND(), nullptr, L"Shell Embedding", nullptr), nullptr,
                                L"Shell DocObject View", nullptr);
    ASSERT_NE(view, nullptr);
    ::SetFocus(bed.win.Hwnd());
    bed.browser->FocusBrowserWindow();  // no page window: nothing
    EXPECT_EQ(::GetFocus(), bed.win.Hwnd());

    // The page's and the player's windows as the HTML engine would make them.
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    for (const wchar_t* name : {L"Internet Explorer_Server", L"MacromediaFlashPlayerActiveX"}) {
        wc.lpszClassName = name;
        ::RegisterClassW(&wc);
    }
    HWND page = ::CreateWindowExW(0, L"Internet Explorer_Server", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, view, nullptr,
                                  nullptr, nullptr);
    bed.browser->FocusBrowserWindow();
    EXPECT_EQ(::GetFocus(), page);
    HWND flash = ::CreateWindowExW(0, L"MacromediaFlashPlayerActiveX", L"", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, page,
                                   nullptr, nullptr, nullptr);
    bed.browser->FocusBrowserWindow();
    EXPECT_EQ(::GetFocus(), flash);
}

TEST(IEWebBrowser, ExternalResolvesTheScriptNamesExactly)
{
    BrowserBed bed;
    ASSERT_TRUE(bed.Open());
    ComPtr<IDispatch> external = bed.External();
    ASSERT_TRUE(external);
    const struct {
        const wchar_t* name;
        DISPID id;
    } names[] = {{L"TestJsFunc", 1},  {L"NotifyPageLoaded", 5010}, {L"NotifyStartEditContent", 5011}, {L"close", 5013},
                 {L"Close", -1},      {L"notifypageloaded", -1},   {L"", -1},                           {L"closeX", -1}};
    for (const auto& row : names) {
        LPOLESTR name = const_cast<LPOLESTR>(row.name);
        DISPID id = 0;
        EXPECT_EQ(external->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK) << row.name;
        EXPECT_EQ(id, row.id) << row.name;
    }
    // One identifier per name; bad pointers are refused.
    LPOLESTR two[] = {const_cast<LPOLESTR>(L"close"), const_cast<LPOLESTR>(L"TestJsFunc")};
    DISPID ids[2] = {};
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, two, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 5013);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, nullptr, 1, 0, ids), E_POINTER);

    // COM identity: IUnknown and IDispatch are the same object; nothing else is offered.
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(external->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(external.Get()));
    ComPtr<IUnknown> other;
    EXPECT_EQ(external->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(other.GetAddressOf())), E_NOINTERFACE);
    EXPECT_EQ(external->QueryInterface(IID_IDispatch, nullptr), E_NOINTERFACE);
    UINT count = 0;
    EXPECT_EQ(external->GetTypeInfoCount(&count), E_NOTIMPL);
}

TEST(IEWebBrowser, ExternalCallsReachTheHandlerOnlyWithTheRightArguments)
{
    BrowserBed bed;
    ASSERT_TRUE(bed.Open());
    ComPtr<IDispatch> external = bed.External();
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
        bed.rec.lines.clear();
        Args args;
        row.args(args);
        EXPECT_EQ(args.Invoke(external.Get(), row.id, row.flags), S_OK);
        EXPECT_EQ(bed.rec.lines, row.call ? std::vector<std::wstring>{row.call} : std::vector<std::wstring>{});
        EXPECT_EQ(args.result.vt, row.answersTrue ? VT_BOOL : VT_EMPTY);
        if (row.answersTrue) {
            EXPECT_EQ(args.result.boolVal, 1);
        }
    }
}

TEST(IEWebBrowser, BrowserEventsReachTheHandlerThroughTheSink)
{
    BrowserBed bed;
    ASSERT_TRUE(bed.Open());
    ComPtr<IDispatch> sink = bed.Sink();
    ASSERT_TRUE(sink);
    ComPtr<IDispatch> frame = bed.Frame();
    ComPtr<IDispatch> popup = bed.External();  // any dispatch stands for the new window's browser
    IDispatch* top = bed.Top();
    const struct {
        const char* name;
        DISPID id;
        std::function<void(Args&)> args;
        const wchar_t* call;
        VARIANT_BOOL cancel;
        bool cancelNavigation;
    } rows[] = {
        {"before, top level", DISPID_BEFORENAVIGATE2,
         [&](Args& a) { a.Dispatch(top).TextRef(L"https://a/").Empty().Empty().Empty().Empty().CancelOut(); },
         L"before 1 https://a/", VARIANT_FALSE, false},
        {"before, frame, refused", DISPID_BEFORENAVIGATE2,
         [&](Args& a) { a.Dispatch(frame.Get()).Text(L"https://a/f").Empty().Empty().Empty().Empty().CancelOut(); },
         L"before 0 https://a/f", VARIANT_TRUE, true},
        {"before, no text address", DISPID_BEFORENAVIGATE2,
         [&](Args& a) { a.Dispatch(top).Long(3).Empty().Empty().Empty().Empty().CancelOut(); }, nullptr, kUntouched,
         false},
        {"before, wrong count", DISPID_BEFORENAVIGATE2, [&](Args& a) { a.Dispatch(top).TextRef(L"https://a/"); },
         nullptr, kUntouched, false},
        {"error", DISPID_NAVIGATEERROR,
         [&](Args& a) { a.Dispatch(top).TextRef(L"https://a/").Empty().Long(404).CancelOut(); },
         L"error 1 https://a/ 404", VARIANT_TRUE, false},
        {"error without address", DISPID_NAVIGATEERROR,
         [&](Args& a) { a.Dispatch(top).Empty().Empty().Long(404).CancelOut(); }, nullptr, VARIANT_TRUE, false},
        {"complete", DISPID_NAVIGATECOMPLETE2, [&](Args& a) { a.Dispatch(top).TextRef(L"https://a/"); },
         L"complete 1 https://a/", kUntouched, false},
        {"document, frame", DISPID_DOCUMENTCOMPLETE, [&](Args& a) { a.Dispatch(frame.Get()).Text(L"https://a/f"); },
         L"document 0 https://a/f", kUntouched, false},
        {"title", DISPID_TITLECHANGE, [&](Args& a) { a.Text(L"Title"); }, L"title Title", kUntouched, false},
        {"command", DISPID_COMMANDSTATECHANGE, [&](Args& a) { a.Long(2).Bool(VARIANT_TRUE); }, L"command 2 -1",
         kUntouched, false},
        {"new window, empty address", DISPID_NEWWINDOW3,
         [&](Args& a) { a.WindowOut().CancelOut().Long(4).Text(L"https://r/").Text(L""); }, nullptr, VARIANT_TRUE,
         false},
        {"new window refused", DISPID_NEWWINDOW3,
         [&](Args& a) { a.WindowOut().CancelOut().Long(4).Text(L"https://r/").Text(L"https://n/"); },
         L"new 4 https://r/ https://n/", VARIANT_TRUE, false},
        {"progress", DISPID_PROGRESSCHANGE, [&](Args& a) { a.Long(1).Long(2); }, nullptr, kUntouched, false},
        {"status text", DISPID_STATUSTEXTCHANGE, [&](Args& a) { a.Text(L"s"); }, nullptr, kUntouched, false},
        {"closing", DISPID_WINDOWCLOSING, [&](Args& a) { a.Bool(VARIANT_FALSE).CancelOut(); }, nullptr, kUntouched,
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        bed.rec.lines.clear();
        bed.rec.cancelNavigation = row.cancelNavigation;
        Args args;
        row.args(args);
        args.Invoke(sink.Get(), row.id);
        EXPECT_EQ(bed.rec.lines, row.call ? std::vector<std::wstring>{row.call} : std::vector<std::wstring>{});
        EXPECT_EQ(args.cancel, row.cancel);
    }

    // A browser for the new window lets it open and is handed to the caller.
    bed.rec.newWindow = popup;
    Args args;
    args.WindowOut().CancelOut().Long(0).Text(L"").Text(L"https://n/");
    args.Invoke(sink.Get(), DISPID_NEWWINDOW3);
    EXPECT_EQ(args.cancel, VARIANT_FALSE);
    EXPECT_EQ(args.window, popup.Get());
    ComPtr<IDispatch>::Adopt(args.window);
}

TEST(IEWebBrowser, HostShapesTheBrowserAndSilencesScriptErrors)
{
    BrowserBed bed;
    ASSERT_TRUE(bed.Open());
    ComPtr<IDocHostUIHandler> ui = bed.SiteAs<IDocHostUIHandler>(IID_IDocHostUIHandler);
    ComPtr<IOleCommandTarget> commands = bed.SiteAs<IOleCommandTarget>(IID_IOleCommandTarget);
    ASSERT_TRUE(ui && commands);

    DOCHOSTUIINFO info = {};
    EXPECT_EQ(ui->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_EQ(info.dwFlags, 0x40044004u);
    EXPECT_EQ(info.dwDoubleClick, static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT));
    EXPECT_EQ(ui->GetHostInfo(nullptr), S_OK);
    EXPECT_EQ(ui->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_FALSE);
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
    OLECMD cmd = {OLECMDID_SHOWSCRIPTERROR, 0};
    EXPECT_EQ(commands->QueryStatus(&kDocHostCommandHandler, 1, &cmd, nullptr), OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(commands->QueryStatus(nullptr, 1, &cmd, nullptr), OLECMDERR_E_NOTSUPPORTED);
}

// The page keeps window.external, and the browser keeps the sink, after the browser object is
// gone: later calls answer on their own and reach nobody.
TEST(IEWebBrowser, PageAndBrowserOutliveTheHostObject)
{
    kit::GuardedScope guard;
    BrowserBed bed;
    ASSERT_TRUE(bed.Open());
    ComPtr<IDispatch> external = bed.External();
    ComPtr<IDispatch> sink = bed.Sink();
    ASSERT_TRUE(external && sink);
    bed.browser.reset();

    Args call;
    EXPECT_EQ(call.Invoke(external.Get(), 5013), S_OK);
    EXPECT_EQ(call.result.vt, VT_BOOL);
    LPOLESTR name = const_cast<LPOLESTR>(L"NotifyPageLoaded");
    DISPID id = 0;
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 5010);
    Args event;
    event.Text(L"late title");
    EXPECT_EQ(event.Invoke(sink.Get(), DISPID_TITLECHANGE), S_OK);
    EXPECT_TRUE(bed.rec.lines.empty());
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
    control->SetName(L"web");
    root->Add(control);
    kit::HostWindow win;
    kit::NotifyRecorder rec;
    ASSERT_TRUE(win.Open(root, 300, 200));
    win.Host()->AddNotifyListener(&rec);
    ASSERT_TRUE(win.Layout());
    auto* browser = dynamic_cast<CIEWebBrowser*>(control->GetBrowser());
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(::IsWindowVisible(browser->GetHWND()));
    ::SendMessageW(win.Hwnd(), WM_NULL, 0, 0);  // the queued notice goes out with the next message
    EXPECT_EQ(rec.Count(L"WebBrowserMsg"), 1);

    ComPtr<IDocHostUIHandler> ui;
    browser->GetSite()->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(ui.GetAddressOf()));
    ComPtr<IDispatch> external;
    ui->GetExternal(external.GetAddressOf());
    std::wstring method, argument;
    rec.onNotify = [&](SkinUI::NotifyMessage& msg) {
        if (msg.type != L"WebCallClient")
            return;
        method = reinterpret_cast<const wchar_t*>(msg.wParam);
        argument = reinterpret_cast<const wchar_t*>(msg.lParam);
        root->Remove(control);
    };
    Args call;
    call.Text(L"{\"result\":\"0\",\"ticket\":\"T\"}");
    EXPECT_EQ(call.Invoke(external.Get(), 5011), S_OK);
    EXPECT_EQ(call.result.vt, VT_BOOL);
    EXPECT_EQ(method, L"NotifyStartEditContent");
    EXPECT_EQ(argument, L"{\"result\":\"0\",\"ticket\":\"T\"}");
    EXPECT_EQ(root->Count(), 0);

    Args late;
    EXPECT_EQ(late.Invoke(external.Get(), 5013), S_OK);
    external = nullptr;
    EXPECT_TRUE(kit::NoFreedMemoryTouched());
}
