#include "uitoolkit/core/WindowHostUI.h"

#include <windowsx.h>

#include <cwchar>
#include <new>

#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/ImagePaintScope.h"
#include "uitoolkit/core/RichEditUI.h"

namespace SkinUI {

namespace {

constexpr UINT kDelayedCleanupMessage = WM_APP + 1;
constexpr UINT kReflectOffset = 0x2000;
// Layout passes of one paint; a tree that keeps asking for layout is painted anyway and gets
// another paint.
constexpr int kMaxLayoutPasses = 64;
constexpr UINT kDefaultHoverTime = 400;

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

CControlUI* CALLBACK FindControlNeedingUpdateProc(CControlUI* control, void* /*data*/)
{
    return control->IsUpdateNeeded() ? control : nullptr;
}

// Offers the message to each filter of a list in order. True when one took it (its result in
// `result`) or when one destroyed the host: the list belongs to the host, so nothing of it is
// read after a filter returns with the host gone.
bool RunFilters(const CUIPtrArray& filters, const std::weak_ptr<char>& alive, UINT message, WPARAM wParam,
                LPARAM lParam, LRESULT& result)
{
    for (int i = 0; i < filters.GetSize(); ++i) {
        bool handled = false;
        const LRESULT filtered =
            static_cast<IMessageFilterUI*>(filters[i])->MessageHandler(message, wParam, lParam, handled);
        if (handled)
            result = filtered;
        if (alive.expired() || handled)
            return true;
    }
    return false;
}

struct TabStopSearch {
    CControlUI* start;
    CControlUI* lastTabStop;
    bool forward;
    bool startPassed;
};

CControlUI* CALLBACK FindTabStopProc(CControlUI* control, void* data)
{
    auto* search = static_cast<TabStopSearch*>(data);
    if (control == search->start) {
        if (!search->forward)
            return search->lastTabStop;
        search->startPassed = true;
        return nullptr;
    }
    if ((control->GetBehaviourFlags() & kBehaviourTabStop) != 0) {
        search->lastTabStop = control;
        if (search->startPassed || search->start == nullptr)
            return control;
    }
    return nullptr;
}

wchar_t UpperAscii(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') ? static_cast<wchar_t>(ch - L'a' + L'A') : ch;
}

struct ShortcutSearch {
    wchar_t key;
    bool matched;
};

// A label's shortcut passes the focus to the control that follows it in walk order.
CControlUI* CALLBACK FindControlByShortcutProc(CControlUI* control, void* data)
{
    auto* search = static_cast<ShortcutSearch*>(data);
    if (!control->IsVisible())
        return nullptr;
    if (UpperAscii(control->GetShortcut()) == search->key)
        search->matched = true;
    if (std::wcsstr(control->GetClass(), L"LabelUI") != nullptr)
        return nullptr;
    return search->matched ? control : nullptr;
}

constexpr UINT kTabWalkFlags = kFindVisible | kFindEnabled | kFindMeFirst;

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

// ---------------------------------------------------------------------------------------------
CWindowHostUI::CWindowHostUI() : m_alive(std::make_shared<char>(0))
{
    if (g_dirtyPen == nullptr) {
        g_dirtyPen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
        ::InitCommonControls();
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
    m_alive.reset();
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

void CWindowHostUI::ReleaseOffscreen()
{
    if (m_hOffscreenDC != nullptr)
        ::DeleteDC(m_hOffscreenDC);
    if (m_hOffscreenBitmap != nullptr)
        ::DeleteObject(m_hOffscreenBitmap);
    if (m_hBackgroundDC != nullptr)
        ::DeleteDC(m_hBackgroundDC);
    if (m_hBackgroundBitmap != nullptr)
        ::DeleteObject(m_hBackgroundBitmap);
    m_hOffscreenDC = m_hBackgroundDC = nullptr;
    m_hOffscreenBitmap = m_hBackgroundBitmap = nullptr;
}

// ---- binding and tree -------------------------------------------------------------------------

bool CWindowHostUI::Init(HWND hWnd)
{
    if (hWnd == nullptr)
        return false;
    if (m_hPaintDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hPaintDC);
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
    std::weak_ptr<char> alive = m_alive;
    SetFocus(nullptr);
    if (alive.expired())
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
    // Init delegates may delete the control or close the window.
    std::weak_ptr<char> alive = m_alive;
    CControlUI::Watch watch(control);
    control->SetManager(this, parent, true);
    if (alive.expired() || watch.ControlDeleted())
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

void CWindowHostUI::ForgetControl(CControlUI* control)
{
    if (control == nullptr)
        return;
    if (m_focus == control)
        m_focus = nullptr;
    if (m_hover == control)
        m_hover = nullptr;
    if (m_pressed == control)
        m_pressed = nullptr;
    if (m_keyControl == control)
        m_keyControl = nullptr;
    if (m_root == control)
        m_root = nullptr;
    KillAllTimers(control);

    // Every name that maps to the control (it may have been renamed since it was registered).
    m_nameMap.Forget(control);
    for (int i = 0; i < m_asyncNotify.GetSize(); ++i) {
        auto* msg = static_cast<NotifyMessage*>(m_asyncNotify[i]);
        if (msg->sender == control)
            msg->sender = nullptr;
    }
    for (int i = 0; i < m_inFlightNotify.GetSize(); ++i) {
        auto* msg = static_cast<NotifyMessage*>(m_inFlightNotify[i]);
        if (msg->sender == control)
            msg->sender = nullptr;
    }
    // A layout deleted mid-drag must not be called by the next paint.
    for (int index; (index = m_postPaint.Find(control)) >= 0;)
        m_postPaint.Remove(index);
    for (int index; (index = m_delayedCleanup.Find(control)) >= 0;)
        m_delayedCleanup.Remove(index);
}

void CWindowHostUI::AddDelayedCleanup(CControlUI* control)
{
    if (control == nullptr)
        return;
    control->SetManager(this, nullptr, false);
    m_delayedCleanup.Add(control);
    ::PostMessageW(m_hWnd, kDelayedCleanupMessage, 0, 0);
}

void CWindowHostUI::Invalidate(const RECT& rc)
{
    // InvalidateRect with no window would repaint every window on the desktop; a host being
    // built before its window exists has nothing to repaint yet.
    if (m_wholeClientInvalid || m_hWnd == nullptr || ::IsRectEmpty(&rc))
        return;
    if (m_invalidateBatch > 0) {
        ::UnionRect(&m_batchedInvalid, &m_batchedInvalid, &rc);
        return;
    }
    ::InvalidateRect(m_hWnd, &rc, FALSE);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    RECT covered = {};
    ::UnionRect(&covered, &rc, &client);
    m_wholeClientInvalid = ::EqualRect(&covered, &rc) != FALSE;
}

void CWindowHostUI::InvalidateClient()
{
    if (m_hWnd == nullptr)
        return;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    m_wholeClientInvalid = true;
}

CWindowHostUI::InvalidateBatch::InvalidateBatch(CWindowHostUI* host) : m_host(host)
{
    if (m_host == nullptr)
        return;
    m_alive = m_host->GetAliveToken();
    ++m_host->m_invalidateBatch;
}

CWindowHostUI::InvalidateBatch::~InvalidateBatch()
{
    if (m_host == nullptr || m_alive.expired() || --m_host->m_invalidateBatch > 0)
        return;
    const RECT rc = m_host->m_batchedInvalid;
    m_host->m_batchedInvalid = RECT{0, 0, 0, 0};
    m_host->Invalidate(rc);
}

// ---- listeners and filters --------------------------------------------------------------------

namespace {
bool RemoveFirst(CUIPtrArray& list, void* item)
{
    const int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}
} // namespace

bool CWindowHostUI::AddNotifyListener(INotifyUI* listener) { return m_notifiers.Add(listener); }
bool CWindowHostUI::RemoveNotifyListener(INotifyUI* listener) { return RemoveFirst(m_notifiers, listener); }
bool CWindowHostUI::AddMessageFilter(IMessageFilterUI* filter) { return m_filters.Add(filter); }
bool CWindowHostUI::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveFirst(m_filters, filter); }
bool CWindowHostUI::AddPreFilter(IMessageFilterUI* filter) { return m_preFilters.Add(filter); }
bool CWindowHostUI::RemovePreFilter(IMessageFilterUI* filter) { return RemoveFirst(m_preFilters, filter); }
bool CWindowHostUI::AddPostPaint(CControlUI* control) { return m_postPaint.Add(control); }
bool CWindowHostUI::RemovePostPaint(CControlUI* control) { return RemoveFirst(m_postPaint, control); }

// ---- notifications ----------------------------------------------------------------------------

void CWindowHostUI::SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam, LPARAM lParam, bool async)
{
    NotifyMessage msg;
    msg.type = type;
    msg.sender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    DispatchNotify(msg, async);
}

void CWindowHostUI::DispatchNotify(NotifyMessage& msg, bool async)
{
    msg.point = m_lastMouse;
    msg.timestamp = ::GetTickCount();
    if (async) {
        auto* copy = new (std::nothrow) NotifyMessage(msg);
        if (copy != nullptr && !m_asyncNotify.Add(copy))
            delete copy;
        return;
    }
    std::weak_ptr<char> alive = m_alive;
    Deliver(msg, alive);
}

// One notification to the sender's delegates, then to every listener. The record is known to
// ForgetControl meanwhile, so a sender deleted by a listener is cleared for the later ones.
bool CWindowHostUI::Deliver(NotifyMessage& msg, const std::weak_ptr<char>& alive)
{
    if (!m_inFlightNotify.Add(&msg))
        return true;
    if (msg.sender != nullptr) {
        msg.sender->NotifyDelegates.Fire(&msg);
        if (alive.expired())
            return false;
    }
    for (int i = 0; i < m_notifiers.GetSize(); ++i) {
        static_cast<INotifyUI*>(m_notifiers[i])->Notify(msg);
        if (alive.expired())
            return false;
    }
    RemoveFirst(m_inFlightNotify, &msg);
    return true;
}

bool CWindowHostUI::DeliverQueued(const std::weak_ptr<char>& alive)
{
    while (!m_asyncNotify.IsEmpty()) {
        std::unique_ptr<NotifyMessage> msg(static_cast<NotifyMessage*>(m_asyncNotify[0]));
        m_asyncNotify.Remove(0);
        if (!Deliver(*msg, alive))
            return false;
    }
    return true;
}

// ---- events -----------------------------------------------------------------------------------

WORD CWindowHostUI::GetKeyStateMask()
{
    WORD state = 0;
    if (::GetKeyState(VK_CONTROL) < 0)
        state |= kKeyStateControl;
    if (::GetKeyState(VK_RBUTTON) < 0)
        state |= kKeyStateRButton;
    if (::GetKeyState(VK_LBUTTON) < 0)
        state |= kKeyStateLButton;
    if (::GetKeyState(VK_SHIFT) < 0)
        state |= kKeyStateShift;
    if (::GetKeyState(VK_MENU) < 0)
        state |= kKeyStateAlt;
    return state;
}

bool CWindowHostUI::SendEvent(CControlUI* control, int type, CControlUI* sender, POINT pt, wchar_t key,
                              WORD keyState, WPARAM wParam, LPARAM lParam)
{
    std::weak_ptr<char> alive = m_alive;
    ControlEvent event;
    event.type = type;
    event.sender = sender;
    event.timestamp = ::GetTickCount();
    event.point = pt;
    event.key = key;
    event.keyState = keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    control->Event(event);
    return !alive.expired();
}

// ---- focus and capture ------------------------------------------------------------------------

void CWindowHostUI::SetFocus(CControlUI* control)
{
    std::weak_ptr<char> alive = m_alive;
    // The handlers of the window focus and of the old focus may delete the new one.
    CControlUI::Watch target(control);
    if (::GetFocus() != m_hWnd && control != m_focus) {
        ::SetFocus(m_hWnd);
        if (alive.expired())
            return;
        if (target.ControlDeleted())
            control = nullptr;
    }
    if (control == m_focus)
        return;
    if (!KillFocus(control, alive))
        return;
    if (target.ControlDeleted())
        control = nullptr;
    if (control != nullptr && OwnsControl(control) && control->IsVisible() && control->IsEnabled()) {
        m_focus = control;
        if (!SendEvent(control, kEventSetFocus, control, POINT{0, 0}))
            return;
        if (m_focus == control) {
            SendNotify(control, L"setfocus");
            if (alive.expired())
                return;
        }
    }
    if (control != nullptr)
        m_focusNeeded = false;
}

// The current focus gets the kill-focus event (sender: the control gaining the focus) and
// "killfocus", and the focus is cleared. False when the host died meanwhile.
bool CWindowHostUI::KillFocus(CControlUI* gaining, const std::weak_ptr<char>& alive)
{
    if (m_focus == nullptr)
        return true;
    CControlUI* old = m_focus;
    if (!SendEvent(old, kEventKillFocus, gaining, POINT{0, 0}))
        return false;
    if (m_focus == old) {  // not forgotten by its own handler
        SendNotify(old, L"killfocus");
        if (alive.expired())
            return false;
    }
    m_focus = nullptr;
    return true;
}

void CWindowHostUI::RequestFocus(CControlUI* control)
{
    std::weak_ptr<char> alive = m_alive;
    CControlUI::Watch target(control);
    ::SetFocus(m_hWnd);
    if (alive.expired() || control == nullptr)
        return;
    if (!KillFocus(control, alive))
        return;
    if (m_root == nullptr || target.ControlDeleted())
        return;
    // The Tab stop before the control takes the focus silently; the next paint moves it forward
    // onto the control itself.
    TabStopSearch search{control, nullptr, false, false};
    m_focus = m_root->FindControl(FindTabStopProc, &search, kTabWalkFlags);
    m_focusNeeded = true;
    m_root->RequestLayout();
}

bool CWindowHostUI::MoveTabFocus(bool forward)
{
    if (m_updateNeeded && forward) {
        m_focusNeeded = true;
        InvalidateClient();
        return true;
    }
    if (m_root == nullptr)
        return false;
    TabStopSearch search{m_focus, nullptr, forward, false};
    CControlUI* next = m_root->FindControl(FindTabStopProc, &search, kTabWalkFlags);
    if (next == nullptr) {
        if (forward) {
            TabStopSearch first{nullptr, nullptr, true, false};
            next = m_root->FindControl(FindTabStopProc, &first, kTabWalkFlags);
        } else {
            // A start that is never met: the walk visits every Tab stop and keeps the last.
            TabStopSearch last{reinterpret_cast<CControlUI*>(&search), nullptr, true, false};
            m_root->FindControl(FindTabStopProc, &last, kTabWalkFlags);
            next = last.lastTabStop;
        }
    }
    if (next != nullptr) {
        std::weak_ptr<char> alive = m_alive;
        SetFocus(next);
        if (alive.expired())
            return true;
    }
    m_focusNeeded = false;
    return true;
}

void CWindowHostUI::SetCapture()
{
    ::SetCapture(m_hWnd);
    m_captured = true;
}

void CWindowHostUI::ReleaseCapture()
{
    ::ReleaseCapture();
    m_captured = false;
}

// ---- timers -----------------------------------------------------------------------------------

bool CWindowHostUI::IsTimerIdTaken(UINT windowId) const
{
    if (windowId == 0 || m_reservedTimerIds.Find(reinterpret_cast<void*>(static_cast<UINT_PTR>(windowId))) >= 0)
        return true;
    return IsControlTimer(windowId);
}

bool CWindowHostUI::IsControlTimer(UINT windowId) const
{
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        const auto* entry = static_cast<const TimerEntry*>(m_timers[i]);
        // Stopped entries keep their id for a restart.
        if (entry->window == m_hWnd && entry->windowId == windowId)
            return true;
    }
    return false;
}

bool CWindowHostUI::SetTimer(CControlUI* control, UINT localId, UINT interval)
{
    if (control == nullptr || m_hWnd == nullptr)
        return false;
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        auto* entry = static_cast<TimerEntry*>(m_timers[i]);
        if (entry->control == control && entry->window == m_hWnd && entry->localId == localId) {
            if (!entry->stopped)
                return false;
            if (::SetTimer(m_hWnd, entry->windowId, interval, nullptr) == 0)
                return false;
            entry->stopped = false;
            return true;
        }
    }
    // Ids cycle through 1..254, skipping those held by this window's timers or reserved by it.
    UINT windowId = 0;
    for (int tries = 0; tries < 255; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % 255;
        if (!IsTimerIdTaken(m_timerCounter)) {
            windowId = m_timerCounter;
            break;
        }
    }
    if (windowId == 0)
        return false;
    auto* entry = new (std::nothrow) TimerEntry{control, localId, m_hWnd, windowId, false};
    if (entry == nullptr)
        return false;
    if (::SetTimer(m_hWnd, windowId, interval, nullptr) == 0) {
        delete entry;
        return false;
    }
    if (!m_timers.Add(entry)) {
        ::KillTimer(m_hWnd, windowId);
        delete entry;
        return false;
    }
    return true;
}

bool CWindowHostUI::KillTimer(CControlUI* control, UINT localId)
{
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        auto* entry = static_cast<TimerEntry*>(m_timers[i]);
        if (entry->control == control && entry->window == m_hWnd && entry->localId == localId && !entry->stopped) {
            if (::IsWindow(m_hWnd))
                ::KillTimer(entry->window, entry->windowId);
            entry->stopped = true;
            return true;
        }
    }
    return false;
}

