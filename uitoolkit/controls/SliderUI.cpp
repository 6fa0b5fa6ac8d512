#include "uitoolkit/controls/SliderUI.h"

#include <cwchar>

#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ControlImage.h"
#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

CSliderUI::CSliderUI()
{
    m_textStyle = DT_SINGLELINE | DT_CENTER;
}

const wchar_t* CSliderUI::GetClass() const { return L"SliderUI"; }

void* CSliderUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Slider") == 0)
        return this;
    return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetBehaviourFlags() const
{
    return IsEnabled() ? static_cast<UINT>(kBehaviourSetCursor) : 0u;
}

void CSliderUI::SetEnabled(bool enabled)
{
    CProgressUI::SetEnabled(enabled);
    if (!enabled)
        m_thumbState = 0;
}

RECT CSliderUI::GetThumbRect() const
{
    const RECT& r = m_rcItem;
    const long long offset = static_cast<long long>(m_value) - m_min;
    RECT rc;
    if (m_horizontal) {
        rc.left = ClampedSum(r.left, ScaleInt(offset, GetWidth() - m_thumbSize.cx, Span()));
        rc.top = (r.bottom + r.top - m_thumbSize.cy) / 2;
    } else {
        rc.left = (r.right + r.left - m_thumbSize.cx) / 2;
        const int travelled = ScaleInt(offset, GetHeight() - m_thumbSize.cy, Span());
        rc.top = ClampedDifference(r.bottom, static_cast<long long>(travelled) + m_thumbSize.cy);
    }
    rc.right = ClampedSum(rc.left, m_thumbSize.cx);
    rc.bottom = ClampedSum(rc.top, m_thumbSize.cy);
    return rc;
}

// A point within half a thumb of an end is that end's value; between, the value is in
// proportion to the distance travelled. A maximum not above the minimum counts as minimum + 1.
// The value is worked out in 64 bits (a span may exceed int) and clamped into the limits last.
int CSliderUI::ValueAt(POINT pt) const
{
    const RECT& r = m_rcItem;
    const long long min = m_min;
    const long long max = min + Span();
    long long value;
    if (m_horizontal) {
        const int half = m_thumbSize.cx / 2;
        if (pt.x >= r.right - half)
            value = max;
        else if (pt.x > r.left + half)
            value = min + ScaleLong(Span(), static_cast<long long>(pt.x) - r.left - half,
                                    static_cast<long long>(GetWidth()) - m_thumbSize.cx);
        else
            value = min;
    } else {
        const int half = m_thumbSize.cy / 2;
        if (pt.y >= r.bottom - half)
            value = min;
        else if (pt.y > r.top + half)
            value = min + ScaleLong(Span(), static_cast<long long>(r.bottom) - half - pt.y,
                                    static_cast<long long>(GetHeight()) - m_thumbSize.cy);
        else
            value = max;
    }
    return ClampToInt(value < min ? min : value > max ? max : value);
}

void CSliderUI::HandleEvent(ControlEvent& event)
{
    if (!IsMouseEnabled() && event.type >= kEventMouseMove && event.type <= kEventScrollWheel) {
        if (m_parent != nullptr)
            m_parent->HandleEvent(event);
        else
            CProgressUI::HandleEvent(event);
        return;
    }
    const RECT thumb = GetThumbRect();
    switch (event.type) {
    case kEventButtonDown:
    case kEventDblClick:
        // Only a press on the thumb starts a drag; a click on the track acts on release.
        if (IsEnabled() && ::PtInRect(&thumb, event.point))
            m_thumbState |= kStateCaptured;
        return;
    case kEventButtonUp:
        m_thumbState &= ~kStateCaptured;
        if (!IsEnabled())
            return;  // a disabled slider keeps its value
        SetValue(ValueAt(event.point));
        if (m_host != nullptr)
            m_host->SendNotify(this, L"valuechanged");  // last: a listener may delete the slider
        return;
    case kEventScrollWheel:
        // No clamping here: the next paint clamps.
        SetValue(event.wParam == 0 ? ClampedSum(m_value, m_step) : ClampedDifference(m_value, m_step));
        if (m_host != nullptr)
            m_host->SendNotify(this, L"valuechanged");
        return;
    case kEventMouseMove:
        if ((m_thumbState & kStateCaptured) != 0)
            SetValue(ValueAt(event.point));
        return;
    case kEventContextMenu:
        return;
    case kEventSetCursor:
        if (IsEnabled() && ::PtInRect(&thumb, event.point)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    case kEventMouseEnter:
    case kEventMouseLeave:
        if (IsEnabled()) {
            if (event.type == kEventMouseEnter)
                m_thumbState |= kStateHot;
            else
                m_thumbState &= ~kStateHot;
            Invalidate();
        }
        return;
    default:
        break;
    }
    CProgressUI::HandleEvent(event);
}

void CSliderUI::SetThumbImage(ThumbImage which, const wchar_t* image)
{
    m_thumbImages[which] = image;
    Invalidate();
}

namespace {
const AttributeSetterOf<CSliderUI> kSliderAttributes[] = {
    {L"thumbimage", [](CSliderUI& c, const wchar_t* v) { c.SetThumbImage(CSliderUI::kThumbNormal, v); }},
    {L"thumbhotimage", [](CSliderUI& c, const wchar_t* v) { c.SetThumbImage(CSliderUI::kThumbHot, v); }},
    {L"thumbpushedimage", [](CSliderUI& c, const wchar_t* v) { c.SetThumbImage(CSliderUI::kThumbPushed, v); }},
    {L"thumbsize", [](CSliderUI& c, const wchar_t* v) { c.SetThumbSize(ParseSize(v)); }},
    {L"step", [](CSliderUI& c, const wchar_t* v) { c.SetChangeStep(ParseInt(v)); }},
};
} // namespace

void CSliderUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kSliderAttributes, *this, name, value))
        CProgressUI::SetAttribute(name, value);
}

void CSliderUI::PaintStateImage(HDC hDC)
{
    CProgressUI::PaintStateImage(hDC);
    const wchar_t* modifier = FormatDestModifier(m_modifier, GetThumbRect(), m_rcItem);
    // A state image that cannot be drawn is dropped and the next one tried.
    const auto draw = [&](CUIString& image) { return DrawImageOrForget(*this, hDC, image, modifier); };
    if ((m_thumbState & kStateCaptured) != 0) {
        if (draw(m_thumbImages[kThumbPushed]))
            return;
    } else if ((m_thumbState & kStateHot) != 0) {
        if (draw(m_thumbImages[kThumbHot]))
            return;
    }
    draw(m_thumbImages[kThumbNormal]);
}

} // namespace SkinUI
