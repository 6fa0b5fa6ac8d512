// CWindowHostUI: the message entry points and the routing of mouse and keyboard input to the
// controls. Every handler returns true when the message is done with (taken, or the host died
// under it) and false when the window's own handling follows.
#include "uitoolkit/core/WindowHostUI.h"

#include <windowsx.h>

#include <cwchar>

#include "uitoolkit/core/CommonControls.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/RichEditUI.h"

namespace SkinUI {

namespace {

constexpr UINT kReflectOffset = 0x2000;
constexpr UINT kDefaultHoverTime = 400;

// Offers the message to each filter of a list in order. True when one took it (its result in
// `result`) or when one destroyed the host: the list belongs to the host, so nothing of it is
// read after a filter returns with the host gone.
bool RunFilters(const CUIPtrArray& filters, const mjz::AliveToken::Life& life, UINT message, WPARAM wParam,
                LPARAM lParam, LRESULT& result)
{
    for (int i = 0; i < filters.GetSize(); ++i) {
        bool handled = false;
        const LRESULT filtered =
            static_cast<IMessageFilterUI*>(filters[i])->MessageHandler(message, wParam, lParam, handled);
        if (handled)
            result = filtered;
        if (life.Ended() || handled)
            return true;
    }
    return false;
}

} // namespace

// ---- entry points -----------------------------------------------------------------------------

bool CWindowHostUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (m_hWnd == nullptr)
        return false;
    // A paint (the host's or a filter's) validates the window; a new size or place may add
    // client area to paint.
    if (message == WM_PAINT || message == WM_WINDOWPOSCHANGED)
        m_wholeClientInvalid = false;
    const mjz::AliveToken::Life life = m_alive.GetLife();
    if (!DeliverQueued())
        return true;

    if (RunFilters(m_filters, life, message, wParam, lParam, result))
        return true;
    if (RouteMessage(message, wParam, lParam, result))
        return true;

    // Not handled: the window's own handling and the default procedure follow.
    return life.Ended() || !DeliverQueued();
}

bool CWindowHostUI::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SIZE:            return OnSize();
    case WM_PAINT:           OnPaint(); return true;
    case WM_CLOSE:           return OnClose();
    case WM_ERASEBKGND:      result = 1; return true;
    case WM_SETCURSOR:       return OnSetCursor(wParam, lParam);
    case WM_GETMINMAXINFO:   return OnGetMinMaxInfo(lParam);
    case WM_NOTIFY:          return OnNotify(wParam, lParam, result);
    case WM_CONTEXTMENU:     return OnContextMenu(wParam, lParam);
    case WM_KEYDOWN:         return OnKeyDown(wParam, lParam);
    case WM_KEYUP:           return OnKeyUp(wParam, lParam);
    case WM_CHAR:            return OnChar(wParam, lParam);
    case WM_TIMER:           return OnTimer(wParam);
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:  return ReflectToChild(message, wParam, lParam, result);
    case WM_MOUSEMOVE:       return OnMouseMove(lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:     return OnButtonDown(message, wParam, lParam);
    case WM_LBUTTONUP:       return OnButtonUp(wParam, lParam);
    case WM_LBUTTONDBLCLK:   return OnDoubleClick(wParam, lParam);
    case WM_MOUSEWHEEL:      return OnMouseWheel(wParam, lParam);
    case WM_MOUSEHOVER:      return OnMouseHover(lParam);
    case WM_MOUSELEAVE:      return OnMouseLeave();
    case WM_ACTIVATE:        return OnWindowActivate(wParam);
    case WM_PRINTCLIENT:     PrintClient(reinterpret_cast<HDC>(wParam), lParam); return false;
    case kDelayedCleanupMessage: return RunDelayedCleanup();
    case kFocusReturnMessage: return OnFocusReturn();
    default:                 return false;
    }
}

bool CWindowHostUI::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (RunFilters(m_preFilters, m_alive.GetLife(), message, wParam, lParam, result))
        return true;

    switch (message) {
    case WM_KEYDOWN:    return wParam == VK_TAB && PreTranslateTab();
    case WM_SYSKEYDOWN: PreTranslateSysKey(wParam, lParam); return false;
    case WM_SYSCHAR:    return ActivateShortcut(static_cast<wchar_t>(wParam));
    default:            return false;
    }
}

// ---- window messages --------------------------------------------------------------------------

bool CWindowHostUI::OnSize()
{
    m_wholeClientInvalid = false;  // a larger client has more to paint
    if (m_focus != nullptr && !SendEvent(m_focus, kEventWindowSize, m_focus, POINT{0, 0}))
        return true;
    if (m_root != nullptr)
        m_root->RequestLayout();
    return true;
}

// Hover and press end and the focus goes back to the owner window; the window then closes.
bool CWindowHostUI::OnClose()
{
    if (m_hover != nullptr && !SendEvent(m_hover, kEventMouseLeave, m_hover, m_lastMouse))
        return true;
    if (m_pressed != nullptr && !SendEvent(m_pressed, kEventButtonUp, m_pressed, m_lastMouse))
        return true;
    if (!m_alive.Survives([this] { SetFocus(nullptr); }))
        return true;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    return owner != nullptr && !m_alive.Survives([owner] { ::SetFocus(owner); });
}

