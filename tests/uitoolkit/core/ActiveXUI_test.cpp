// ActiveX hosting with the project's own test library, whose controls log every call they receive
// and count the references held on them and by them: delayed creation and the activation order,
// windowless painting and input, the windowed control's window, the site's answers, the module
// rules of "modulename", and release of every reference. Then the OLE control container (the
// "AtlAxWin120" window class hosting the control its text names, here the platform's web
// browser) and the event sink on a stand-in connection point.
#include <gtest/gtest.h>

#include <exdisp.h>
#include <olectl.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/ComImpl.h"
#include "foundation/Folders.h"
#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/Input.h"
#include "kit/NotifyRecorder.h"
#include "kit/Probe.h"
#include "kit/Pump.h"
#include "kit/TempDir.h"
#include "kit/Text.h"
#include "standins/activex/TestActiveXIds.h"
#include "uitoolkit/core/ActiveXModuleLoader.h"
#include "uitoolkit/core/ActiveXUI.h"
#include "uitoolkit/core/AxContainerWnd.h"
#include "uitoolkit/core/AxInPlaceFrame.h"
#include "uitoolkit/core/BuiltinControls.h"
#include "uitoolkit/core/DispEventSink.h"
#include "uitoolkit/core/OleControlUtil.h"

using namespace SkinUI;

namespace {

const std::wstring kLibrary = ModuleFolder() + kTestActiveXFile;

struct OleApartment {
    OleApartment() { ::OleInitialize(nullptr); }
    ~OleApartment() { ::OleUninitialize(); }
};

// The test library's record, read through its exports.
class Library {
public:
    Library() : m_module(::LoadLibraryW(kLibrary.c_str())) { Clear(); }
    ~Library() { ::FreeLibrary(m_module); }

    // The calls so far, without the drawing and hit-test traffic unless asked for.
    std::vector<std::wstring> Calls(bool all = false) const
    {
        std::vector<std::wstring> lines;
        std::wistringstream text(Export<TestActiveXLogFn>("TestActiveXLog")());
        for (std::wstring line; std::getline(text, line);) {
            if (all || (line.rfind(L"Draw", 0) != 0 && line.rfind(L"QueryHitPoint", 0) != 0))
                lines.push_back(line);
        }
        return lines;
    }
    bool Called(const std::wstring& line) const
    {
        for (const std::wstring& call : Calls(true))
            if (call == line)
                return true;
        return false;
    }
    void Clear() const { Export<TestActiveXClearLogFn>("TestActiveXClearLog")(); }
    long Objects() const { return Export<TestActiveXCountFn>("TestActiveXObjects")(); }
    long HostReferences() const { return Export<TestActiveXCountFn>("TestActiveXHostReferences")(); }
    // "objects references host-references": what is still alive and held.
    std::string Counts() const
    {
        return std::to_string(Objects()) + " " + std::to_string(Export<TestActiveXCountFn>("TestActiveXReferences")()) + " " +
               std::to_string(HostReferences());
    }

private:
    template <class F>
    F Export(const char* name) const
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m_module, name)));
    }
    HMODULE m_module;
};

std::wstring ClsidText(const CLSID& clsid)
{
    wchar_t text[64] = {};
    ::StringFromGUID2(clsid, text, 64);
    return text;
}

// A window whose root holds one "ActiveX" control at (10, 20), 100 x 50.
struct Bed {
    OleApartment ole;
    kit::NotifyRecorder rec;  // outlives the window, which notifies as it closes
    kit::HostWindow win;
    kit::Box* root = new kit::Box(L"root");
    CActiveXUI* ax = static_cast<CActiveXUI*>(CreateBuiltinControl(L"ActiveX"));

