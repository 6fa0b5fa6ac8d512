#include "uitoolkit/controls/ProgressUI.h"

#include <algorithm>
#include <climits>
#include <cwchar>

#include "uitoolkit/controls/ControlImage.h"
#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"

namespace SkinUI {

namespace {
constexpr int kDefaultHeight = 12;
} // namespace

CProgressUI::CProgressUI()
{
    m_textStyle = DT_SINGLELINE | DT_CENTER;
    m_fixedSize.cy = kDefaultHeight;
}

const wchar_t* CProgressUI::GetClass() const { return L"ProgressUI"; }

void* CProgressUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Progress") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int min)
{
    m_min = min;
    Invalidate();
}

void CProgressUI::SetMaxValue(int max)
{
    m_max = max;
    Invalidate();
}

void CProgressUI::SetValue(int value)
{
    m_value = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const wchar_t* image)
{
    if (m_foreImage == image)
        return;
    m_foreImage = image;
    Invalidate();
}

namespace {
const AttributeSetterOf<CProgressUI> kProgressAttributes[] = {
    {L"foreimage", [](CProgressUI& c, const wchar_t* v) { c.SetForeImage(v); }},
    {L"hor", [](CProgressUI& c, const wchar_t* v) { c.SetHorizontal(ParseBool(v)); }},
    {L"min", [](CProgressUI& c, const wchar_t* v) { c.SetMinValue(ParseInt(v)); }},
    {L"max", [](CProgressUI& c, const wchar_t* v) { c.SetMaxValue(ParseInt(v)); }},
    {L"value", [](CProgressUI& c, const wchar_t* v) { c.SetValue(ParseInt(v)); }},
};
} // namespace

void CProgressUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kProgressAttributes, *this, name, value))
        CLabelUI::SetAttribute(name, value);
}

long long CProgressUI::Span() const
{
    const long long span = static_cast<long long>(m_max) - m_min;
    return span > 0 ? span : 1;
}

void CProgressUI::PaintStateImage(HDC hDC)
{
    // 1. Limits normalised (a maximum not above the minimum becomes minimum + 1) and the value
    //    clamped, both stored.
    if (m_max <= m_min)
        m_max = m_min < INT_MAX ? m_min + 1 : m_min;
    m_value = std::clamp(m_value, m_min, m_max);

    // 2. The filled part: from the left, or from the bottom when vertical.
    const int width = GetWidth();
    const int height = GetHeight();
    RECT fill = m_rcItem;
    if (m_horizontal)
        fill.right = m_rcItem.left + ScaleInt(width, static_cast<long long>(m_value) - m_min, Span());
    else
        fill.top = m_rcItem.top + ScaleInt(height, static_cast<long long>(m_max) - m_value, Span());

    // 3. A fore image that cannot be drawn is not tried again.
    DrawImageOrForget(*this, hDC, m_foreImage, FormatDestModifier(m_modifier, fill, m_rcItem));
}

} // namespace SkinUI
