#include "uitoolkit/controls/ListHeaderItemUI.h"

#include <cwchar>

#include "uitoolkit/controls/ButtonBehaviour.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ControlImage.h"
#include "uitoolkit/controls/ListInfo.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// The dragging bit of the header item's state word (the button's captured bit).
constexpr UINT kStateDragging = kStateCaptured;
// Room above and below a header text line.
constexpr int kHeaderTextMargin = 14;

struct HeaderItemAttribute {
    const wchar_t* name;
    void (*apply)(CListHeaderItemUI& item, const wchar_t* value);
};

const HeaderItemAttribute kHeaderItemAttributes[] = {
    {L"dragable", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetDragable(ParseBool(v)); }},
    {L"sepwidth", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetSepWidth(ParseInt(v)); }},
    {L"align", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetTextStyle(ApplyHorizontalAlign(h.GetTextStyle(), v)); }},
    {L"endellipsis",
     [](CListHeaderItemUI& h, const wchar_t* v) {
         const UINT style = h.GetTextStyle() & ~UINT{DT_END_ELLIPSIS};
         h.SetTextStyle(ParseBool(v) ? style | DT_END_ELLIPSIS : style);
     }},
    {L"font", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetFont(ParseInt(v)); }},
    {L"textcolor", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetTextColor(ParseColor(v)); }},
    {L"textpadding", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetTextPadding(ParseRect(v)); }},
    {L"showhtml", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetShowHtml(ParseBool(v)); }},
    {L"normalimage", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetNormalImage(v); }},
    {L"hotimage", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetHotImage(v); }},
    {L"pushedimage", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetPushedImage(v); }},
    {L"focusedimage", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetFocusedImage(v); }},
    {L"sepimage", [](CListHeaderItemUI& h, const wchar_t* v) { h.SetSepImage(v); }},
};

} // namespace

CListHeaderItemUI::CListHeaderItemUI() { SetMinWidth(kMinColumnWidth); }

const wchar_t* CListHeaderItemUI::GetClass() const { return L"ListHeaderItemUI"; }

void* CListHeaderItemUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ListHeaderItem") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetBehaviourFlags() const
{
    return IsEnabled() && m_sepWidth != 0 ? UINT{kBehaviourSetCursor} : 0u;
}

void CListHeaderItemUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_state = 0;
}

void CListHeaderItemUI::SetDragable(bool dragable)
{
    m_dragable = dragable;
    if (!dragable)
        m_state &= ~kStateDragging;
}

void CListHeaderItemUI::SetTextPadding(RECT rc)
{
    m_textPadding = rc;
    Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool showHtml)
{
    if (m_showHtml == showHtml)
        return;
    m_showHtml = showHtml;
    Invalidate();
}

void CListHeaderItemUI::SetImage(CUIString& field, const wchar_t* image)
{
    field = image;
    Invalidate();
}

RECT CListHeaderItemUI::GetSeparatorRect() const
{
    if (m_sepWidth >= 0)
        return RECT{m_rcItem.right - m_sepWidth, m_rcItem.top, m_rcItem.right, m_rcItem.bottom};
    return RECT{m_rcItem.left, m_rcItem.top, m_rcItem.left - m_sepWidth, m_rcItem.bottom};
}

void CListHeaderItemUI::Drag(POINT pt)
{
    // The separator's edge follows the pointer; the column keeps more than its minimum width.
    RECT rc = m_rcItem;
    const int d = pt.x - m_lastMouse.x;
    if (m_sepWidth >= 0)
        rc.right += d;
    else
        rc.left += d;
    const int width = rc.right - rc.left;
    if (width <= GetMinWidth())
        return;
    m_rcItem = rc;
    m_fixedSize.cx = width;
    m_lastMouse = pt;
    if (m_parent != nullptr)
        m_parent->RequestParentLayout();
}