    explicit Bed(const CLSID& clsid, const std::wstring& module = kLibrary)
    {
        ax->SetName(L"ax");
        ax->SetFixedXY(SIZE{10, 20});
        ax->SetFixedWidth(100);
        ax->SetFixedHeight(50);
        ax->SetAttribute(L"modulename", module.c_str());
        ax->SetAttribute(L"clsid", ClsidText(clsid).c_str());
        root->Add(ax);
    }
    ~Bed() { win.Destroy(); }
    bool Open()
    {
        if (!win.Open(root, 200, 100))
            return false;
        win.Host()->AddNotifyListener(&rec);
        return win.Layout();
    }
    POINT Screen(int x, int y) const
    {
        POINT pt = {x, y};
        ::ClientToScreen(win.Hwnd(), &pt);
        return pt;
    }
    template <class I>
    ComPtr<I> Object(REFIID iid) const
    {
        ComPtr<I> out;
        ax->GetControl(iid, reinterpret_cast<void**>(out.GetAddressOf()));
        return out;
    }
    template <class I>
    ComPtr<I> Site(REFIID iid) const
    {
        ComPtr<IOleClientSite> client;
        ComPtr<I> out;
        Object<IOleObject>(IID_IOleObject)->GetClientSite(client.GetAddressOf());
        if (client)
            client->QueryInterface(iid, reinterpret_cast<void**>(out.GetAddressOf()));
        return out;
    }
};

std::vector<std::wstring> Without(std::vector<std::wstring> lines, const std::vector<std::wstring>& drop)
{
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const std::wstring& line) { return std::find(drop.begin(), drop.end(), line) != drop.end(); }),
                lines.end());
    return lines;
}

std::wstring Extent(int cx, int cy)
{
    const SIZE himetric = PixelsToHimetric(SIZE{cx, cy});
    return L"SetExtent(1, " + std::to_wstring(himetric.cx) + L"," + std::to_wstring(himetric.cy) + L")";
}

} // namespace

TEST(ActiveXUI, CreatedAtTheFirstPlacementInTheActivationOrder)
{
    const struct {
        const CLSID* clsid;
        std::vector<std::wstring> first;  // up to the client site
    } rows[] = {
        {&kTestWindowlessClsid, {L"created windowless", L"GetMiscStatus(1)", L"InitNew", L"SetClientSite(site)"}},
        {&kTestSiteFirstClsid, {L"created site-first", L"GetMiscStatus(1)", L"SetClientSite(site)", L"InitNew"}},
    };
    for (const auto& row : rows) {
        Library library;
        Bed bed(*row.clsid);
        EXPECT_EQ(library.Objects(), 0);  // delayed: nothing until placed
        void* none = nullptr;
        EXPECT_EQ(bed.ax->GetControl(IID_IOleObject, &none), E_PENDING);
        EXPECT_EQ(bed.ax->GetControl(IID_IOleObject, nullptr), E_POINTER);
        ASSERT_TRUE(bed.Open());
        std::vector<std::wstring> expected = row.first;
        for (const wchar_t* line :
             {L"SetHostNames(UIActiveX)", L"DoVerb(-5, 10,20,110,70)", L"SetObjectRects(10,20,110,70 clip 10,20,110,70)",
              L"active windowless in OmbrelKitHostWindow at 10,20,110,70 clip 10,20,110,70 accelerators 1",
              L"SetSite(site)"})
            expected.push_back(line);
        expected.push_back(Extent(100, 50));
        expected.push_back(L"SetObjectRects(10,20,110,70 clip 10,20,110,70)");
        EXPECT_EQ(library.Calls(), expected);

        // Later placements only move it; "showactivex" came once, while the object was made.
        library.Clear();
        bed.ax->SetPos(RECT{0, 0, 60, 40});
        EXPECT_EQ(library.Calls(), (std::vector<std::wstring>{Extent(60, 40), L"SetObjectRects(0,0,60,40 clip 0,0,60,40)"}));
        EXPECT_EQ(bed.rec.Count(L"showactivex"), 1);
        EXPECT_EQ(library.Objects(), 1);
    }
}

