#include "uitoolkit/controls/ListLabelElementUI.h"

#include <cwchar>

#include "uitoolkit/controls/ListInfo.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {
// Room around an item's text line.
constexpr int kItemTextMargin = 8;
// The width of the box the text is measured in.
constexpr int kMeasureWidth = 9999;
} // namespace

const wchar_t* CListLabelElementUI::GetClass() const { return L"ListLabelElementUI"; }

void* CListLabelElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ListLabelElement") == 0)
        return this;
    return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::HandleEvent(ControlEvent& event)
{
    if (m_item.IsBlockedMouse(event)) {
        if (!m_item.PassToOwner(event))
            CListElementUI::HandleEvent(event);
        return;
    }
    if (!m_item.HandlePressAndHover(event))
        CListElementUI::HandleEvent(event);
}

ListInfo* CListLabelElementUI::GetListInfo() const
{
    IListOwnerUI* owner = m_item.GetOwner();
    return owner != nullptr ? owner->GetListInfo() : nullptr;
}

RECT CListLabelElementUI::PadRect(const RECT& rc, const RECT& padding)
{
    return RECT{rc.left + padding.left, rc.top + padding.top, rc.right - padding.right, rc.bottom - padding.bottom};
}

int CListLabelElementUI::GetItemHeight(const ListInfo& info) const
{
    if (m_fixedSize.cy != 0 || m_host == nullptr)
        return m_fixedSize.cy;
    const FontEntry* font = m_host->GetFontEntry(info.font);
    const int fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
    return fontHeight + kItemTextMargin + info.textPadding.top + info.textPadding.bottom;
}

SIZE CListLabelElementUI::GetDesiredSize(SIZE /*available*/)
{
    const ListInfo* info = GetListInfo();
    if (info == nullptr)
        return SIZE{0, 0};
    SIZE size = {m_fixedSize.cx, GetItemHeight(*info)};
    HDC hDC = m_host != nullptr ? m_host->GetPaintDC() : nullptr;
    if (size.cx != 0 || hDC == nullptr)
        return size;
    // The text's width on one line, measured left-aligned.
    RECT rc = {0, 0, kMeasureWidth, size.cy};
    const UINT style = (info->textStyle & ~UINT{DT_CENTER | DT_RIGHT}) | DT_CALCRECT | DT_SINGLELINE;
    if (info->showHtml) {
        int links = 0;
        CRenderKit::DrawMarkedUpText(hDC, m_host, rc, m_text, 0, nullptr, nullptr, links, style);
    } else {
        CRenderKit::DrawText(hDC, m_host, rc, m_text, 0, info->font, style);
    }
    size.cx = rc.right - rc.left + info->textPadding.left + info->textPadding.right;
    return size;
}

void CListLabelElementUI::Paint(HDC hDC, const RECT& rcDirty)
{
    if (!::IntersectRect(&m_rcPaint, &rcDirty, &m_rcItem))
        return;
    m_item.PaintBackground(hDC, m_bkImage, false);
    DrawItemText(hDC, m_rcItem);
}

void CListLabelElementUI::DrawItemText(HDC hDC, const RECT& rc)
{
    const ListInfo* info = GetListInfo();
    if (m_text.IsEmpty() || info == nullptr)
        return;
    RECT rcText = PadRect(rc, info->textPadding);
    const DWORD color = m_item.GetTextColor(*info);
    const UINT style = info->textStyle | DT_SINGLELINE;
    if (info->showHtml) {
        int links = 0;
        CRenderKit::DrawMarkedUpText(hDC, m_host, rcText, m_text, color, nullptr, nullptr, links, style);
    } else {
        CRenderKit::DrawText(hDC, m_host, rcText, m_text, color, info->font, style);
    }
}

} // namespace SkinUI
