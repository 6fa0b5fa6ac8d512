#include "uitoolkit/controls/ComboWnd.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <memory>

#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"

namespace SkinUI {

namespace {

// Room the list's border takes from the items' height.
constexpr int kListFrame = 4;

// The fixed look of the list, before the skin's "dropbox" attributes.
constexpr RECT kListInset = {2, 2, 2, 2};
constexpr DWORD kListBkColor = 0xFFFFFFFF;
constexpr DWORD kListBorderColor = 0xFF85E4FF;
constexpr int kListBorderSize = 2;

RECT MapToScreen(HWND hWnd, RECT rc)
{
    ::MapWindowPoints(hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

} // namespace

// ---- opening ---------------------------------------------------------------------------------------

RECT CComboWnd::PlaceList(CComboUI& combo)
{
    // 1. Below the combo, as wide as the drop-box size says.
    const RECT box = combo.GetPos();
    const SIZE dropSize = combo.GetDropBoxSize();
    const long right = dropSize.cx > 0 ? box.left + dropSize.cx : box.right;
    // 2. As high as the visible items need, up to the drop-box height.
    const SIZE ask = {right - box.left, dropSize.cy};
    long long content = 0;
    for (int i = 0; i < combo.GetCount(); ++i) {
        CControlUI* item = combo.GetItemAt(i);
        if (item->IsVisible())
            content += item->GetDesiredSize(ask).cy;
    }
    content += kListFrame;
    const long height = content < dropSize.cy ? static_cast<long>(content) : dropSize.cy;
    // 3. Above the combo when the list would end below the work area.
    HWND hostWindow = combo.GetManager()->GetPaintWindow();
    RECT rc = MapToScreen(hostWindow, RECT{box.left, box.bottom, right, box.bottom + height});
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromWindow(hostWindow, MONITOR_DEFAULTTOPRIMARY), &monitor) &&
        rc.bottom > monitor.rcWork.bottom)
        rc = MapToScreen(hostWindow, RECT{box.left, box.top - height, right, box.top});
    return rc;
}

bool CComboWnd::Init(CComboUI* combo)
{
    // 1. The owner, and the selection that Escape brings back.
    m_owner = combo;
    m_oldSel = combo->GetCurSel();
    // 2. A tool pop-up owned by the combo's window. A window destroyed during its creation
    // has deleted this object already; one never made leaves it to be deleted here.
    const RECT rc = PlaceList(*combo);
    bool gone = false;
    m_goneFlag = &gone;
    if (CreateWithRect(combo->GetManager()->GetPaintWindow(), nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rc) == nullptr) {
        if (!gone)
            delete this;
        return false;
    }
    m_goneFlag = nullptr;
    // 3. Shown, with the main window keeping its active caption.
    HWND top = m_hWnd;
    while (HWND parent = ::GetParent(top))
        top = parent;
    const mjz::AliveToken::Life life = m_host.GetAliveToken();
    ::ShowWindow(m_hWnd, SW_SHOW);
    if (life.Ended())
        return true;
    ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
    return true;
}

void CComboWnd::OnCreate()
{
    m_host.Init(m_hWnd);
    CWindowHostUI* comboHost = m_owner->GetManager();
    auto list = std::make_unique<CVerticalLayoutUI>();
    m_host.SetResourceParent(comboHost);
    list->SetManager(&m_host, nullptr, true);
    if (const wchar_t* defaults = m_host.GetDefaultAttributes(L"VerticalLayout"))
        list->ApplyAttributeText(defaults);
    list->SetInset(kListInset);
    list->SetBkColor(kListBkColor);
    list->SetBorderColor(kListBorderColor);
    list->SetBorderSize(kListBorderSize);
    list->SetAutoDestroy(false);  // the combo keeps owning the items
    list->EnableScrollBar(true, false);
    list->ApplyAttributeText(m_owner->GetDropBoxAttributeList().GetData());
    for (int i = 0; i < m_owner->GetCount(); ++i)
        list->Add(m_owner->GetItemAt(i));
    m_list = list.release();
    m_host.AttachRoot(m_list);
}

// ---- closing ---------------------------------------------------------------------------------------

void CComboWnd::ReturnItems()
{
    m_destroying = true;
    CComboUI* owner = m_owner;
    if (owner == nullptr)
        return;
    for (int i = 0; i < owner->GetCount(); ++i)
        owner->GetItemAt(i)->SetManager(owner->GetManager(), owner, false);
    if (m_ownerDying)
        return;
    // Layout and focus run the combo's listeners, which may delete it (its destructor then
    // marks the owner as dying).
    const mjz::AliveToken::Life life = m_host.GetAliveToken();
    CControlUI::Watch watch(owner);
    owner->SetPos(owner->GetPos());
    if (watch.Lost() || life.Ended() || m_ownerDying)
        return;
    owner->SetFocus();
}

void CComboWnd::CloseForDyingOwner()
{
    m_ownerDying = true;
    if (!m_destroying)
        Destroy();  // synchronous: the items come back before the combo deletes them
}

void CComboWnd::OnWindowDestroyed(HWND hWnd)
{
    CWindowWnd::OnWindowDestroyed(hWnd);
    if (m_owner != nullptr && !m_ownerDying)
        m_owner->OnDropWindowGone();
    if (m_goneFlag != nullptr)
        *m_goneFlag = true;
    delete this;
}

// ---- input -----------------------------------------------------------------------------------------

void CComboWnd::EnsureVisible(int index)
{
    if (m_owner == nullptr || m_owner->GetCurSel() < 0 || m_list == nullptr)
        return;
    const CControlUI* item = m_list->GetItemAt(index);
    if (item == nullptr)
        return;
    const RECT& rcItem = item->GetPos();
    const RECT& rcList = m_list->GetPos();
    long long bottom = rcList.bottom;
    const CScrollBarUI* hbar = m_list->GetHorizontalScrollBar();
    if (hbar != nullptr && hbar->IsVisible())
        bottom -= hbar->GetFixedHeight();
    long long dy = 0;
    if (rcItem.top < rcList.top)
        dy = static_cast<long long>(rcItem.top) - rcList.top;
    if (rcItem.bottom > bottom)
        dy = rcItem.bottom - bottom;
    if (dy == 0)
        return;
    const SIZE pos = m_list->GetScrollPos();
    m_list->SetScrollPos(SIZE{pos.cx, static_cast<LONG>(std::clamp<long long>(pos.cy + dy, INT_MIN, INT_MAX))});
}

void CComboWnd::OnKeyDown(WPARAM key)
{
    const mjz::AliveToken::Life life = m_host.GetAliveToken();  // ends with this window
    switch (key) {
    case VK_RETURN:
        PostMessage(WM_KILLFOCUS);
        return;
    case VK_ESCAPE:
        m_owner->SelectItem(m_oldSel, true);
        if (life.Ended())
            return;
        EnsureVisible(m_oldSel);
        PostMessage(WM_KILLFOCUS);
        return;
    default: {
        ControlEvent event;
        event.type = kEventKeyDown;
        event.key = static_cast<wchar_t>(key);
        event.timestamp = ::GetTickCount();
        event.wParam = key;
        m_owner->HandleEvent(event);
        if (!life.Ended())
            EnsureVisible(m_owner->GetCurSel());
        return;
    }
    }
}

void CComboWnd::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    const mjz::AliveToken::Life life = m_host.GetAliveToken();
    ControlEvent event;
    event.type = kEventScrollWheel;
    event.wParam = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : 0;
    event.lParam = lParam;
    event.timestamp = ::GetTickCount();
    m_owner->HandleEvent(event);
    if (!life.Ended())
        EnsureVisible(m_owner->GetCurSel());
}

LRESULT CComboWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        break;
    case WM_LBUTTONUP: {
        // A click on an item closes the list; one on its scroll bar does not.
        const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const CControlUI* control = m_host.FindControlAtPoint(pt);
        if (control != nullptr && std::wcscmp(control->GetClass(), L"ScrollBarUI") != 0)
            PostMessage(WM_KILLFOCUS);
        break;
    }
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        return 0;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != m_hWnd)
            PostMessage(WM_CLOSE);
        break;
    case WM_DESTROY:
        ReturnItems();
        break;
    default:
        break;
    }
    // The host's handling; the window's own when the host leaves the message.
    const mjz::AliveToken::Life life = m_host.GetAliveToken();
    LRESULT result = 0;
    if (m_host.MessageHandler(message, wParam, lParam, result))
        return result;
    if (life.Ended())
        return 0;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

} // namespace SkinUI