TEST(ActiveXUI, WindowlessObjectPaintsAndTakesInputOnlyWhereItIsHit)
{
    Library library;
    Bed bed(kTestWindowlessClsid);
    ASSERT_TRUE(bed.Open());
    EXPECT_EQ(::FindWindowExW(bed.win.Hwnd(), nullptr, L"ActiveXWnd", nullptr), nullptr);
    EXPECT_EQ(bed.ax->GetHostWindow(), bed.win.Hwnd());
    auto shot = kit::CaptureClient(bed.win.Hwnd());
    const RECT left = {10, 20, 60, 70}, right = {60, 20, 110, 70};
    EXPECT_TRUE(kit::CanvasIs(*shot, [&](int x, int y) -> uint32_t {
        return kit::In(x, y, left) ? 0x0000FF : kit::In(x, y, right) ? 0x00A000 : kit::kAnyColor;
    }));

    // Moves and cursor requests come from the system as well: the presses and keys tell.
    kit::Input in(bed.win.Hwnd());
    auto presses = [&] { return Without(library.Calls(), {L"OnWindowMessage(0x0200)", L"OnWindowMessage(0x0020)"}); };
    library.Clear();
    in.KeyDown('A');  // not focused yet
    in.Click(80, 40);  // outside the hit area
    EXPECT_EQ(library.Calls(), std::vector<std::wstring>{});
    in.Move(30, 40);
    in.LeftDown(30, 40);  // the press captures and focuses through the site
    in.LeftUp(90, 45);    // captured: still the object's although outside
    in.LeftDown(90, 45);  // released: outside again
    in.KeyDown('A');
    EXPECT_EQ(presses(), (std::vector<std::wstring>{L"OnWindowMessage(0x0201)", L"OnWindowMessage(0x0202)",
                                                   L"OnWindowMessage(0x0100)", L"OnWindowMessage(0x0102)"}));
    EXPECT_TRUE(bed.ax->IsFocused());

    // WM_SETCURSOR and the wheel are hit where the cursor is, whatever lParam says.
    const POINT inside = bed.Screen(30, 40), outside = bed.Screen(90, 40);
    auto count = [&](const wchar_t* line) {
        const std::vector<std::wstring> calls = library.Calls();
        return std::count(calls.begin(), calls.end(), line);
    };
    for (bool cursorInside : {false, true}) {
        SCOPED_TRACE(cursorInside);
        const POINT cursor = cursorInside ? inside : outside, elsewhere = cursorInside ? outside : inside;
        ::SetCursorPos(cursor.x, cursor.y);
        kit::Drain();
        library.Clear();
        in.Post(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(elsewhere.x, elsewhere.y));
        ::SendMessageW(bed.win.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(bed.win.Hwnd()), HTCLIENT);
        EXPECT_EQ(count(L"OnWindowMessage(0x020a)"), cursorInside ? 1 : 0);
        EXPECT_EQ(count(L"OnWindowMessage(0x0020)"), cursorInside ? 1 : 0);
    }

    // A control with the mouse turned off gets no mouse messages (cursor requests still).
    library.Clear();
    bed.ax->SetMouseEnabled(false);
    in.Click(30, 40);
    EXPECT_EQ(Without(library.Calls(), {L"OnWindowMessage(0x0020)"}), std::vector<std::wstring>{});
}

