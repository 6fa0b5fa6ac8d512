#include "uitoolkit/controls/ListItemBehaviour.h"

#include "uitoolkit/controls/ButtonBehaviour.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/ControlImage.h"
#include "uitoolkit/controls/ListInfo.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

void CListItemBehaviour::SetOwner(CControlUI* owner)
{
    m_owner = owner != nullptr ? static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner")) : nullptr;
}

bool CListItemBehaviour::Select(bool select)
{
    if (!m_item.IsEnabled())
        return false;
    // A selected flag the owner no longer agrees with (kept by an item that was disabled when
    // the owner moved on) is selected in the owner again.
    const bool ownerBehind = select && m_selected && m_owner != nullptr && m_owner->GetCurSel() != m_index;
    if (select == m_selected && !ownerBehind)
        return true;
    m_selected = select;
    if (select && m_owner != nullptr) {
        // The owner notifies "itemselect".
        if (!m_item.Survives([this] { m_owner->SelectItem(m_index, false); }))
            return true;
    }
    InvalidateItem();
    return true;
}

void CListItemBehaviour::AfterVisibilityChange()
{
    if (m_item.IsVisible() || !m_selected)
        return;
    m_selected = false;
    if (m_owner != nullptr)
        m_owner->SelectItem(-1, false);
}

void CListItemBehaviour::AfterEnablingChange()
{
    if (!m_item.IsEnabled())
        m_state = 0;
}

bool CListItemBehaviour::Activate()
{
    if (!m_item.CControlUI::Activate())
        return false;
    if (CWindowHostUI* host = m_item.GetManager())
        host->SendNotify(&m_item, L"itemactivate");
    return true;
}

void CListItemBehaviour::InvalidateItem()
{
    if (!m_item.IsVisible())
        return;
    CControlUI* parent = m_item.GetParent();
    auto* container = parent != nullptr ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
    if (container == nullptr) {
        m_item.Invalidate();
        return;
    }
    // 1. The container's client box.
    RECT client = container->GetPos();
    const RECT inset = container->GetInset();
    client.left += inset.left;
    client.top += inset.top;
    client.right -= inset.right;
    client.bottom -= inset.bottom;
    const CScrollBarUI* vbar = container->GetVerticalScrollBar();
    if (vbar != nullptr && vbar->IsVisible())
        client.right -= vbar->GetFixedWidth();
    const CScrollBarUI* hbar = container->GetHorizontalScrollBar();
    if (hbar != nullptr && hbar->IsVisible())
        client.bottom -= hbar->GetFixedHeight();
    // 2. The item's part of it, clipped by every further ancestor.
    RECT rc;
    if (!::IntersectRect(&rc, &client, &m_item.GetPos()))
        return;
    for (const CControlUI* ancestor = parent->GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (!::IntersectRect(&rc, &rc, &ancestor->GetPos()))
            return;
    }
    if (CWindowHostUI* host = m_item.GetManager())
        host->Invalidate(rc);
}

void CListItemBehaviour::PaintBackground(HDC hDC, CUIString& ownBkImage, bool honourEnableFlags)
{
    ListInfo* info = m_owner != nullptr ? m_owner->GetListInfo() : nullptr;
    if (info == nullptr)
        return;
    const bool disabled = !m_item.IsEnabled();
    const bool hot = IsHot();
    const bool plainRow = !info->alternateBk || m_index % 2 == 0;
    const RECT& rc = m_item.GetPos();

    // 1. The colour of the state (later rules win).
    DWORD color = plainRow ? info->bkColor : 0;
    if (hot && (!honourEnableFlags || info->enableHotBkColor))
        color = info->hotBkColor;
    if (m_selected && (!honourEnableFlags || info->enableSelectedBkColor))
        color = info->selectedBkColor;
    if (disabled)
        color = info->disabledBkColor;
    if (color != 0)
        CRenderKit::DrawColor(hDC, rc, m_item.ApplyColorHsl(color));

    // 2. A state image that draws covers everything else.
    if (disabled && DrawImageOrForget(m_item, hDC, info->disabledImage, nullptr))
        return;
    if (m_selected && DrawImageOrForget(m_item, hDC, info->selectedImage, nullptr))
        return;
    if (hot && DrawImageOrForget(m_item, hDC, info->hotImage, nullptr))
        return;

    // 3. The item's own background image, else the owner's, which covers the line.
    if (!ownBkImage.IsEmpty()) {
        if (plainRow)
            DrawImageOrForget(m_item, hDC, ownBkImage, nullptr);
    } else if (DrawImageOrForget(m_item, hDC, info->bkImage, nullptr)) {
        return;
    }

    // 4. The line along the item's bottom, in the list's line colour.
    if (info->lineColor != 0)
        CRenderKit::DrawLine(hDC, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom - 1}, 1,
                             m_item.ApplyColorHsl(info->lineColor));
}

DWORD CListItemBehaviour::GetTextColor(const ListInfo& info) const
{
    DWORD color = info.textColor;
    if (IsHot())
        color = info.hotTextColor;
    if (m_selected)
        color = info.selectedTextColor;
    if (!m_item.IsEnabled())
        color = info.disabledTextColor;
    return color;
}

bool CListItemBehaviour::IsBlockedMouse(const ControlEvent& event) const
{
    return CButtonBehaviour::IsBlockedMouse(m_item, event);
}

bool CListItemBehaviour::PassToOwner(ControlEvent& event)
{
    if (m_owner == nullptr)
        return false;
    m_owner->HandleEvent(event);
    return true;
}

bool CListItemBehaviour::HandleActivation(const ControlEvent& event)
{
    if (event.type != kEventDblClick && !(event.type == kEventKeyDown && event.key == VK_RETURN && m_item.IsEnabled()))
        return false;
    ActivateByInput();
    return true;
}

bool CListItemBehaviour::HandlePressAndHover(const ControlEvent& event)
{
    switch (event.type) {
    case kEventButtonDown:
    case kEventRButtonDown:
        Press();
        return true;
    case kEventMouseMove:
    case kEventButtonUp:
        return true;
    case kEventMouseEnter:
    case kEventMouseLeave:
        Hover(event);
        return true;
    default:
        return false;
    }
}

void CListItemBehaviour::Press()
{
    if (!m_item.IsEnabled())
        return;
    CWindowHostUI* host = m_item.GetManager();
    if (host != nullptr && !m_item.Survives([&] { host->SendNotify(&m_item, L"itemclick"); }))
        return;
    if (m_item.Survives([this] { Select(true); }))
        InvalidateItem();
}

void CListItemBehaviour::Hover(const ControlEvent& event)
{
    if (event.type == kEventMouseEnter) {
        if (!m_item.IsEnabled())
            return;
        m_state |= kStateHot;
    } else {
        if (!IsHot())
            return;
        m_state &= ~kStateHot;
    }
    InvalidateItem();
}

void CListItemBehaviour::ActivateByInput()
{
    if (!m_item.IsEnabled())
        return;
    if (m_item.Survives([this] { m_item.Activate(); }))
        InvalidateItem();
}

} // namespace SkinUI