void CListHeaderItemUI::HandleEvent(ControlEvent& event)
{
    // While the item ignores the mouse, mouse events belong to the parent.
    if (CButtonBehaviour::IsBlockedMouse(*this, event)) {
        if (!CButtonBehaviour::PassToParent(*this, event))
            CControlUI::HandleEvent(event);
        return;
    }
    const RECT separator = GetSeparatorRect();
    switch (event.type) {
    // Repainted for the focus look; the control base keeps the flag.
    case kEventSetFocus:
    case kEventKillFocus:
        Invalidate();
        break;
    // A press beside the separator pushes and clicks the item; on it, one starts a drag when the
    // item may be dragged.
    case kEventButtonDown:
    case kEventDblClick:
        if (!IsEnabled())
            break;
        if (!::PtInRect(&separator, event.point)) {
            m_state |= kStatePushed;
            Invalidate();
            if (m_host != nullptr)
                m_host->SendNotify(this, L"headerclick");  // last: a listener may delete the item
        } else if (m_dragable) {
            m_state |= kStateDragging;
            m_lastMouse = event.point;
        }
        return;
    // The release ends a drag with a new layout, or the pushed look.
    case kEventButtonUp:
        if ((m_state & kStateDragging) != 0) {
            m_state &= ~kStateDragging;
            if (m_parent != nullptr)
                m_parent->RequestParentLayout();
        } else if ((m_state & kStatePushed) != 0) {
            m_state &= ~kStatePushed;
            Invalidate();
        }
        return;
    // While dragging, the separator follows the pointer.
    case kEventMouseMove:
        if ((m_state & kStateDragging) == 0)
            break;
        Drag(event.point);
        return;
    // The sizing cursor over a separator that can be dragged.
    case kEventSetCursor:
        if (IsEnabled() && m_dragable && ::PtInRect(&separator, event.point)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return;
        }
        break;
    // Hot while the mouse is over the item.
    case kEventMouseEnter:
    case kEventMouseLeave:
        if (IsEnabled()) {
            m_state = event.type == kEventMouseEnter ? m_state | kStateHot : m_state & ~kStateHot;
            Invalidate();
        }
        return;
    default:
        break;
    }
    CControlUI::HandleEvent(event);
}

void CListHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    for (const HeaderItemAttribute& attribute : kHeaderItemAttributes) {
        if (std::wcscmp(name, attribute.name) == 0) {
            attribute.apply(*this, value);
            return;
        }
    }
    CControlUI::SetAttribute(name, value);
}

SIZE CListHeaderItemUI::GetDesiredSize(SIZE available)
{
    if (m_fixedSize.cy != 0 || m_host == nullptr)
        return CControlUI::GetDesiredSize(available);
    return SIZE{m_fixedSize.cx, m_host->GetDefaultFontEntry()->metrics.tmHeight + kHeaderTextMargin};
}

void CListHeaderItemUI::PaintStateImage(HDC hDC)
{
    // 1. The image of the first state that is on; a state without an image of its own shows
    //    the normal image under it.
    m_state = IsFocused() ? m_state | kStateFocused : m_state & ~kStateFocused;
    CUIString* stateImage = nullptr;
    if ((m_state & kStatePushed) != 0)
        stateImage = &m_pushedImage;
    else if ((m_state & kStateHot) != 0)
        stateImage = &m_hotImage;
    else if ((m_state & kStateFocused) != 0)
        stateImage = &m_focusedImage;
    if (stateImage == nullptr) {
        DrawImageOrForget(*this, hDC, m_normalImage, nullptr);
    } else {
        if (stateImage->IsEmpty())
            DrawImageOrForget(*this, hDC, m_normalImage, nullptr);
        DrawImageOrForget(*this, hDC, *stateImage, nullptr);
    }
    // 2. The separator image over its band.
    if (!m_sepImage.IsEmpty())
        DrawImageOrForget(*this, hDC, m_sepImage, FormatDestModifier(m_sepImageModify, GetSeparatorRect(), m_rcItem));
}

void CListHeaderItemUI::PaintText(HDC hDC)
{
    if (m_host == nullptr)
        return;
    if (m_textColor == 0)
        m_textColor = m_host->GetDefaultFontColor();
    if (m_text.IsEmpty())
        return;
    RECT rc = {m_rcItem.left + m_textPadding.left, m_rcItem.top + m_textPadding.top,
               m_rcItem.right - m_textPadding.right, m_rcItem.bottom - m_textPadding.bottom};
    const UINT style = m_textStyle | DT_SINGLELINE;
    if (m_showHtml) {
        int links = 0;
        CRenderKit::DrawMarkedUpText(hDC, m_host, rc, m_text, m_textColor, nullptr, nullptr, links, style);
    } else {
        CRenderKit::DrawText(hDC, m_host, rc, m_text, m_textColor, m_font, style);
    }
}

} // namespace SkinUI
