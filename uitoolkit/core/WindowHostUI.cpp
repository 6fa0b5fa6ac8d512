// CWindowHostUI: its life, the process-wide host list, binding to a window and the control
// tree. Messages and input live in WindowHostMessages.cpp, focus in WindowHostFocus.cpp,
// painting in WindowHostPaint.cpp, notifications, timers and clean-up in WindowHostNotify.cpp.
#include "uitoolkit/core/WindowHostUI.h"

#include <cwchar>
#include <new>

#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

namespace {

// ---- process-wide statics, built by a counted initialiser (see CHostListInit) ----
int g_hostListUsers = 0;
alignas(CUIPtrArray) unsigned char g_hostListStorage[sizeof(CUIPtrArray)];
HPEN g_dirtyPen = nullptr;  // outline of the repainted area ("showdirty")

CUIPtrArray& HostList()
{
    return *reinterpret_cast<CUIPtrArray*>(g_hostListStorage);
}

// ---- FindControl callbacks ----
CControlUI* CALLBACK RegisterControlNameProc(CControlUI* control, void* data)
{
    const CUIString name = control->GetName();
    static_cast<CControlNameMap*>(data)->Register(name.GetData(), control);
    return nullptr;
}

CControlUI* CALLBACK FindControlByNameProc(CControlUI* control, void* data)
{
    const CUIString name = control->GetName();
    return ::_wcsicmp(name.GetData(), static_cast<const wchar_t*>(data)) == 0 ? control : nullptr;
}

CControlUI* CALLBACK FindControlAtPointProc(CControlUI* control, void* data)
{
    return ::PtInRect(&control->GetPos(), *static_cast<const POINT*>(data)) ? control : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
CHostListInit::CHostListInit()
{
    if (g_hostListUsers++ == 0)
        new (g_hostListStorage) CUIPtrArray();
}

CHostListInit::~CHostListInit()
{
    if (--g_hostListUsers == 0) {
        HostList().~CUIPtrArray();
        if (g_dirtyPen != nullptr) {
            ::DeleteObject(g_dirtyPen);
            g_dirtyPen = nullptr;
        }
    }
}

HPEN CWindowHostUI::DirtyPen()
{
    return g_dirtyPen;
}

// ---------------------------------------------------------------------------------------------
CWindowHostUI::CWindowHostUI()
{
    if (g_dirtyPen == nullptr) {
        g_dirtyPen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
        // The common controls are loaded with the first tooltip (CCommonControls).
        ::LoadLibraryW(L"msimg32.dll");  // the render functions look up AlphaBlend and GradientFill
    }
}

CWindowHostUI::~CWindowHostUI()
{
    // Controls waiting for clean-up and queued notifications go first.
    CUIPtrArray cleanup = m_delayedCleanup;
    m_delayedCleanup.Empty();
    for (int i = 0; i < cleanup.GetSize(); ++i)
        delete static_cast<CControlUI*>(cleanup[i]);
    for (int i = 0; i < m_asyncNotify.GetSize(); ++i)
        delete static_cast<NotifyMessage*>(m_asyncNotify[i]);
    m_asyncNotify.Empty();

    m_nameMap.Close();
    CControlUI* root = m_root;
    m_root = nullptr;
    delete root;
    m_focus = m_hover = m_pressed = m_keyControl = nullptr;

    const bool windowAlive = m_hWnd != nullptr && ::IsWindow(m_hWnd);
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        auto* entry = static_cast<TimerEntry*>(m_timers[i]);
        if (!entry->stopped && windowAlive)
            ::KillTimer(entry->window, entry->windowId);
        delete entry;
    }
    m_timers.Empty();

    if (m_hToolTip != nullptr && ::IsWindow(m_hToolTip))
        ::DestroyWindow(m_hToolTip);
    m_hToolTip = nullptr;
    ReleaseOffscreen();
    if (m_hPaintDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hPaintDC);
    m_hPaintDC = nullptr;
    SetMeasureDC(nullptr);
    RemoveFromHostList();
    // Call-outs still running on controls that outlive the host (outside its tree) lose it.
    for (CControlUI::Watch* watch = m_watches; watch != nullptr; watch = watch->m_nextOfHost)
        watch->HostDestroyed();
    m_watches = nullptr;
    m_alive.End();
}

void CWindowHostUI::AddWatch(CControlUI::Watch* watch)
{
    watch->m_nextOfHost = m_watches;
    m_watches = watch;
}

void CWindowHostUI::RemoveWatch(CControlUI::Watch* watch)
{
    // Watches nest, so the one leaving is mostly the first.
    for (CControlUI::Watch** link = &m_watches; *link != nullptr; link = &(*link)->m_nextOfHost) {
        if (*link == watch) {
            *link = watch->m_nextOfHost;
            return;
        }
    }
}

void CWindowHostUI::RemoveFromHostList()
{
    if (g_hostListUsers == 0)
        return;
    CUIPtrArray& hosts = HostList();
    const int index = hosts.Find(this);
    if (index >= 0)
        hosts.Remove(index);
}

bool CWindowHostUI::TranslateMessage(const MSG* msg)
{
    if (msg == nullptr || g_hostListUsers == 0)
        return false;
    CUIPtrArray& hosts = HostList();
    for (int i = 0; i < hosts.GetSize(); ++i) {
        auto* host = static_cast<CWindowHostUI*>(hosts[i]);
        HWND hostWindow = host->m_hWnd;
        const bool mine = hostWindow == msg->hwnd ||
                          (::GetParent(msg->hwnd) == hostWindow && hostWindow != nullptr &&
                           (::GetWindowLongW(msg->hwnd, GWL_STYLE) & WS_CHILD) != 0);
        if (!mine)
            continue;
        LRESULT result = 0;
        bool taken = false;
        const auto offer = [&] { taken = host->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result); };
        if (!host->m_alive.Survives(offer))
            return true;  // the window went with its host; nothing is left to dispatch to
        if (taken)
            return true;
    }
    return false;
}