TEST(ActiveXUI, WindowedObjectLivesInAWindowThatFollowsTheControl)
{
    Library library;
    Bed bed(kTestWindowedClsid);
    ASSERT_TRUE(bed.Open());
    HWND host = ::FindWindowExW(bed.win.Hwnd(), nullptr, L"ActiveXWnd", nullptr);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(::FindWindowExW(bed.win.Hwnd(), host, L"ActiveXWnd", nullptr), nullptr);  // made once
    EXPECT_EQ(bed.ax->GetHostWindow(), host);
    wchar_t caption[32] = {};
    ::GetWindowTextW(host, caption, 32);
    EXPECT_STREQ(caption, L"UIActiveX");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(host, GWL_STYLE)) & 0x56000000u, 0x56000000u);
    auto placed = [&](HWND hWnd) {
        RECT rc = {};
        ::GetWindowRect(hWnd, &rc);
        ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
        return kit::Text(rc);
    };
    HWND own = ::FindWindowExW(host, nullptr, kTestActiveXWindowClass, nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(placed(host), "10,20,110,70");
    EXPECT_EQ(placed(own), "0,0,100,50");
    EXPECT_TRUE(library.Called(L"active windowed in ActiveXWnd at 0,0,100,50 clip 0,0,100,50 accelerators 1"));

    bed.ax->SetPos(RECT{30, 10, 90, 40});
    EXPECT_EQ(placed(host), "30,10,90,40");
    EXPECT_EQ(placed(own), "0,0,60,30");
    bed.ax->SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(host));
    bed.ax->SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(host));
    bed.root->SetInheritedVisible(false);
    bed.ax->SetInheritedVisible(false);
    EXPECT_FALSE(::IsWindowVisible(host));
    bed.ax->SetInheritedVisible(true);

    // The focus UI-activates it once; a click activates nothing more.
    library.Clear();
    ::SetFocus(host);
    ::SetFocus(bed.win.Hwnd());
    ::SetFocus(host);
    EXPECT_EQ(library.Calls(), std::vector<std::wstring>{L"DoVerb(-4, 0,0,60,30)"});
}

TEST(ActiveXUI, SiteAnswersAndReleasesEveryReference)
{
    kit::GuardedScope guard;
    Library library;
    {
        Bed bed(kTestWindowlessClsid);
        ASSERT_TRUE(bed.Open());
        auto container = bed.Site<IOleContainer>(IID_IOleContainer);
        ASSERT_TRUE(container);
        ComPtr<IEnumUnknown> objects;
        ASSERT_EQ(container->EnumObjects(OLECONTF_EMBEDDINGS, objects.GetAddressOf()), S_OK);
        IUnknown* got[2] = {};
        ULONG fetched = 0;
        EXPECT_EQ(objects->Next(2, got, nullptr), E_POINTER);
        EXPECT_EQ(objects->Next(1, nullptr, &fetched), E_POINTER);
        EXPECT_EQ(objects->Next(1, got, &fetched), S_OK);
        EXPECT_EQ(fetched, 1u);
        ComPtr<IUnknown>::Adopt(got[0]);
        EXPECT_EQ(objects->Next(1, got, &fetched), S_FALSE);
        EXPECT_EQ(fetched, 0u);

        auto site = bed.Site<IOleInPlaceSiteWindowless>(IID_IOleInPlaceSiteWindowless);
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT pos = {-1, -1, -1, -1}, clip = pos;
        OLEINPLACEFRAMEINFO first = {}, second = {};
        EXPECT_EQ(site->GetWindowContext(frame.GetAddressOf(), doc.GetAddressOf(), &pos, &clip, nullptr), E_POINTER);
        ASSERT_EQ(site->GetWindowContext(frame.GetAddressOf(), doc.GetAddressOf(), &pos, &clip, &first), S_OK);
        ASSERT_EQ(site->GetWindowContext(frame.GetAddressOf(), doc.GetAddressOf(), &pos, &clip, &second), S_OK);
        EXPECT_EQ(first.haccel, second.haccel);
        EXPECT_EQ(first.hwndFrame, bed.win.Hwnd());
        EXPECT_EQ(kit::Text(pos) + " " + kit::Text(clip), "10,20,110,70 10,20,110,70");
        HWND window = nullptr;
        EXPECT_EQ(frame->GetWindow(&window), S_OK);
        EXPECT_EQ(window, bed.win.Hwnd());

        // Released: the object is told in order, and what the caller still holds answers alone.
        library.Clear();
        bed.ax->ReleaseControl();
        EXPECT_EQ(library.Calls(), (std::vector<std::wstring>{L"SetSite(null)", L"Close(1)", L"InPlaceDeactivate",
                                                             L"UIDeactivate", L"SetClientSite(null)"}));
        EXPECT_EQ(site->GetWindow(&window), E_UNEXPECTED);
        EXPECT_EQ(frame->GetWindow(&window), E_UNEXPECTED);
        EXPECT_EQ(container->EnumObjects(0, objects.GetAddressOf()), E_UNEXPECTED);
    }
    EXPECT_EQ(library.Counts(), "0 0 0");
    // Closing the window with live objects of both kinds lets go of everything too.
    for (const CLSID* clsid : {&kTestWindowlessClsid, &kTestWindowedClsid}) {
        {
            Bed bed(*clsid);
            ASSERT_TRUE(bed.Open());
            EXPECT_TRUE(library.Objects() == 1 && library.HostReferences() > 0);
        }
        EXPECT_EQ(library.Counts(), "0 0 0");
    }
}