void CWindowHostUI::KillAllTimers(CControlUI* control)
{
    for (int i = m_timers.GetSize() - 1; i >= 0; --i) {
        auto* entry = static_cast<TimerEntry*>(m_timers[i]);
        if (entry->control == control && entry->window == m_hWnd) {
            if (!entry->stopped && ::IsWindow(m_hWnd))
                ::KillTimer(entry->window, entry->windowId);
            m_timers.Remove(i);
            delete entry;
        }
    }
}

void CWindowHostUI::ReserveTimerId(UINT windowId)
{
    void* id = reinterpret_cast<void*>(static_cast<UINT_PTR>(windowId));
    if (m_reservedTimerIds.Find(id) < 0)
        m_reservedTimerIds.Add(id);
}

// ---- window look ------------------------------------------------------------------------------

void CWindowHostUI::SetTransparent(int alpha)
{
    if (m_hWnd == nullptr)
        return;
    HMODULE user32 = ::GetModuleHandleW(L"User32.dll");
    if (user32 == nullptr)
        return;
    using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    const auto setLayered = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetLayeredWindowAttributes")));
    if (setLayered == nullptr)
        return;
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    const LONG wanted = alpha < 256 ? (style | WS_EX_LAYERED) : (style & ~WS_EX_LAYERED);
    if (wanted != style)
        ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, wanted);
    setLayered(m_hWnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void CWindowHostUI::SetInitSize(int cx, int cy)
{
    m_initSize = {cx, cy};
    if (m_root == nullptr && m_hWnd != nullptr)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

// ---- tooltip ----------------------------------------------------------------------------------

void CWindowHostUI::ShowToolTip(CControlUI* control)
{
    m_toolText = control->GetToolTip();
    m_toolInfo = {};
    m_toolInfo.cbSize = sizeof(TOOLINFOW);
    m_toolInfo.uFlags = TTF_IDISHWND;
    m_toolInfo.hwnd = m_hWnd;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    m_toolInfo.hinst = GetInstanceHandle();
    m_toolInfo.lpszText = const_cast<wchar_t*>(m_toolText.GetData());
    m_toolInfo.rect = control->GetPos();
    if (m_hToolTip == nullptr) {
        m_hToolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                       nullptr, GetInstanceHandle(), nullptr);
        if (m_hToolTip == nullptr)
            return;
        ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    }
    ::SendMessageW(m_hToolTip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    ::SendMessageW(m_hToolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
}

void CWindowHostUI::HideToolTip()
{
    if (m_hToolTip != nullptr)
        ::SendMessageW(m_hToolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
}

// ---- painting ---------------------------------------------------------------------------------

// Lays out the controls that asked for it: the whole tree when the root did, else each control
// that needs it, repeatedly until none is left. The repaint requests of the pass reach the window
// as one (none at all when the whole client area is to be painted anyway).
bool CWindowHostUI::LayoutBeforePaint()
{
    std::weak_ptr<char> alive = m_alive;
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    if (::IsRectEmpty(&rcClient))
        return true;
    InvalidateBatch batch(this);
    // Layout fires size delegates and layout-driven notifications, whose listeners may close
    // the window.
    if (m_root->IsUpdateNeeded()) {
        m_root->SetPos(rcClient);
        if (alive.expired())
            return false;
        ReleaseOffscreen();  // recreated at the new size
        return true;
    }
    int pass = 0;
    for (; pass < kMaxLayoutPasses && m_root != nullptr; ++pass) {
        CControlUI* control =
            m_root->FindControl(FindControlNeedingUpdateProc, nullptr, kFindVisible | kFindMeFirst);
        if (control == nullptr)
            break;
        control->SetPos(control->GetPos());
        if (alive.expired())
            return false;
    }
    if (pass == kMaxLayoutPasses)
        m_updateNeeded = true;  // painted as it is; the next paint goes on
    return true;
}

bool CWindowHostUI::OnPaint()
{
    // 0. What waits to be painted. When it is the whole client area, the repaint requests made
    //    before the paint (layout, "windowinit", the first focus) are covered already.
    RECT rcUpdate = {};
    bool wholeClientPending = false;
    CGdiRegion update(::CreateRectRgn(0, 0, 0, 0));
    if (update) {
        const int kind = ::GetUpdateRgn(m_hWnd, update.Get(), FALSE);
        if (kind == NULLREGION || kind == ERROR)
            return true;
        ::GetRgnBox(update.Get(), &rcUpdate);
        RECT rcClient = {};
        ::GetClientRect(m_hWnd, &rcClient);
        RECT covered = {};
        ::UnionRect(&covered, &rcUpdate, &rcClient);
        wholeClientPending = kind == SIMPLEREGION && ::EqualRect(&covered, &rcUpdate);
    } else if (!::GetUpdateRect(m_hWnd, &rcUpdate, FALSE)) {
        return true;
    }
    if (m_root == nullptr) {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        return true;
    }
    std::weak_ptr<char> alive = m_alive;
    m_wholeClientInvalid = wholeClientPending;

    // 1. Lazy layout, then "windowinit" once.
    if (m_updateNeeded) {
        m_updateNeeded = false;
        if (!LayoutBeforePaint())
            return false;
        if (m_windowInitPending && m_root != nullptr) {
            m_windowInitPending = false;
            SendNotify(m_root, L"windowinit");
            if (alive.expired())
                return false;
        }
    }

    // 2. The first Tab stop gets the focus once the tree is laid out.
    if (m_focusNeeded) {
        MoveTabFocus(true);
        if (alive.expired())
            return false;
    }
    // From here on the window is validated: a request made while painting paints again.
    m_wholeClientInvalid = false;
    if (m_root == nullptr) {
        ::ValidateRect(m_hWnd, nullptr);
        return true;
    }

    // 3. Paint, double-buffered unless switched off.
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    if (m_offscreenPaint && m_hOffscreenBitmap == nullptr) {
        m_hOffscreenDC = ::CreateCompatibleDC(m_hPaintDC);
        m_hOffscreenBitmap = ::CreateCompatibleBitmap(m_hPaintDC, rcClient.right - rcClient.left,
                                                      rcClient.bottom - rcClient.top);
    }
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    const RECT& rcPaint = ps.rcPaint;
    const int width = rcPaint.right - rcPaint.left;
    const int height = rcPaint.bottom - rcPaint.top;
    // A control's paint may call out too (text callbacks, hosted windows): after each paint call
    // the host must still live. The window is then gone with its paint.
    if (!m_offscreenPaint || m_hOffscreenDC == nullptr || m_hOffscreenBitmap == nullptr) {
        const int saved = ::SaveDC(ps.hdc);
        CImagePaintScope images(ps.hdc);
        m_root->Paint(ps.hdc, rcPaint);
        if (alive.expired())
            return false;
        ::RestoreDC(ps.hdc, saved);
    } else {
        HGDIOBJ oldBitmap = ::SelectObject(m_hOffscreenDC, m_hOffscreenBitmap);
        const int saved = ::SaveDC(m_hOffscreenDC);
        if (m_bkTransparent) {
            // What lies under the window, copied once, is the background of every paint.
            bool fresh = false;
            if (m_hBackgroundBitmap == nullptr) {
                m_hBackgroundDC = ::CreateCompatibleDC(m_hPaintDC);
                m_hBackgroundBitmap = ::CreateCompatibleBitmap(m_hPaintDC, rcClient.right - rcClient.left,
                                                               rcClient.bottom - rcClient.top);
                fresh = true;
            }
            if (m_hBackgroundDC != nullptr && m_hBackgroundBitmap != nullptr) {
                CSelectObject select(m_hBackgroundDC, m_hBackgroundBitmap);
                if (fresh)
                    ::BitBlt(m_hBackgroundDC, rcPaint.left, rcPaint.top, width, height, ps.hdc, rcPaint.left,
                             rcPaint.top, SRCCOPY);
                ::BitBlt(m_hOffscreenDC, rcPaint.left, rcPaint.top, width, height, m_hBackgroundDC,
                         rcPaint.left, rcPaint.top, SRCCOPY);
            }
        }
        {
            // The image draws of the tree and the overlays share one memory context.
            CImagePaintScope images(m_hOffscreenDC);
            m_root->Paint(m_hOffscreenDC, rcPaint);
            if (alive.expired())
                return false;
            for (int i = 0; i < m_postPaint.GetSize(); ++i) {
                static_cast<CControlUI*>(m_postPaint[i])->PaintOverlay(m_hOffscreenDC, rcPaint);
                if (alive.expired())
                    return false;
            }
        }
        ::RestoreDC(m_hOffscreenDC, saved);
        ::BitBlt(ps.hdc, rcPaint.left, rcPaint.top, width, height, m_hOffscreenDC, rcPaint.left, rcPaint.top,
                 SRCCOPY);
        ::SelectObject(m_hOffscreenDC, oldBitmap);
    }
    if (m_showDirty && g_dirtyPen != nullptr) {
        CSelectObject pen(ps.hdc, g_dirtyPen);
        CSelectObject brush(ps.hdc, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(ps.hdc, rcUpdate.left, rcUpdate.top, rcUpdate.right, rcUpdate.bottom);
    }
    ::EndPaint(m_hWnd, &ps);

    // 4. Something asked for layout while painting: paint again.
    if (m_updateNeeded)
        InvalidateClient();
    return true;
}

void CWindowHostUI::PrintClient(HDC hDC, LPARAM flags)
{
    if (m_root == nullptr || hDC == nullptr)
        return;
    std::weak_ptr<char> alive = m_alive;
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    const int saved = ::SaveDC(hDC);
    {
        CImagePaintScope images(hDC);
        m_root->Paint(hDC, rcClient);
    }
    ::RestoreDC(hDC, saved);
    if ((flags & PRF_CHILDREN) == 0 || alive.expired())
        return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rcChild = {};
        ::GetWindowRect(child, &rcChild);
        ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rcChild), 2);
        POINT oldOrigin = {};
        ::OffsetWindowOrgEx(hDC, -rcChild.left, -rcChild.top, &oldOrigin);
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(hDC), flags | PRF_NONCLIENT);
        ::SetWindowOrgEx(hDC, oldOrigin.x, oldOrigin.y, nullptr);
        if (alive.expired())
            return;
    }
}

// ---- mouse ------------------------------------------------------------------------------------

bool CWindowHostUI::OnMouseMove(LPARAM lParam)
{
    if (!m_mouseTracking) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = m_hToolTip != nullptr
            ? static_cast<DWORD>(::SendMessageW(m_hToolTip, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
            : kDefaultHoverTime;
        ::TrackMouseEvent(&track);
        m_mouseTracking = true;
    }
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_lastMouse = pt;
    CControlUI* control = FindControlAtPoint(pt);
    if (control != nullptr && !OwnsControl(control))
        return true;
    if (control != m_hover) {
        if (m_hover != nullptr) {
            CControlUI* old = m_hover;
            if (!SendEvent(old, kEventMouseLeave, old, pt))
                return false;
            m_hover = nullptr;
            HideToolTip();
            // The leave handler may have changed the tree: look again.
            control = FindControlAtPoint(pt);
            if (control != nullptr && !OwnsControl(control))
                return true;
        }
        if (control != nullptr) {
            m_hover = control;  // set first so that a control deleted by its handler is forgotten
            if (!SendEvent(control, kEventMouseEnter, control, pt))
                return false;
        }
    }
    CControlUI* target = m_pressed != nullptr ? m_pressed : m_hover;
    if (target != nullptr && !SendEvent(target, kEventMouseMove, target, pt))
        return false;
    return true;
}

// A button press first gives the window the keyboard focus, whose handlers may destroy it (false
// then). `control` is the owned control under the point, or null.
bool CWindowHostUI::BeginPress(LPARAM lParam, const std::weak_ptr<char>& alive, POINT& pt, CControlUI*& control)
{
    ::SetFocus(m_hWnd);
    if (alive.expired())
        return false;
    pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_lastMouse = pt;
    control = FindControlAtPoint(pt);
    if (control != nullptr && !OwnsControl(control))
        control = nullptr;
    return true;
}

// ---- message entry points ---------------------------------------------------------------------

bool CWindowHostUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (m_hWnd == nullptr)
        return false;
    // A paint (the host's or a filter's) validates the window; a new size or place may add
    // client area to paint.
    if (message == WM_PAINT || message == WM_WINDOWPOSCHANGED)
        m_wholeClientInvalid = false;
    std::weak_ptr<char> alive = m_alive;
    if (!DeliverQueued(alive))
        return true;

    if (RunFilters(m_filters, alive, message, wParam, lParam, result))
        return true;

    switch (message) {
    case WM_SIZE:
        m_wholeClientInvalid = false;  // a larger client has more to paint
        if (m_focus != nullptr && !SendEvent(m_focus, kEventWindowSize, m_focus, POINT{0, 0}))
            return true;
        if (m_root != nullptr)
            m_root->RequestLayout();
        return true;

    case WM_PAINT:
        OnPaint();
        return true;

    case WM_CLOSE: {
        if (m_hover != nullptr && !SendEvent(m_hover, kEventMouseLeave, m_hover, m_lastMouse))
            return true;
        if (m_pressed != nullptr && !SendEvent(m_pressed, kEventButtonUp, m_pressed, m_lastMouse))
            return true;
        SetFocus(nullptr);
        if (alive.expired())
            return true;
        HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
        if (owner != nullptr)
            ::SetFocus(owner);
        if (alive.expired())
            return true;
        break;
    }

    case WM_ERASEBKGND:
        result = 1;
        return true;

    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT)
            break;
        if (m_captured)
            return true;
        POINT pt = {};
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWnd, &pt);
        CControlUI* control = FindControlAtPoint(pt);
        if (control == nullptr || (control->GetBehaviourFlags() & kBehaviourSetCursor) == 0)
            break;
        SendEvent(control, kEventSetCursor, nullptr, pt, 0, GetKeyStateMask(), wParam, lParam);
        return true;
    }

    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info == nullptr)
            break;
        if (m_minTrack.cx > 0)
            info->ptMinTrackSize.x = m_minTrack.cx;
        if (m_minTrack.cy > 0)
            info->ptMinTrackSize.y = m_minTrack.cy;
        if (m_maxTrack.cx > 0)
            info->ptMaxTrackSize.x = m_maxTrack.cx;
        if (m_maxTrack.cy > 0)
            info->ptMaxTrackSize.y = m_maxTrack.cy;
        break;
    }

    case WM_NOTIFY:
        if (lParam != 0) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            result = ::SendMessageW(header->hwndFrom, WM_NOTIFY + kReflectOffset, wParam, lParam);
        }
        return true;

    case WM_CONTEXTMENU: {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_hWnd, &pt);
        m_lastMouse = pt;
        if (m_pressed != nullptr) {
            ReleaseCapture();
            CControlUI* pressed = m_pressed;
            if (!SendEvent(pressed, kEventContextMenu, pressed, pt, 0, LOWORD(wParam), 0,
                           reinterpret_cast<LPARAM>(pressed)))
                return true;
            m_pressed = nullptr;
        }
        break;
    }

    case WM_KEYDOWN:
        if (m_focus != nullptr) {
            m_keyControl = m_focus;
            if (!SendEvent(m_focus, kEventKeyDown, nullptr, m_lastMouse, LOWORD(wParam), GetKeyStateMask(),
                           wParam, lParam))
                return true;
        }
        break;

    case WM_KEYUP:
        if (m_keyControl != nullptr) {
            CControlUI* control = m_keyControl;
            m_keyControl = nullptr;
            if (!SendEvent(control, kEventKeyUp, nullptr, m_lastMouse, LOWORD(wParam), GetKeyStateMask(), wParam,
                           lParam))
                return true;
        }
        break;

    case WM_CHAR:
        if (m_focus != nullptr &&
            !SendEvent(m_focus, kEventChar, nullptr, m_lastMouse, static_cast<wchar_t>(wParam), GetKeyStateMask(),
                       wParam, lParam))
            return true;
        break;

    case WM_TIMER:
        for (int i = 0; i < m_timers.GetSize(); ++i) {
            const auto* entry = static_cast<const TimerEntry*>(m_timers[i]);
            if (entry->window == m_hWnd && entry->windowId == LOWORD(wParam) && !entry->stopped) {
                if (!SendEvent(entry->control, kEventTimer, entry->control, POINT{0, 0}, 0, 0, entry->localId, 0))
                    return true;
                break;
            }
        }
        break;

    // A child window's command and colour requests go back to the child, offset (a menu command
    // names no child and is left to the window).
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0)
            break;
        result = ::SendMessageW(reinterpret_cast<HWND>(lParam), message + kReflectOffset, wParam, lParam);
        return true;

    case WM_MOUSEMOVE:
        if (!OnMouseMove(lParam))
            return true;
        break;

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        POINT pt;
        CControlUI* control = nullptr;
        if (!BeginPress(lParam, alive, pt, control))
            return true;
        if (control == nullptr)
            break;
        m_pressed = control;
        control->SetFocus();
        if (alive.expired())
            return true;
        if (m_pressed != control)
            break;  // forgotten by a focus handler
        SetCapture();
        if (!SendEvent(control, message == WM_LBUTTONDOWN ? kEventButtonDown : kEventRButtonDown, control, pt, 0,
                       LOWORD(wParam), wParam, lParam))
            return true;
        break;
    }

    case WM_LBUTTONUP: {
        const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        m_lastMouse = pt;
        if (m_pressed != nullptr) {
            ReleaseCapture();
            CControlUI* pressed = m_pressed;
            m_pressed = nullptr;
            if (!SendEvent(pressed, kEventButtonUp, pressed, pt, 0, LOWORD(wParam), wParam, lParam))
                return true;
        }
        break;
    }

    case WM_LBUTTONDBLCLK: {
        POINT pt;
        CControlUI* control = nullptr;
        if (!BeginPress(lParam, alive, pt, control))
            return true;
        if (control == nullptr)
            break;
        SetCapture();
        m_pressed = control;
        if (!SendEvent(control, kEventDblClick, control, pt, 0, LOWORD(wParam), 0, 0))
            return true;
        break;
    }

    case WM_MOUSEWHEEL: {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_hWnd, &pt);
        m_lastMouse = pt;
        CControlUI* control = FindControlAtPoint(pt);
        if (control == nullptr || !OwnsControl(control))
            break;
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        if (!SendEvent(control, kEventScrollWheel, control, POINT{0, 0}, 0, GetKeyStateMask(), delta < 0 ? 1 : 0,
                       lParam))
            return true;
        // Hover follows the scrolled content.
        ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(m_lastMouse.x, m_lastMouse.y));
        if (alive.expired())
            return true;
        break;
    }

    case WM_MOUSEHOVER: {
        m_mouseTracking = false;
        const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        CControlUI* control = FindControlAtPoint(pt);
        if (control == nullptr)
            break;
        if (m_hover != nullptr && !SendEvent(m_hover, kEventMouseHover, m_hover, pt))
            return true;
        control = FindControlAtPoint(pt);  // the hover handler may have changed the tree
        if (control != nullptr && !control->GetToolTip().IsEmpty())
            ShowToolTip(control);
        return true;
    }

    case WM_MOUSELEAVE:
        HideToolTip();
        if (m_mouseTracking) {
            // The point (-1, -1) leaves every control.
            ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
            if (alive.expired())
                return true;
        }
        m_mouseTracking = false;
        break;

    case WM_PRINTCLIENT:
        PrintClient(reinterpret_cast<HDC>(wParam), lParam);
        break;

    case kDelayedCleanupMessage: {
        CUIPtrArray cleanup = m_delayedCleanup;
        m_delayedCleanup.Empty();
        for (int i = 0; i < cleanup.GetSize(); ++i) {
            delete static_cast<CControlUI*>(cleanup[i]);
            if (alive.expired())
                return true;
        }
        break;
    }

    default:
        break;
    }

    // Not handled: the window's own handling and the default procedure follow.
    if (alive.expired() || !DeliverQueued(alive))
        return true;
    return false;
}