// ---- binding and tree -------------------------------------------------------------------------

bool CWindowHostUI::Init(HWND hWnd)
{
    if (hWnd == nullptr)
        return false;
    if (m_hPaintDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hPaintDC);
    ReleaseOffscreen();  // made for the old window
    m_hWnd = hWnd;
    m_wholeClientInvalid = false;  // nothing is known of the new window's paints yet
    m_hPaintDC = ::GetDC(hWnd);
    SetMeasureDC(m_hPaintDC);
    CUIPtrArray& hosts = HostList();
    if (hosts.Find(this) < 0)
        hosts.Add(this);
    return true;
}

bool CWindowHostUI::AttachRoot(CControlUI* root)
{
    if (root == nullptr)
        return false;
    if (!m_alive.Survives([this] { SetFocus(nullptr); }))
        return false;
    m_hover = m_pressed = m_keyControl = nullptr;
    if (m_root != nullptr) {
        m_postPaint.Empty();
        AddDelayedCleanup(m_root);
    }
    m_root = root;
    m_windowInitPending = true;
    m_updateNeeded = true;
    m_focusNeeded = true;
    return InitControlTree(root, nullptr);
}

bool CWindowHostUI::InitControlTree(CControlUI* control, CControlUI* parent)
{
    if (control == nullptr)
        return false;
    if (parent == nullptr)
        parent = control->GetParent();
    // Init delegates run here.
    const mjz::AliveToken::Life life = m_alive.GetLife();
    CControlUI::Watch watch(control);
    control->SetManager(this, parent, true);
    if (life.Ended() || watch.ControlDeleted())
        return false;
    control->FindControl(RegisterControlNameProc, &m_nameMap, 0);
    return true;
}

CControlUI* CWindowHostUI::FindControlByName(const wchar_t* name) const
{
    return m_nameMap.Find(name);
}

CControlUI* CWindowHostUI::FindSubControlByName(CControlUI* parent, const wchar_t* name) const
{
    CControlUI* top = parent != nullptr ? parent : m_root;
    if (top == nullptr || name == nullptr)
        return nullptr;
    return top->FindControl(FindControlByNameProc, const_cast<wchar_t*>(name), 0);
}

CControlUI* CWindowHostUI::FindControlAtPoint(POINT pt) const
{
    if (m_root == nullptr)
        return nullptr;
    return m_root->FindControl(FindControlAtPointProc, &pt, kFindVisible | kFindHitTest | kFindTopFirst);
}

bool CWindowHostUI::OwnsControl(CControlUI* control) const
{
    return control != nullptr && control->GetManager() == this;
}

} // namespace SkinUI
