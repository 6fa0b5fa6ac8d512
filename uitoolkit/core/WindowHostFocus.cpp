// CWindowHostUI: the keyboard focus, the Tab order, label shortcuts and the mouse capture.
#include "uitoolkit/core/WindowHostUI.h"

#include <cwchar>

#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

namespace {

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

constexpr UINT kTabWalkFlags = kFindVisible | kFindEnabled | kFindMeFirst;

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

} // namespace

void CWindowHostUI::SetFocus(CControlUI* control)
{
    // The handlers of the window focus and of the old focus may delete the new one.
    CControlUI::Watch target(control);
    if (::GetFocus() != m_hWnd && control != m_focus) {
        if (!m_alive.Survives([this] { ::SetFocus(m_hWnd); }))
            return;
        if (target.ControlDeleted())
            control = nullptr;
    }
    if (control == m_focus)
        return;
    if (!KillFocus(control))
        return;
    if (target.ControlDeleted())
        control = nullptr;
    if (control != nullptr && OwnsControl(control) && control->IsVisible() && control->IsEnabled()) {
        m_focus = control;
        if (!SendEvent(control, kEventSetFocus, control, POINT{0, 0}))
            return;
        if (m_focus == control && !m_alive.Survives([this, control] { SendNotify(control, L"setfocus"); }))
            return;
    }
    if (control != nullptr)
        m_focusNeeded = false;
}

// The window is activated again and gets the keyboard back from another window (a message box
// that closed, another program, the frame it sits on): the control that shows the focus takes the
// keys again. An edit's native field closed when the keyboard left, and a rich edit's caret went
// to the other window. The control is given the keys once the activation has settled: the system
// may still move them between the window and its owner meanwhile, and a field that lost them
// still has its close on the way.
bool CWindowHostUI::OnWindowActivate(WPARAM wParam)
{
    if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0 && m_focus != nullptr)
        ::PostMessageW(m_hWnd, kFocusReturnMessage, 0, 0);
    return false;
}

bool CWindowHostUI::OnFocusReturn()
{
    // Only while the keyboard is still the window's own, and the focus still shown.
    if (::GetFocus() != m_hWnd || m_focus == nullptr || !m_focus->IsVisible() || !m_focus->IsEnabled())
        return true;
    SendEvent(m_focus, kEventSetFocus, m_focus, POINT{0, 0});
    return true;
}

// The current focus gets the kill-focus event (sender: the control gaining the focus) and
// "killfocus", and the focus is cleared. False when the host died meanwhile.
bool CWindowHostUI::KillFocus(CControlUI* gaining)
{
    if (m_focus == nullptr)
        return true;
    CControlUI* old = m_focus;
    if (!SendEvent(old, kEventKillFocus, gaining, POINT{0, 0}))
        return false;
    // "killfocus" follows unless the event's handler already forgot the old focus.
    if (m_focus == old && !m_alive.Survives([this, old] { SendNotify(old, L"killfocus"); }))
        return false;
    m_focus = nullptr;
    return true;
}

void CWindowHostUI::RequestFocus(CControlUI* control)
{
    CControlUI::Watch target(control);
    if (!m_alive.Survives([this] { ::SetFocus(m_hWnd); }) || control == nullptr)
        return;
    if (!KillFocus(control))
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
    if (next != nullptr && !m_alive.Survives([this, next] { SetFocus(next); }))
        return true;
    m_focusNeeded = false;
    return true;
}

// Alt and a label's shortcut letter focus and activate the control that follows the label.
// True when a control took the shortcut.
bool CWindowHostUI::ActivateShortcut(wchar_t key)
{
    if (m_root == nullptr)
        return false;
    ShortcutSearch search{UpperAscii(key), false};
    CControlUI* control =
        m_root->FindControl(FindControlByShortcutProc, &search, kFindEnabled | kFindTopFirst | kFindMeFirst);
    if (control == nullptr)
        return false;
    CControlUI::Watch watch(control);
    if (!m_alive.Survives([control] { control->SetFocus(); }))
        return true;
    if (!watch.ControlDeleted())  // not deleted by a focus handler
        control->Activate();
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

} // namespace SkinUI
