#include "uitoolkit/controls/ListTextElementUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/IListTextCallback.h"
#include "uitoolkit/controls/IListUI.h"
#include "uitoolkit/controls/ListInfo.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

const wchar_t* CListTextElementUI::GetClass() const { return L"ListTextElementUI"; }

void* CListTextElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ListTextElement") == 0)
        return this;
    return CListLabelElementUI::GetInterface(name);
}

UINT CListTextElementUI::GetBehaviourFlags() const
{
    return IsEnabled() && m_links.GetCount() > 0 ? kBehaviourListItem | kBehaviourSetCursor : kBehaviourListItem;
}

void CListTextElementUI::SetOwner(CControlUI* owner)
{
    CListLabelElementUI::SetOwner(owner);
    m_listOwner = owner != nullptr ? static_cast<IListUI*>(owner->GetInterface(L"IList")) : nullptr;
}

void CListTextElementUI::HandleEvent(ControlEvent& event)
{
    if (m_item.IsBlockedMouse(event)) {
        if (m_listOwner != nullptr)
            m_listOwner->HandleEvent(event);
        else
            CListLabelElementUI::HandleEvent(event);
        return;
    }
    const int link = m_links.At(event.point);
    switch (event.type) {
    case kEventSetCursor:
        if (link >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    case kEventButtonUp:
        if (link >= 0 && IsEnabled()) {
            if (m_host != nullptr)
                m_host->SendNotify(this, L"link", static_cast<WPARAM>(link));
            return;
        }
        break;
    case kEventMouseMove:
        if (m_links.GetCount() > 0 && link != m_links.GetHover()) {
            m_links.SetHover(link);
            m_item.InvalidateItem();
        }
        break;
    case kEventMouseLeave:
        if (m_links.GetCount() > 0 && m_links.GetHover() != -1) {
            m_item.InvalidateItem();
            m_links.SetHover(-1);
        }
        break;
    default:
        break;
    }
    CListLabelElementUI::HandleEvent(event);
}

SIZE CListTextElementUI::GetDesiredSize(SIZE /*available*/)
{
    SIZE size = m_fixedSize;
    if (size.cy == 0 && m_listOwner != nullptr) {
        if (const ListInfo* info = m_listOwner->GetListInfo())
            size.cy = GetItemHeight(*info);
    }
    return size;
}

void CListTextElementUI::DrawItemText(HDC hDC, const RECT& rc)
{
    if (m_listOwner == nullptr)
        return;
    ListInfo* info = m_listOwner->GetListInfo();
    if (info == nullptr)
        return;
    IListTextCallback* callback = m_listOwner->GetTextCallback();
    const DWORD color = m_item.GetTextColor(*info);
    const UINT style = info->textStyle | DT_SINGLELINE;
    const RECT& padding = info->textPadding;
    const int columns = std::min(info->columnCount, kMaxListColumns);
    Watch watch(this);  // the callback is the program's code
    int links = 0;
    m_links.SetCount(0);
    for (int i = 0; i < columns; ++i) {
        RECT cell = {info->columns[i].left + padding.left, rc.top + padding.top, info->columns[i].right - padding.right,
                     rc.bottom - padding.bottom};
        CUIString text;
        if (callback != nullptr) {
            text = callback->GetItemText(this, m_item.GetIndex(), i);
            if (watch.Lost())
                return;
        }
        if (info->showHtml) {
            // The cells share the item's link slots; a full set leaves later cells none.
            const int free = CLinkSlots::kMaxLinks - links;
            int found = free;
            CRenderKit::DrawMarkedUpText(hDC, m_host, cell, text, color, m_links.Rects(links), m_links.Texts(links),
                                         found, style);
            links += std::clamp(found, 0, free);
        } else {
            CRenderKit::DrawText(hDC, m_host, cell, text, color, info->font, style);
        }
    }
    m_links.SetCount(links);
    m_links.ClearFrom(links);
}

} // namespace SkinUI
