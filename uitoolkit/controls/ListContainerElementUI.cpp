#include "uitoolkit/controls/ListContainerElementUI.h"

namespace SkinUI {

const wchar_t* CListContainerElementUI::GetClass() const { return L"ListContainerElementUI"; }

void* CListContainerElementUI::GetInterface(const wchar_t* name)
{
    return GetItemInterface(name, L"ListContainerElement");
}

void CListContainerElementUI::HandleEvent(ControlEvent& event)
{
    if (m_item.IsBlockedMouse(event)) {
        if (!m_item.PassToOwner(event))
            CContainerUI::HandleEvent(event);
        return;
    }
    if (m_item.HandleActivation(event) || m_item.HandlePressAndHover(event))
        return;
    if (!m_item.PassToOwner(event))
        CControlUI::HandleEvent(event);
}

void CListContainerElementUI::Paint(HDC hDC, const RECT& rcDirty)
{
    if (!::IntersectRect(&m_rcPaint, &rcDirty, &m_rcItem))
        return;
    m_item.PaintBackground(hDC, m_bkImage, true);
    CContainerUI::Paint(hDC, rcDirty);
}

void CListContainerElementUI::DrawItemText(HDC /*hDC*/, const RECT& /*rc*/) {}

} // namespace SkinUI
