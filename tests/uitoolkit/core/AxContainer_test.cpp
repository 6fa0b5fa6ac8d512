// The OLE control container: the "AtlAxWin120" window class hosting the control its text names
// (the platform's web browser here), the site's and in-place frame's answers, and the event sink
// on a stand-in connection point.
#include <gtest/gtest.h>

#include <exdisp.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "foundation/ComImpl.h"
#include "kit/GuardedHeap.h"
#include "kit/Pump.h"
#include "uitoolkit/core/AxContainerWnd.h"
#include "uitoolkit/core/AxInPlaceFrame.h"
#include "uitoolkit/core/DispEventSink.h"
#include "uitoolkit/core/OleControlUtil.h"

using namespace SkinUI;

namespace {

struct OleApartment {
    OleApartment() { ::OleInitialize(nullptr); }
    ~OleApartment() { ::OleUninitialize(); }
};

class ContainerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CAxContainerWnd::RegisterContainerClass());
        m_parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr,
                                     nullptr, nullptr);
    }
    void TearDown() override { ::DestroyWindow(m_parent); }

    HWND Container(const wchar_t* text) const
    {
        return ::CreateWindowExW(0, L"AtlAxWin120", text, WS_CHILD | WS_VISIBLE, 10, 10, 300, 200, m_parent, nullptr,
                                 nullptr, nullptr);
    }
    static HWND Embedding(HWND container) { return ::FindWindowExW(container, nullptr, L"Shell Embedding", nullptr); }

    OleApartment m_ole;
    HWND m_parent = nullptr;
};

} // namespace

TEST_F(ContainerTest, WindowCreatedByClassNameHostsTheNamedControl)
{
    const struct {
        const wchar_t* text;
        bool hosts;
    } rows[] = {{L"{8856F961-340A-11D0-A96B-00C04FD705A2}", true},
                {L"Shell.Explorer.2", true},
                {L"about:blank", true},
                {L"", false},
                {L"{00000000-0000-0000-0000-0000000000AB}", false},
                {L"{8856F961-340A", false},
                {L"no such control", false},
                {L"c:\\file", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.text)));
        kit::GuardedScope guard;
        HWND container = Container(row.text);
        // An empty text makes an empty container; a text that names nothing fails the creation.
        ASSERT_EQ(container != nullptr, row.hosts || row.text[0] == L'\0');
        if (container == nullptr)
            continue;
        EXPECT_EQ(Embedding(container) != nullptr, row.hosts);
        ::DestroyWindow(container);
    }
}

TEST_F(ContainerTest, ControlFollowsTheWindowAndClosesWithIt)
{
    kit::GuardedScope guard;
    CAxContainerWnd container;
    HWND hWnd = container.CreateContainer(m_parent, L"about:blank", WS_CHILD | WS_VISIBLE, 0, RECT{0, 0, 200, 100});
    ASSERT_NE(hWnd, nullptr);
    HWND embedding = Embedding(hWnd);
    ASSERT_NE(embedding, nullptr);
    ::MoveWindow(hWnd, 5, 5, 150, 70, TRUE);
    RECT rc = {};
    ::GetClientRect(embedding, &rc);
    EXPECT_EQ(rc.right, 150);
    EXPECT_EQ(rc.bottom, 70);

    ComPtr<IWebBrowser2> browser;
    EXPECT_EQ(container.QueryControl(IID_IWebBrowser2, reinterpret_cast<void**>(browser.GetAddressOf())), S_OK);
    EXPECT_TRUE(container.GetSite()->IsInPlaceActive());
    EXPECT_EQ(container.CreateControl(L"about:blank"), E_FAIL);  // one control per container

    container.Destroy();
    EXPECT_FALSE(::IsWindow(embedding));
    EXPECT_EQ(container.GetSite(), nullptr);
    EXPECT_EQ(container.QueryControl(IID_IWebBrowser2, reinterpret_cast<void**>(browser.GetAddressOf())), E_PENDING);
}

TEST_F(ContainerTest, SiteGivesTheWindowContextAndWindowExternal)
{
    CAxContainerWnd container;
    HWND hWnd = container.CreateContainer(m_parent, L"", WS_CHILD | WS_VISIBLE, 0, RECT{0, 0, 120, 80});
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(container.GetSite(), nullptr);
    ASSERT_EQ(container.CreateControl(L"about:blank"), S_OK);
    CAxClientSite* site = container.GetSite();

    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> doc;
    RECT pos = {}, clip = {};
    OLEINPLACEFRAMEINFO info = {};
    EXPECT_EQ(site->GetWindowContext(nullptr, doc.GetAddressOf(), &pos, &clip, &info), E_POINTER);
    ASSERT_EQ(site->GetWindowContext(frame.GetAddressOf(), doc.GetAddressOf(), &pos, &clip, &info), S_OK);
    EXPECT_FALSE(doc);
    EXPECT_EQ(pos.right, 120);
    EXPECT_EQ(clip.bottom, 80);
    EXPECT_EQ(info.hwndFrame, m_parent);
    EXPECT_EQ(info.cAccelEntries, 0u);
    HWND window = nullptr;
    EXPECT_EQ(site->GetWindow(&window), S_OK);
    EXPECT_EQ(window, hWnd);
    EXPECT_EQ(frame->GetWindow(&window), S_OK);
    EXPECT_EQ(window, m_parent);

    ComPtr<IDispatch> external;
    EXPECT_EQ(site->GetExternal(external.GetAddressOf()), S_FALSE);
    ComPtr<IDispatch> object;
    container.QueryControl(IID_IDispatch, reinterpret_cast<void**>(object.GetAddressOf()));
    site->SetExternalDispatch(object.Get());
    EXPECT_EQ(site->GetExternal(external.GetAddressOf()), S_OK);
    EXPECT_EQ(external.Get(), object.Get());
}