bool CWindowHostUI::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT)
        return false;
    if (m_captured)
        return true;
    POINT pt = {};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    CControlUI* control = FindControlAtPoint(pt);
    if (control == nullptr || (control->GetBehaviourFlags() & kBehaviourSetCursor) == 0)
        return false;
    SendEvent(control, kEventSetCursor, nullptr, pt, 0, GetKeyStateMask(), wParam, lParam);
    return true;
}

// The skin's track sizes, where set; the window's own handling follows.
bool CWindowHostUI::OnGetMinMaxInfo(LPARAM lParam)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (info == nullptr)
        return false;
    if (m_minTrack.cx > 0)
        info->ptMinTrackSize.x = m_minTrack.cx;
    if (m_minTrack.cy > 0)
        info->ptMinTrackSize.y = m_minTrack.cy;
    if (m_maxTrack.cx > 0)
        info->ptMaxTrackSize.x = m_maxTrack.cx;
    if (m_maxTrack.cy > 0)
        info->ptMaxTrackSize.y = m_maxTrack.cy;
    return false;
}

bool CWindowHostUI::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (lParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        result = ::SendMessageW(header->hwndFrom, WM_NOTIFY + kReflectOffset, wParam, lParam);
    }
    return true;
}

// A child window's command and colour requests go back to the child, offset (a menu command
// names no child and is left to the window).
bool CWindowHostUI::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (lParam == 0)
        return false;
    result = ::SendMessageW(reinterpret_cast<HWND>(lParam), message + kReflectOffset, wParam, lParam);
    return true;
}

bool CWindowHostUI::OnTimer(WPARAM wParam)
{
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        const auto* entry = static_cast<const TimerEntry*>(m_timers[i]);
        if (entry->window == m_hWnd && entry->windowId == LOWORD(wParam) && !entry->stopped)
            return !SendEvent(entry->control, kEventTimer, entry->control, POINT{0, 0}, 0, 0, entry->localId, 0);
    }
    return false;
}

// ---- keyboard ---------------------------------------------------------------------------------

bool CWindowHostUI::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (m_focus == nullptr)
        return false;
    m_keyControl = m_focus;
    return !SendEvent(m_focus, kEventKeyDown, nullptr, m_lastMouse, LOWORD(wParam), GetKeyStateMask(), wParam,
                      lParam);
}

// The key goes up at the control that saw it go down, also when the focus moved meanwhile.
bool CWindowHostUI::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    if (m_keyControl == nullptr)
        return false;
    CControlUI* control = m_keyControl;
    m_keyControl = nullptr;
    return !SendEvent(control, kEventKeyUp, nullptr, m_lastMouse, LOWORD(wParam), GetKeyStateMask(), wParam,
                      lParam);
}

bool CWindowHostUI::OnChar(WPARAM wParam, LPARAM lParam)
{
    return m_focus != nullptr && !SendEvent(m_focus, kEventChar, nullptr, m_lastMouse, static_cast<wchar_t>(wParam),
                                            GetKeyStateMask(), wParam, lParam);
}

// Tab moves the focus, unless a rich edit that takes Tab as text has it.
bool CWindowHostUI::PreTranslateTab()
{
    if (m_focus != nullptr && m_focus->IsVisible() && m_focus->IsEnabled() &&
        std::wcsstr(m_focus->GetClass(), L"RichEditUI") != nullptr && RichEditWantsTab(m_focus))
        return false;
    MoveTabFocus(::GetKeyState(VK_SHIFT) >= 0);
    return true;
}

bool CWindowHostUI::RichEditWantsTab(CControlUI* control)
{
    auto* edit = static_cast<CRichEditUI*>(control->GetInterface(L"RichEdit"));
    return edit != nullptr && edit->IsWantTab();
}

// The focus sees system keys before the window translates them.
void CWindowHostUI::PreTranslateSysKey(WPARAM wParam, LPARAM lParam)
{
    if (m_focus != nullptr)
        SendEvent(m_focus, kEventSysKey, nullptr, m_lastMouse, static_cast<wchar_t>(wParam), GetKeyStateMask(),
                  wParam, lParam);
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
        return false;
    if (control != m_hover) {
        if (m_hover != nullptr) {
            CControlUI* old = m_hover;
            if (!SendEvent(old, kEventMouseLeave, old, pt))
                return true;
            m_hover = nullptr;
            HideToolTip();
            // The leave handler may have changed the tree: look again.
            control = FindControlAtPoint(pt);
            if (control != nullptr && !OwnsControl(control))
                return false;
        }
        if (control != nullptr) {
            m_hover = control;  // set first so that a control deleted by its handler is forgotten
            if (!SendEvent(control, kEventMouseEnter, control, pt))
                return true;
        }
    }
    // A leave only ends the hover. While a press holds the capture the system goes on reporting
    // where the pointer really is, so the pressed control (a thumb being dragged past the edge)
    // must not see the made-up point of the leave as a move.
    if (m_mouseLeaving)
        return false;
    CControlUI* target = m_pressed != nullptr ? m_pressed : m_hover;
    return target != nullptr && !SendEvent(target, kEventMouseMove, target, pt);
}

