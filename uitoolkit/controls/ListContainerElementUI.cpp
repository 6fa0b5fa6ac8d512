#include "uitoolkit/controls/ListContainerElementUI.h"

#include <cwchar>

namespace SkinUI {

CListContainerElementUI::CListContainerElementUI() : m_item(*this) {}

const wchar_t* CListContainerElementUI::GetClass() const { return L"ListContainerElementUI"; }

void* CListContainerElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ListItem") == 0)
        return static_cast<IListItemUI*>(this);
    if (name != nullptr && std::wcscmp(name, L"ListContainerElement") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CListContainerElementUI::GetBehaviourFlags() const { return kBehaviourListItem; }

bool CListContainerElementUI::Activate() { return m_item.Activate(); }

void CListContainerElementUI::SetVisible(bool visible)
{
    Watch watch(this);  // hiding the focus runs "killfocus" listeners
    CContainerUI::SetVisible(visible);
    if (!watch.Lost())
        m_item.AfterVisibilityChange();
}

void CListContainerElementUI::SetEnabled(bool enabled)
{
    CContainerUI::SetEnabled(enabled);
    m_item.AfterEnablingChange();
}

void CListContainerElementUI::HandleEvent(ControlEvent& event)
{
    if (m_item.IsBlockedMouse(event)) {
        if (!m_item.PassToOwner(event))
            CContainerUI::HandleEvent(event);
        return;
    }
    switch (event.type) {
    case kEventDblClick:
        m_item.ActivateByInput();
        return;
    case kEventKeyDown:
        if (event.key == VK_RETURN && IsEnabled()) {
            m_item.ActivateByInput();
            return;
        }
        break;
    case kEventButtonDown:
    case kEventRButtonDown:
        m_item.Press();
        return;
    case kEventButtonUp:
    case kEventMouseMove:
        return;
    case kEventMouseEnter:
    case kEventMouseLeave:
        m_item.Hover(event);
        return;
    default:
        break;
    }
    if (!m_item.PassToOwner(event))
        CControlUI::HandleEvent(event);
}

void CListContainerElementUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && std::wcscmp(name, L"selected") == 0)
        Select(true);
    else
        CContainerUI::SetAttribute(name, value);
}

void CListContainerElementUI::Paint(HDC hDC, const RECT& rcDirty)
{
    if (!::IntersectRect(&m_rcPaint, &rcDirty, &m_rcItem))
        return;
    m_item.PaintBackground(hDC, m_bkImage, true);
    CContainerUI::Paint(hDC, rcDirty);
}

int CListContainerElementUI::GetIndex() const { return m_item.GetIndex(); }
void CListContainerElementUI::SetIndex(int index) { m_item.SetIndex(index); }
IListOwnerUI* CListContainerElementUI::GetOwner() const { return m_item.GetOwner(); }
void CListContainerElementUI::SetOwner(CControlUI* owner) { m_item.SetOwner(owner); }
bool CListContainerElementUI::IsSelected() const { return m_item.IsSelected(); }
bool CListContainerElementUI::Select(bool select) { return m_item.Select(select); }
bool CListContainerElementUI::IsExpanded() const { return false; }
bool CListContainerElementUI::Expand(bool /*expand*/) { return false; }
void CListContainerElementUI::DrawItemText(HDC /*hDC*/, const RECT& /*rc*/) {}

} // namespace SkinUI