// An object that deactivates and activates itself again leaves one message filter, which goes
// with the control.
TEST(ActiveXUI, ReactivatedObjectFiltersOnceAndNotAfterTheControlIsGone)
{
    kit::GuardedScope guard;
    Library library;
    Bed bed(kTestWindowlessClsid);
    ASSERT_TRUE(bed.Open());
    auto object = bed.Object<IOleObject>(IID_IOleObject);
    auto client = bed.Site<IOleClientSite>(IID_IOleClientSite);
    bed.Object<IOleInPlaceObject>(IID_IOleInPlaceObject)->InPlaceDeactivate();
    RECT rc = bed.ax->GetPos();
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, client.Get(), 0, bed.win.Hwnd(), &rc), S_OK);
    library.Clear();
    kit::Input in(bed.win.Hwnd());
    in.LeftDown(30, 40);
    EXPECT_EQ(library.Calls(), std::vector<std::wstring>{L"OnWindowMessage(0x0201)"});
    in.LeftUp(30, 40);
    object = nullptr;
    client = nullptr;
    bed.root->Remove(bed.ax);
    in.Click(30, 40);
    EXPECT_EQ(library.Objects(), 0);
}

// The class id from its text (the texts themselves: OleControlUtil below), and without delayed
// creation the object made as soon as both settings are there.
TEST(ActiveXUI, AttributesAndCreationRules)
{
    Library library;
    OleApartment ole;
    {
        CActiveXUI ax;
        ax.SetAttribute(L"clsid", L"{7E57A001-0B1E");
        EXPECT_TRUE(::IsEqualCLSID(ax.GetClsid(), CLSID_NULL));
        ax.SetAttribute(L"clsid", L"Shell.Explorer.2");
        EXPECT_TRUE(::IsEqualCLSID(ax.GetClsid(), CLSID_WebBrowser));
        EXPECT_FALSE(ax.SetClsid(CLSID_NULL));
        EXPECT_EQ(ax.GetInterface(L"ActiveX"), static_cast<void*>(&ax));
    }
    for (bool delayFirst : {true, false}) {
        CActiveXUI ax;
        ax.SetModuleName(kLibrary.c_str());
        if (delayFirst)
            ax.SetAttribute(L"delaycreate", L"false");
        ax.SetAttribute(L"clsid", ClsidText(kTestWindowlessClsid).c_str());
        if (!delayFirst) {
            EXPECT_EQ(library.Objects(), 0);
            ax.SetAttribute(L"delaycreate", L"false");
        }
        EXPECT_EQ(library.Objects(), 1);
    }
}