TEST(AxInPlaceFrame, GrantsNoToolSpaceAndKeepsTheActiveObject)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 64, 32, nullptr, nullptr, nullptr, nullptr);
    auto frame = ComPtr<CAxInPlaceFrame>::Adopt(new CAxInPlaceFrame(window));
    BORDERWIDTHS widths = {1, 1, 1, 1};
    EXPECT_EQ(frame->RequestBorderSpace(&widths), INPLACE_E_NOTOOLSPACE);
    EXPECT_EQ(frame->SetBorderSpace(&widths), S_OK);
    RECT border = {};
    EXPECT_EQ(frame->GetBorder(&border), S_OK);
    EXPECT_EQ(border.right, 64);
    EXPECT_EQ(frame->TranslateAccelerator(nullptr, 0), S_FALSE);
    ComPtr<IOleInPlaceUIWindow> ui;
    EXPECT_EQ(frame->QueryInterface(IID_IOleInPlaceUIWindow, reinterpret_cast<void**>(ui.GetAddressOf())), S_OK);
    EXPECT_EQ(frame->SetActiveObject(nullptr, nullptr), S_OK);
    EXPECT_EQ(frame->GetActiveObject(), nullptr);
    ::DestroyWindow(window);
    HWND none = nullptr;
    auto orphan = ComPtr<CAxInPlaceFrame>::Adopt(new CAxInPlaceFrame(nullptr));
    EXPECT_EQ(orphan->GetWindow(&none), E_UNEXPECTED);
}

namespace {

const IID kEvents = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

// A source with one connection point for kEvents that logs advice.
class StandInSource : public ComImpl<IConnectionPointContainer, IConnectionPoint> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        return Answer(riid, out, {{&IID_IUnknown, static_cast<IConnectionPoint*>(this)},
                                  {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)}});
    }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override
    {
        *point = nullptr;
        if (!::IsEqualIID(riid, kEvents))
            return CONNECT_E_NOCONNECTION;
        *point = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        sink->QueryInterface(kEvents, reinterpret_cast<void**>(held.GetAddressOf()));
        log.push_back(L"advise");
        *cookie = 42;
        return held ? S_OK : E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        log.push_back(L"unadvise " + std::to_wstring(cookie));
        held = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    IUnknown* Unknown() { return static_cast<IConnectionPoint*>(this); }

    ComPtr<IDispatch> held;
    std::vector<std::wstring> log;
};

class Target : public IDispatchTarget {
public:
    HRESULT GetIDsOfNames(LPOLESTR*, UINT count, DISPID* ids) override
    {
        for (UINT i = 0; i < count; ++i)
            ids[i] = 9;
        return S_OK;
    }
    HRESULT Invoke(DISPID id, WORD, DISPPARAMS*, VARIANT*) override
    {
        calls.push_back(id);
        return S_OK;
    }
    std::vector<DISPID> calls;
};

} // namespace

TEST(DispEventSink, ConnectsOnceForwardsCallsAndLetsGoOnDetach)
{
    kit::GuardedScope guard;
    Target target;
    auto source = ComPtr<StandInSource>::Adopt(new StandInSource);
    auto sink = ComPtr<CDispEventSink>::Adopt(new CDispEventSink(&target, kEvents));
    EXPECT_EQ(sink->GetCookie(), CDispEventSink::kNotConnected);
    EXPECT_EQ(sink->Connect(source->Unknown()), S_OK);
    EXPECT_EQ(sink->GetCookie(), 42u);
    EXPECT_EQ(sink->Connect(source->Unknown()), E_FAIL);

    DISPPARAMS none = {};
    source->held->Invoke(271, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    LPOLESTR name = const_cast<LPOLESTR>(L"x");
    DISPID id = 0;
    source->held->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    EXPECT_EQ(id, 9);
    EXPECT_EQ(target.calls, std::vector<DISPID>{271});

    ComPtr<IDispatch> kept = source->held;  // a caller still holding the sink
    sink->Detach();
    EXPECT_EQ(source->log, (std::vector<std::wstring>{L"advise", L"unadvise 42"}));
    EXPECT_FALSE(sink->IsConnected());
    sink = nullptr;
    EXPECT_EQ(kept->Invoke(250, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(target.calls.size(), 1u);
    kept = nullptr;

    // A source without the event interface, or without connection points at all.
    auto other = ComPtr<CDispEventSink>::Adopt(new CDispEventSink(&target, IID_IDispatch));
    EXPECT_EQ(other->Connect(source->Unknown()), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(other->Connect(nullptr), E_POINTER);
}

TEST(OleControlUtil, ClassIdsFromTextAndHimetricSizes)
{
    OleApartment ole;
    CLSID clsid = {};
    EXPECT_TRUE(ClassIdFromText(L"{8856F961-340A-11D0-A96B-00C04FD705A2}", clsid));
    EXPECT_TRUE(::IsEqualCLSID(clsid, CLSID_WebBrowser));
    EXPECT_TRUE(ClassIdFromText(L"Shell.Explorer.2", clsid));
    EXPECT_TRUE(::IsEqualCLSID(clsid, CLSID_WebBrowser));
    for (const wchar_t* bad : {L"{8856F961-340A-11D0-A96B-00C04FD705A", L"{zz}", L"No.Such.ProgId", L""}) {
        clsid = CLSID_WebBrowser;
        EXPECT_FALSE(ClassIdFromText(bad, clsid));
        EXPECT_TRUE(::IsEqualCLSID(clsid, CLSID_NULL));
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    const SIZE himetric = PixelsToHimetric(SIZE{dpi, dpi * 2});
    EXPECT_EQ(himetric.cx, 2540);
    EXPECT_EQ(himetric.cy, 5080);
}
