#include "uitoolkit/controls/custom/TabUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"
#include "uitoolkit/controls/ButtonBehaviour.h"

namespace SkinUI {

const wchar_t* CTabUI::GetClass() const { return L"TabUI"; }

void* CTabUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Tab") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

void CTabUI::AddItem(const wchar_t* text, const wchar_t* titleImage)
{
    m_items.push_back(Item{text, titleImage});
    RecomputeWidths();
}

const CTabUI::Item* CTabUI::GetItem(int index) const
{
    return index >= 0 && index < GetItemCount() ? &m_items[static_cast<size_t>(index)] : nullptr;
}

bool CTabUI::SelectItem(int index)
{
    if (index < -1 || index >= GetItemCount())
        return false;
    m_selected = index;
    Invalidate();
    if (m_host != nullptr)
        m_host->SendNotify(this, L"tabselectchanged", static_cast<WPARAM>(index), 1);  // last
    return true;
}

void CTabUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    // The strip's width, less the column the strip's end takes.
    m_availableWidth = std::max<int>(0, rc.right - rc.left - 1);
    RecomputeWidths();
    Invalidate();
}

void CTabUI::RecomputeWidths()
{
    if (m_items.empty())
        return;
    const int count = GetItemCount();
    m_itemWidth = std::max(0, std::min(m_availableWidth / count, m_maxItemWidth));
    m_totalWidth = m_itemWidth * count;
    m_rcItem.right = m_rcItem.left + m_totalWidth + 1;
    Invalidate();
}

CTabUI::Hit CTabUI::HitTest(POINT pt) const
{
    Hit hit;
    const int x = pt.x - m_rcItem.left;
    const int y = pt.y - m_rcItem.top;
    // Items 0 wide are neither hit nor painted.
    if (m_itemWidth <= 0 || x < 0)
        return hit;
    hit.index = x / m_itemWidth;
    RECT button = m_buttonPos;
    ::OffsetRect(&button, m_itemWidth, 0);
    hit.onButton = ::PtInRect(&button, POINT{x % m_itemWidth, y}) != FALSE;
    return hit;
}

void CTabUI::HandleEvent(ControlEvent& event)
{
    if (CButtonBehaviour::IsBlockedMouse(*this, event)) {
        if (!CButtonBehaviour::PassToParent(*this, event))
            CLabelUI::HandleEvent(event);
        return;
    }
    switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
        m_focused = event.type == kEventSetFocus;
        return;
    case kEventButtonDown:
    case kEventDblClick: {
        const Hit hit = HitTest(event.point);
        if (hit.index < 0 || hit.index >= GetItemCount())
            return;
        if (hit.onButton) {
            if (m_host != nullptr)
                m_host->SendNotify(this, L"tabbtnclick", static_cast<WPARAM>(hit.index), 0);
        } else if (hit.index != m_selected) {
            SelectItem(hit.index);
        }
        return;
    }
    case kEventMouseMove: {
        const Hit hit = HitTest(event.point);
        const int index = hit.index < GetItemCount() ? hit.index : -1;
        if (index != m_pointerIndex || hit.onButton != m_onButton) {
            m_pointerIndex = index;
            m_onButton = index >= 0 && hit.onButton;
            m_hotIndex = index;
            RequestLayout();
        }
        // The item under the mouse tells its text as the tooltip.
        const Item* item = GetItem(index);
        SetToolTip(item != nullptr ? item->text.GetData() : L"");
        return;
    }
    case kEventButtonUp:
        Invalidate();
        return;
    case kEventMouseLeave:
        m_pointerIndex = -1;
        m_onButton = false;
        if (m_hotIndex == -1) {
            Invalidate();
            RecomputeWidths();
        } else {
            m_hotIndex = -1;
            Invalidate();
        }
        return;
    default:
        CLabelUI::HandleEvent(event);
        return;
    }
}

void CTabUI::SetImage(CUIString& field, const wchar_t* image)
{
    field = image;
    Invalidate();
}

void CTabUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    static const struct {
        const wchar_t* name;
        CUIString CTabUI::*field;
    } kImages[] = {
        {L"itemnormalimage", &CTabUI::m_itemNormalImage},
        {L"itemhotimage", &CTabUI::m_itemHotImage},
        {L"itemselectedimage", &CTabUI::m_itemSelectedImage},
        {L"btnnormalimage", &CTabUI::m_buttonNormalImage},
        {L"btnhotimage", &CTabUI::m_buttonHotImage},
        {L"btnselectedimage", &CTabUI::m_buttonSelectedImage},
        {L"btnInactivenormalimage", &CTabUI::m_inactiveNormalImage},
        {L"btnInactivehotimage", &CTabUI::m_inactiveHotImage},
        {L"btnInactiveselectedimage", &CTabUI::m_inactiveSelectedImage},
        {L"titleimage", &CTabUI::m_titleImage},
    };
    if (name != nullptr) {
        for (const auto& row : kImages) {
            if (std::wcscmp(name, row.name) == 0)
                SetImage(this->*row.field, value);
        }
        if (std::wcscmp(name, L"btnpos") == 0)
            m_buttonPos = ParseRect(value);
        else if (std::wcscmp(name, L"titleimagepos") == 0)
            m_titleImagePos = ParseRect(value);
        else if (std::wcscmp(name, L"width") == 0)
            m_maxItemWidth = static_cast<int>(ParseInt(value));
    }
    // Every attribute reaches the label too ("width" sizes the control as well).
    CLabelUI::SetAttribute(name, value);
}

RECT CTabUI::ItemRect(int index) const
{
    const int left = m_rcItem.left + index * m_itemWidth;
    return RECT{left, m_rcItem.top, left + m_itemWidth, m_rcItem.bottom};
}

RECT CTabUI::ButtonRect(const RECT& item) const
{
    RECT button = m_buttonPos;
    ::OffsetRect(&button, item.right, item.top);
    return button;
}

void CTabUI::Paint(HDC hDC, const RECT& rcDirty)
{
    CControlUI::Paint(hDC, rcDirty);
    RECT visible;
    if (::IntersectRect(&visible, &rcDirty, &m_rcItem))
        PaintTabs(hDC, visible);
}

void CTabUI::PaintTabs(HDC hDC, const RECT& rcPaint)
{
    if (m_itemWidth <= 0 || m_host == nullptr)
        return;
    for (int i = 0; i < GetItemCount(); ++i) {
        const Item& item = m_items[static_cast<size_t>(i)];
        const RECT rc = ItemRect(i);
        const bool selected = i == m_selected;
        // 1. The item: selected over hot over normal.
        const CUIString& itemImage = selected ? m_itemSelectedImage : i == m_hotIndex ? m_itemHotImage : m_itemNormalImage;
        if (!itemImage.IsEmpty())
            CRenderKit::DrawImageBySpec(hDC, m_host, rc, rcPaint, itemImage);
        // 2. Its button, hot while the mouse is on it.
        const bool buttonHot = i == m_pointerIndex && m_onButton;
        const CUIString& buttonImage = selected ? (buttonHot ? m_buttonHotImage : m_buttonNormalImage)
                                                : (buttonHot ? m_inactiveHotImage : m_inactiveNormalImage);
        const RECT button = ButtonRect(rc);
        if (!buttonImage.IsEmpty())
            CRenderKit::DrawImageBySpec(hDC, m_host, button, rcPaint, buttonImage);
        // 3. Title image and text, when the item is wide enough for them.
        if (m_buttonPos.left + m_itemWidth < m_titleImagePos.right)
            continue;
        const CUIString& title = item.titleImage.IsEmpty() ? m_titleImage : item.titleImage;
        if (!title.IsEmpty()) {
            RECT titleRect = m_titleImagePos;
            ::OffsetRect(&titleRect, rc.left, rc.top);
            CRenderKit::DrawImageBySpec(hDC, m_host, titleRect, rcPaint, title);
        }
        const RECT text = {rc.left + m_rcTextPadding.left, rc.top + m_rcTextPadding.top, button.left - 2,
                           rc.bottom - m_rcTextPadding.bottom};
        DrawItemText(hDC, text, item.text);
    }
}

void CTabUI::DrawItemText(HDC hDC, const RECT& rc, const wchar_t* text)
{
    if (hDC == nullptr || text == nullptr || m_host == nullptr)
        return;
    if (m_textColor == 0)
        m_textColor = m_host->GetDefaultFontColor();
    RECT drawn = rc;
    CRenderKit::DrawText(hDC, m_host, drawn, text, m_textColor, m_font, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
}

} // namespace SkinUI
