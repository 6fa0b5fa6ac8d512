#include "uitoolkit/controls/TextUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/ButtonBehaviour.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

CTextUI::CTextUI()
{
    m_textStyle = DT_WORDBREAK;
    m_rcTextPadding = {2, 0, 2, 0};
}

const wchar_t* CTextUI::GetClass() const { return L"TextUI"; }

void* CTextUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Text") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetBehaviourFlags() const
{
    return IsEnabled() && m_links.GetCount() > 0 ? UINT{kBehaviourSetCursor} : 0u;
}

void CTextUI::HandleEvent(ControlEvent& event)
{
    if (CButtonBehaviour::IsBlockedMouse(*this, event)) {
        if (!CButtonBehaviour::PassToParent(*this, event))
            CLabelUI::HandleEvent(event);
        return;
    }
    const int link = m_links.At(event.point);
    switch (event.type) {
    case kEventSetCursor:
        if (link < 0)
            break;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
    case kEventButtonDown:
    case kEventDblClick:
        if (link < 0 || (event.type == kEventDblClick && !IsEnabled()))
            break;
        Invalidate();
        return;
    case kEventButtonUp:
        if (link < 0 || !IsEnabled())
            break;
        if (m_host != nullptr)
            m_host->SendNotify(this, L"link", static_cast<WPARAM>(link));
        return;
    case kEventContextMenu:
        return;
    case kEventMouseMove:
        if (!IsEnabled() || m_links.GetCount() == 0)
            break;
        if (link != m_links.GetHover()) {
            m_links.SetHover(link);
            Invalidate();
        }
        return;
    case kEventMouseLeave:
        if (!IsEnabled() || m_links.GetCount() == 0 || m_links.GetHover() == -1)
            break;
        m_links.SetHover(-1);
        Invalidate();
        return;
    default:
        break;
    }
    CLabelUI::HandleEvent(event);
}

void CTextUI::SetText(const wchar_t* text)
{
    if (m_text == text)
        return;
    CLabelUI::SetText(text);
    // Placed for the old text, a longer one would wrap into a box too narrow or too short for it.
    RequestParentLayout();
}

SIZE CTextUI::GetDesiredSize(SIZE available)
{
    HDC hDC = m_host != nullptr ? m_host->GetPaintDC() : nullptr;
    RECT rc = {m_rcTextPadding.left, 0,
               std::max<LONG>(available.cx, m_fixedSize.cx) - m_rcTextPadding.right, 9999};
    if (hDC == nullptr || rc.right <= rc.left)
        return CLabelUI::GetDesiredSize(available);
    if (m_showHtml) {
        int links = 0;
        CRenderKit::DrawMarkedUpText(hDC, m_host, rc, m_text, 0, nullptr, nullptr, links, m_textStyle | DT_CALCRECT);
    } else {
        CRenderKit::DrawText(hDC, m_host, rc, m_text, 0, m_font, m_textStyle | DT_CALCRECT);
    }
    SIZE size = {rc.right - rc.left + m_rcTextPadding.left + m_rcTextPadding.right,
                 rc.bottom - rc.top + m_rcTextPadding.top + m_rcTextPadding.bottom};
    if (m_fixedSize.cy != 0)
        size.cy = m_fixedSize.cy;
    return size;
}

void CTextUI::PaintText(HDC hDC)
{
    if (m_text.IsEmpty()) {
        m_links.SetCount(0);
        return;
    }
    if (!ResolveDefaultColors())
        return;
    RECT rc = GetTextRect();
    if (m_showHtml) {
        int count = kMaxLinks;
        CRenderKit::DrawMarkedUpText(hDC, m_host, rc, m_text, GetStateTextColor(), m_links.Rects(0), m_links.Texts(0),
                                     count, m_textStyle);
        m_links.SetCount(count);
    } else {
        m_links.SetCount(0);
        m_placedText.Draw(hDC, m_host, rc, m_text, GetStateTextColor(), m_font, m_textStyle);
    }
}

} // namespace SkinUI
