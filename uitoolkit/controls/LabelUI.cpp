#include "uitoolkit/controls/LabelUI.h"

#include <cwchar>

#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// "align" words, tried in this order; each found word clears `clear` and sets `set` in the
// text style, so "center bottom" applies the centre rule and then the bottom rule.
struct AlignRule {
    const wchar_t* word;
    UINT clear;
    UINT set;
};

const AlignRule kAlignRules[] = {
    {L"left", 0xB, 0},
    {L"center", 0xA, DT_CENTER},
    {L"right", 0x9, DT_RIGHT},
    {L"top", 0xE, 0},
    {L"bottom", 0x6, DT_BOTTOM},
};

UINT ApplyAlign(UINT style, const wchar_t* value)
{
    for (const AlignRule& rule : kAlignRules) {
        if (std::wcsstr(value, rule.word) != nullptr)
            style = (style & ~rule.clear) | rule.set;
    }
    return style;
}

const AttributeSetterOf<CLabelUI> kLabelAttributes[] = {
    {L"align", [](CLabelUI& l, const wchar_t* v) { l.SetTextStyle(ApplyAlign(l.GetTextStyle(), v)); }},
    {L"endellipsis",
     [](CLabelUI& l, const wchar_t* v) {
         const UINT style = l.GetTextStyle() & ~static_cast<UINT>(DT_END_ELLIPSIS);
         l.SetTextStyle(ParseBool(v) ? style | DT_END_ELLIPSIS : style);
     }},
    {L"font", [](CLabelUI& l, const wchar_t* v) { l.SetFont(ParseInt(v)); }},
    {L"textcolor", [](CLabelUI& l, const wchar_t* v) { l.SetTextColor(ParseColor(v)); }},
    {L"disabledtextcolor", [](CLabelUI& l, const wchar_t* v) { l.SetDisabledTextColor(ParseColor(v)); }},
    {L"textpadding", [](CLabelUI& l, const wchar_t* v) { l.SetTextPadding(ParseRect(v)); }},
    {L"showhtml", [](CLabelUI& l, const wchar_t* v) { l.SetShowHtml(ParseBool(v)); }},
};

} // namespace

const wchar_t* CLabelUI::GetClass() const { return L"LabelUI"; }

void* CLabelUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Label") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::HandleEvent(ControlEvent& event)
{
    switch (event.type) {
    case kEventSetFocus:
        m_focused = true;
        return;
    case kEventKillFocus:
        m_focused = false;
        return;
    case kEventMouseEnter:
    case kEventMouseLeave:
        return;
    default:
        CControlUI::HandleEvent(event);
    }
}

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kLabelAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
}

int CLabelUI::GetFontHeight() const
{
    if (m_host == nullptr)
        return 0;
    const FontEntry* entry = m_host->GetFontEntry(m_font);
    return entry != nullptr ? entry->metrics.tmHeight : 0;
}

SIZE CLabelUI::DesiredSizeWithMargin(SIZE available, int margin)
{
    if (m_fixedSize.cy != 0)
        return CControlUI::GetDesiredSize(available);
    return SIZE{m_fixedSize.cx, GetFontHeight() + margin};
}

SIZE CLabelUI::GetDesiredSize(SIZE available) { return DesiredSizeWithMargin(available, 4); }

void CLabelUI::SetTextStyle(UINT style)
{
    m_textStyle = style;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc)
{
    m_rcTextPadding = rc;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool showHtml)
{
    if (m_showHtml == showHtml)
        return;
    m_showHtml = showHtml;
    Invalidate();
}

bool CLabelUI::ResolveDefaultColors()
{
    if (m_host == nullptr)
        return false;
    if (m_textColor == 0)
        m_textColor = m_host->GetDefaultFontColor();
    if (m_disabledTextColor == 0)
        m_disabledTextColor = m_host->GetDisabledFontColor();
    return true;
}

RECT CLabelUI::GetTextRect() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.top += m_rcTextPadding.top;
    rc.right -= m_rcTextPadding.right;
    rc.bottom -= m_rcTextPadding.bottom;
    return rc;
}

void CLabelUI::DrawLabelText(HDC hDC, const wchar_t* text, DWORD color)
{
    RECT rc = GetTextRect();
    if (m_showHtml) {
        int links = 0;
        CRenderKit::DrawMarkedUpText(hDC, m_host, rc, text, color, nullptr, nullptr, links, m_textStyle);
    } else {
        m_placedText.Draw(hDC, m_host, rc, text, color, m_font, m_textStyle);
    }
}

void CLabelUI::PaintText(HDC hDC)
{
    if (!ResolveDefaultColors() || m_text.IsEmpty())
        return;
    DrawLabelText(hDC, m_text.GetData(), GetStateTextColor());
}

} // namespace SkinUI