bool CWindowHostUI::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    std::weak_ptr<char> alive = m_alive;
    if (RunFilters(m_preFilters, alive, message, wParam, lParam, result))
        return true;

    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB)
            return false;
        // A rich edit that takes Tab as text keeps it.
        if (m_focus != nullptr && m_focus->IsVisible() && m_focus->IsEnabled() &&
            std::wcsstr(m_focus->GetClass(), L"RichEditUI") != nullptr && RichEditWantsTab(m_focus))
            return false;
        MoveTabFocus(::GetKeyState(VK_SHIFT) >= 0);
        return true;

    case WM_SYSKEYDOWN:
        if (m_focus != nullptr)
            SendEvent(m_focus, kEventSysKey, nullptr, m_lastMouse, static_cast<wchar_t>(wParam), GetKeyStateMask(),
                      wParam, lParam);
        return false;

    case WM_SYSCHAR: {
        if (m_root == nullptr)
            return false;
        ShortcutSearch search{UpperAscii(static_cast<wchar_t>(wParam)), false};
        CControlUI* control =
            m_root->FindControl(FindControlByShortcutProc, &search, kFindEnabled | kFindTopFirst | kFindMeFirst);
        if (control == nullptr)
            return false;
        CControlUI::Watch watch(control);
        control->SetFocus();
        if (alive.expired())
            return true;
        if (!watch.ControlDeleted())  // not deleted by a focus handler
            control->Activate();
        return true;
    }

    default:
        return false;
    }
}

bool CWindowHostUI::RichEditWantsTab(CControlUI* control)
{
    auto* edit = static_cast<CRichEditUI*>(control->GetInterface(L"RichEdit"));
    return edit != nullptr && edit->IsWantTab();
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
        std::weak_ptr<char> alive = host->m_alive;
        LRESULT result = 0;
        if (host->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result))
            return true;
        if (alive.expired())
            return true;  // the window went with its host; nothing is left to dispatch to
    }
    return false;
}

} // namespace SkinUI