// A button press first gives the window the keyboard focus, whose handlers may destroy it
// (`died` then). The owned control under the point, or null.
CControlUI* CWindowHostUI::BeginPress(LPARAM lParam, POINT& pt, bool& died)
{
    died = !m_alive.Survives([this] { ::SetFocus(m_hWnd); });
    if (died)
        return nullptr;
    pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_lastMouse = pt;
    CControlUI* control = FindControlAtPoint(pt);
    return OwnsControl(control) ? control : nullptr;
}

// The pressed control takes the focus and the capture, then sees the press.
bool CWindowHostUI::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT pt;
    bool died = false;
    CControlUI* control = BeginPress(lParam, pt, died);
    if (control == nullptr)
        return died;
    m_pressed = control;
    if (!m_alive.Survives([control] { control->SetFocus(); }))
        return true;
    if (m_pressed != control)
        return false;  // forgotten by a focus handler
    SetCapture();
    return !SendEvent(control, message == WM_LBUTTONDOWN ? kEventButtonDown : kEventRButtonDown, control, pt, 0,
                      LOWORD(wParam), wParam, lParam);
}

bool CWindowHostUI::OnButtonUp(WPARAM wParam, LPARAM lParam)
{
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    m_lastMouse = pt;
    if (m_pressed == nullptr)
        return false;
    ReleaseCapture();
    CControlUI* pressed = m_pressed;
    m_pressed = nullptr;
    return !SendEvent(pressed, kEventButtonUp, pressed, pt, 0, LOWORD(wParam), wParam, lParam);
}

// A double click presses the control again, without moving the focus.
bool CWindowHostUI::OnDoubleClick(WPARAM wParam, LPARAM lParam)
{
    POINT pt;
    bool died = false;
    CControlUI* control = BeginPress(lParam, pt, died);
    if (control == nullptr)
        return died;
    SetCapture();
    m_pressed = control;
    return !SendEvent(control, kEventDblClick, control, pt, 0, LOWORD(wParam), 0, 0);
}

// A context menu over a pressed control ends the press; the window's own handling follows.
bool CWindowHostUI::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &pt);
    m_lastMouse = pt;
    if (m_pressed == nullptr)
        return false;
    ReleaseCapture();
    CControlUI* pressed = m_pressed;
    if (!SendEvent(pressed, kEventContextMenu, pressed, pt, 0, LOWORD(wParam), 0, reinterpret_cast<LPARAM>(pressed)))
        return true;
    m_pressed = nullptr;
    return false;
}

bool CWindowHostUI::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &pt);
    m_lastMouse = pt;
    CControlUI* control = FindControlAtPoint(pt);
    if (control == nullptr || !OwnsControl(control))
        return false;
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    if (!SendEvent(control, kEventScrollWheel, control, POINT{0, 0}, 0, GetKeyStateMask(), delta < 0 ? 1 : 0, lParam))
        return true;
    // Hover follows the scrolled content.
    const LPARAM at = MAKELPARAM(m_lastMouse.x, m_lastMouse.y);
    return !m_alive.Survives([this, at] { ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, at); });
}

bool CWindowHostUI::OnMouseHover(LPARAM lParam)
{
    m_mouseTracking = false;
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CControlUI* control = FindControlAtPoint(pt);
    if (control == nullptr)
        return false;
    if (m_hover != nullptr && !SendEvent(m_hover, kEventMouseHover, m_hover, pt))
        return true;
    control = FindControlAtPoint(pt);  // the hover handler may have changed the tree
    if (control != nullptr && !control->GetToolTip().IsEmpty())
        ShowToolTip(control);
    return true;
}

bool CWindowHostUI::OnMouseLeave()
{
    HideToolTip();
    // A hover ends the tracking while the pointer still rests on the control: the leave must
    // reach that control all the same.
    if (m_mouseTracking || m_hover != nullptr) {
        const mjz::AliveToken::Life life = m_alive.GetLife();
        // The point (-1, -1) leaves every control. Tracking counts as on for that move, so that
        // it does not track the pointer that has left the window anew.
        m_mouseTracking = true;
        m_mouseLeaving = true;
        ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
        if (life.Ended())
            return true;
        m_mouseLeaving = false;
    }
    m_mouseTracking = false;
    return false;
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
    ControlEvent event;
    event.type = type;
    event.sender = sender;
    event.timestamp = ::GetTickCount();
    event.point = pt;
    event.key = key;
    event.keyState = keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    return m_alive.Survives([&] { control->Event(event); });
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
        CCommonControls::Init(ICC_WIN95_CLASSES);  // registers the tooltip class
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

} // namespace SkinUI