TEST(ActiveXUI, ModulesLoadOnlyFromFullPathsInsideTheProgramsOrAllowedFolders)
{
    const std::wstring program = ModuleFolder();
    kit::TempDir elsewhere;
    const std::wstring copy = elsewhere.File(kTestActiveXFile);
    ASSERT_TRUE(::CopyFileW(kLibrary.c_str(), copy.c_str(), FALSE));
    const struct {
        std::wstring path;
        bool allowed;
    } rows[] = {{kLibrary, true},
                {program + L"..\\tests\\" + kTestActiveXFile, true},
                {program + L"..\\" + kTestActiveXFile, false},
                {kTestActiveXFile, false},
                {L".\\OmbrelTestActiveX.dll", false},
                {L"\\\\server\\share\\OmbrelTestActiveX.dll", false},
                {program.substr(0, 2) + kTestActiveXFile, false},
                {copy, false},
                {L"", false}};
    for (const auto& row : rows)
        EXPECT_EQ(CActiveXModuleLoader::IsAllowed(row.path.c_str()), row.allowed) << row.path;

    // A refused module leaves the registered server, which does not know the test class; once
    // its folder is allowed the module serves.
    Library library;
    for (bool allowed : {false, true}) {
        if (allowed)
            CActiveXModuleLoader::AllowFolder(elsewhere.Path().c_str());
        EXPECT_EQ(CActiveXModuleLoader::IsAllowed(copy.c_str()), allowed);
        Bed bed(kTestWindowlessClsid, copy);
        ASSERT_TRUE(bed.Open());
        EXPECT_EQ(static_cast<bool>(bed.Object<IOleObject>(IID_IOleObject)), allowed);
    }
    // A module without a class-object entry falls back to the registered server.
    {
        Bed bed(CLSID_WebBrowser, program + L"TessalyNoExport.dll");
        ASSERT_TRUE(bed.Open());
        EXPECT_TRUE(bed.Object<IWebBrowser2>(IID_IWebBrowser2));
        HWND host = ::FindWindowExW(bed.win.Hwnd(), nullptr, L"ActiveXWnd", nullptr);
        EXPECT_NE(::FindWindowExW(host, nullptr, L"Shell Embedding", nullptr), nullptr);
    }
}

// ---- the OLE control container and the event sink ----------------------------------------------

namespace {

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
    EXPECT_EQ(kit::Text(pos) + " " + kit::Text(clip), "0,0,120,80 0,0,120,80");
    EXPECT_TRUE(info.hwndFrame == m_parent && info.cAccelEntries == 0u);
    HWND window = nullptr;
    EXPECT_EQ(site->GetWindow(&window), S_OK);
    EXPECT_EQ(window, hWnd);
    EXPECT_EQ(frame->GetWindow(&window), S_OK);
    EXPECT_EQ(window, m_parent);
    // The in-place frame's border is the frame window's area; without a window it answers nothing.
    RECT border = {};
    EXPECT_EQ(frame->GetBorder(&border), S_OK);
    EXPECT_EQ(kit::Text(border), "0,0,400,300");
    auto orphan = ComPtr<CAxInPlaceFrame>::Adopt(new CAxInPlaceFrame(nullptr));
    EXPECT_EQ(orphan->GetWindow(&window), E_UNEXPECTED);

    ComPtr<IDispatch> external;
    EXPECT_EQ(site->GetExternal(external.GetAddressOf()), S_FALSE);
    ComPtr<IDispatch> object;
    container.QueryControl(IID_IDispatch, reinterpret_cast<void**>(object.GetAddressOf()));
    site->SetExternalDispatch(object.Get());
    EXPECT_EQ(site->GetExternal(external.GetAddressOf()), S_OK);
    EXPECT_EQ(external.Get(), object.Get());
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
    for (const wchar_t* good : {L"{8856F961-340A-11D0-A96B-00C04FD705A2}", L"Shell.Explorer.2"})
        EXPECT_TRUE(ClassIdFromText(good, clsid) && ::IsEqualCLSID(clsid, CLSID_WebBrowser)) << good;
    for (const wchar_t* bad : {L"{8856F961-340A-11D0-A96B-00C04FD705A", L"{zz}", L"No.Such.ProgId", L""}) {
        clsid = CLSID_WebBrowser;
        EXPECT_TRUE(!ClassIdFromText(bad, clsid) && ::IsEqualCLSID(clsid, CLSID_NULL)) << bad;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(kit::Text(PixelsToHimetric(SIZE{dpi, dpi * 2})), "2540,5080");
}
