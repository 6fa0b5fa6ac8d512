#include "uitoolkit/controls/ScrollBarUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/ControlImage.h"
#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// Outline of a button or thumb that has no image.
constexpr DWORD kFallbackFrameColor = 0xFF85E4FF;
constexpr int kFallbackFrameWidth = 2;
// The rail (grip) stops this far short of each end of a thickness-long span.
constexpr int kRailInset = 2;

// Image attribute names: a part prefix followed by a state suffix.
const wchar_t* const kImageSuffixes[CScrollBarUI::kImageSlots] = {
    L"normalimage", L"hotimage", L"pushedimage", L"disabledimage"};

bool IsAllZero(const RECT& rc)
{
    return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0;
}

} // namespace

CScrollBarUI::CScrollBarUI()
{
    m_fixedSize.cx = kDefaultThickness;
}

const wchar_t* CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

void* CScrollBarUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ScrollBar") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    // The thickness moves to the other axis unless the skin fixed it there already.
    if (horizontal && m_fixedSize.cy == 0) {
        m_fixedSize.cx = 0;
        m_fixedSize.cy = kDefaultThickness;
    } else if (!horizontal && m_fixedSize.cx == 0) {
        m_fixedSize.cx = kDefaultThickness;
        m_fixedSize.cy = 0;
    }
    if (m_owner != nullptr)
        m_owner->RequestLayout();
    else
        RequestParentLayout();
}

void CScrollBarUI::SetScrollRange(int range)
{
    range = std::max(range, 0);
    if (m_range == range)
        return;
    m_range = range;
    m_scrollPos = std::min(m_scrollPos, m_range);
    SetPos(m_rcItem);
}

void CScrollBarUI::SetScrollPos(int pos)
{
    pos = std::clamp(pos, 0, m_range);
    if (m_scrollPos == pos)
        return;
    m_scrollPos = pos;
    SetPos(m_rcItem);
}

int CScrollBarUI::Thickness() const
{
    return m_horizontal ? m_fixedSize.cy : m_fixedSize.cx;
}

int CScrollBarUI::Length() const
{
    return m_horizontal ? GetWidth() : GetHeight();
}

int CScrollBarUI::TrackLength() const
{
    return Length() - (m_button1.shown ? Thickness() : 0) - (m_button2.shown ? Thickness() : 0);
}

int CScrollBarUI::Along(POINT pt) const
{
    return m_horizontal ? pt.x : pt.y;
}

void CScrollBarUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    Layout();
}

// Lays out buttons and thumb along the bar's axis; the same arithmetic serves both directions
// by naming coordinates "along" and "across" the bar.
void CScrollBarUI::Layout()
{
    const RECT& r = m_rcItem;
    const int lo = m_horizontal ? r.left : r.top;
    const int hi = m_horizontal ? r.right : r.bottom;
    const int across = m_horizontal ? r.top : r.left;
    const int s = Thickness();
    const auto make = [&](int a0, int a1, int c0, int c1) {
        return m_horizontal ? RECT{a0, c0, a1, c1} : RECT{c0, a0, c1, a1};
    };
    const RECT emptyAtStart = make(lo, lo, across, across);
    const RECT emptyAtEnd = make(hi, hi, across, across);

    // 1. The track is what the shown buttons leave.
    const int length = hi - lo;
    const int track = TrackLength();

    // 2. No room for a thumb: the buttons share the length, at most a thickness each.
    if (track <= s) {
        const int half = std::min(length / 2, s);
        m_button1.rc = m_button1.shown ? make(lo, lo + half, across, across + s) : emptyAtStart;
        m_button2.rc = m_button2.shown ? make(hi - half, hi, across, across + s) : emptyAtEnd;
        m_thumb.rc = RECT{0, 0, 0, 0};
        return;
    }

    // 3. Square buttons at the ends, the thumb on the track between them.
    m_button1.rc = m_button1.shown ? make(lo, lo + s, across, across + s) : emptyAtStart;
    m_button2.rc = m_button2.shown ? make(hi - s, hi, across, across + s) : emptyAtEnd;
    const int trackStart = m_button1.shown ? lo + s : lo;
    const int trackEnd = m_button2.shown ? hi - s : hi;
    if (m_range < 1) {
        m_thumb.rc = make(trackStart, trackEnd, across, across + s);
        return;
    }
    const int thumb = std::max(ScaleInt(length, track, static_cast<long long>(m_range) + length), s);
    int start = trackStart + ScaleInt(track - thumb, m_scrollPos, m_range);
    int end = start + thumb;
    if (end > trackEnd) {
        end = trackEnd;
        start = end - thumb;
    }
    m_thumb.rc = make(start, end, across, across + s);
}

void CScrollBarUI::SetVisible(bool visible)
{
    // The owner lays its bars out itself: no layout request here.
    m_visible = visible;
    m_focused = false;
}

void CScrollBarUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!enabled) {
        m_button1.state = 0;
        m_button2.state = 0;
        m_thumb.state = 0;
    }
}

void CScrollBarUI::SetFocus()
{
    if (m_owner != nullptr)
        m_owner->SetFocus();
    else
        CControlUI::SetFocus();
}

void CScrollBarUI::ScrollLine(int direction)
{
    if (m_owner == nullptr) {
        SetScrollPos(ClampedSum(m_scrollPos, ClampedProduct(direction, m_lineSize)));
        return;
    }
    if (m_horizontal)
        direction < 0 ? m_owner->LineLeft() : m_owner->LineRight();
    else
        direction < 0 ? m_owner->LineUp() : m_owner->LineDown();
}

void CScrollBarUI::ScrollPage(int direction)
{
    if (m_owner == nullptr) {
        SetScrollPos(ClampedSum(m_scrollPos, ClampedProduct(direction, Length())));
        return;
    }
    if (m_horizontal)
        direction < 0 ? m_owner->PageLeft() : m_owner->PageRight();
    else
        direction < 0 ? m_owner->PageUp() : m_owner->PageDown();
}

void CScrollBarUI::ScrollTo(int pos)
{
    if (m_owner == nullptr) {
        SetScrollPos(pos);
        return;
    }
    SIZE current = m_owner->GetScrollPos();
    (m_horizontal ? current.cx : current.cy) = pos;
    m_owner->SetScrollPos(current);
}

int CScrollBarUI::SideOfThumb(POINT pt) const
{
    if (IsAllZero(m_thumb.rc))
        return 0;
    const int along = Along(pt);
    if (along < (m_horizontal ? m_thumb.rc.left : m_thumb.rc.top))
        return -1;
    if (along >= (m_horizontal ? m_thumb.rc.right : m_thumb.rc.bottom))
        return 1;
    return 0;
}

void CScrollBarUI::PassOn(ControlEvent& event)
{
    if (m_owner != nullptr)
        m_owner->HandleEvent(event);
    else
        CControlUI::HandleEvent(event);
}

void CScrollBarUI::NotifyScroll()
{
    if (m_owner == nullptr && m_host != nullptr)
        m_host->SendNotify(this, L"scroll");
}

void CScrollBarUI::OnButtonDown(POINT pt)
{
    m_lastScrollOffset = 0;
    m_repeatCount = 0;
    if (m_host != nullptr)
        m_host->SetTimer(this, kRepeatTimerId, kRepeatInterval);
    if (::PtInRect(&m_button1.rc, pt)) {
        m_button1.state |= kStatePushed;
        ScrollLine(-1);
    } else if (::PtInRect(&m_button2.rc, pt)) {
        m_button2.state |= kStatePushed;
        ScrollLine(1);
    } else if (::PtInRect(&m_thumb.rc, pt)) {
        m_thumb.state |= kStatePushed | kStateCaptured;
        m_lastMouse = pt;
        m_lastScrollPos = m_scrollPos;
    } else if (const int side = SideOfThumb(pt); side != 0) {
        ScrollPage(side);
    }
    Invalidate();
}

void CScrollBarUI::OnButtonUp()
{
    m_repeatCount = 0;
    m_lastScrollOffset = 0;
    if (m_host != nullptr)
        m_host->KillTimer(this, kRepeatTimerId);
    // Only the first pressed part is released.
    if ((m_thumb.state & kStateCaptured) != 0)
        m_thumb.state &= ~(kStatePushed | kStateCaptured);
    else if ((m_button1.state & kStatePushed) != 0)
        m_button1.state &= ~kStatePushed;
    else if ((m_button2.state & kStatePushed) != 0)
        m_button2.state &= ~kStatePushed;
    Invalidate();
}

void CScrollBarUI::OnMouseMove(POINT pt)
{
    if ((m_thumb.state & kStateCaptured) != 0) {
        // The drag is applied on the next tick. The thumb's room is the track it really moves
        // along, so that it stays under the point where it was pressed; a thumb that fills the
        // track gives no offset.
        const int thumb = m_horizontal ? m_thumb.rc.right - m_thumb.rc.left : m_thumb.rc.bottom - m_thumb.rc.top;
        const long long room = static_cast<long long>(TrackLength()) - thumb;
        m_lastScrollOffset =
            room <= 0 ? 0 : ScaleInt(static_cast<long long>(Along(pt)) - Along(m_lastMouse), m_range, room);
        return;
    }
    const bool inThumb = ::PtInRect(&m_thumb.rc, pt) != FALSE;
    if ((m_thumb.state & kStateHot) != 0 && !inThumb) {
        m_thumb.state &= ~kStateHot;
        Invalidate();
    } else if ((m_thumb.state & kStateHot) == 0 && inThumb && IsEnabled()) {
        m_thumb.state |= kStateHot;
        Invalidate();
    }
}

bool CScrollBarUI::OnRepeatTick()
{
    ++m_repeatCount;
    if ((m_thumb.state & kStateCaptured) != 0) {
        ScrollTo(ClampedSum(m_lastScrollPos, m_lastScrollOffset));
        Invalidate();
        return true;
    }
    if (m_repeatCount < kRepeatDelayTicks)
        return false;
    if ((m_button1.state & kStatePushed) != 0) {
        ScrollLine(-1);
        return true;
    }
    if ((m_button2.state & kStatePushed) != 0) {
        ScrollLine(1);
        return true;
    }
    // The track is held: page towards wherever the pointer is now.
    POINT pt = {0, 0};
    if (m_host == nullptr || !::GetCursorPos(&pt) || !::ScreenToClient(m_host->GetPaintWindow(), &pt))
        return false;
    const int side = SideOfThumb(pt);
    if (side == 0)
        return false;
    ScrollPage(side);
    return true;
}

void CScrollBarUI::HandleEvent(ControlEvent& event)
{
    if (!IsMouseEnabled() && event.type >= kEventMouseMove && event.type <= kEventScrollWheel) {
        PassOn(event);
        return;
    }
    switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
    case kEventContextMenu:
        return;
    case kEventButtonDown:
    case kEventDblClick:
        if (!IsEnabled())
            return;
        OnButtonDown(event.point);
        NotifyScroll();  // last: a listener may delete the bar
        return;
    case kEventButtonUp:
        OnButtonUp();
        return;
    case kEventMouseMove:
        OnMouseMove(event.point);
        return;
    case kEventMouseEnter:
        if (IsEnabled()) {
            m_button1.state |= kStateHot;
            m_button2.state |= kStateHot;
            if (::PtInRect(&m_thumb.rc, event.point))
                m_thumb.state |= kStateHot;
            Invalidate();
        }
        return;
    case kEventMouseLeave:
        if (IsEnabled()) {
            m_button1.state &= ~kStateHot;
            m_button2.state &= ~kStateHot;
            m_thumb.state &= ~kStateHot;
            Invalidate();
        }
        return;
    case kEventTimer:
        if (event.wParam == kRepeatTimerId) {
            if (OnRepeatTick())
                NotifyScroll();  // last: a listener may delete the bar
            return;
        }
        break;
    default:
        break;
    }
    PassOn(event);
}

void CScrollBarUI::ShowButton(int which, bool shown)
{
    (which == 1 ? m_button1 : m_button2).shown = shown;
    SetPos(m_rcItem);
}

namespace {
const AttributeSetterOf<CScrollBarUI> kScrollBarAttributes[] = {
    {L"hor", [](CScrollBarUI& c, const wchar_t* v) { c.SetHorizontal(ParseBool(v)); }},
    {L"linesize", [](CScrollBarUI& c, const wchar_t* v) { c.SetLineSize(ParseInt(v)); }},
    {L"range", [](CScrollBarUI& c, const wchar_t* v) { c.SetScrollRange(ParseInt(v)); }},
    {L"value", [](CScrollBarUI& c, const wchar_t* v) { c.SetScrollPos(ParseInt(v)); }},
    {L"showbutton1", [](CScrollBarUI& c, const wchar_t* v) { c.ShowButton(1, ParseBool(v)); }},
    {L"showbutton2", [](CScrollBarUI& c, const wchar_t* v) { c.ShowButton(2, ParseBool(v)); }},
};
} // namespace

void CScrollBarUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    // Image attributes: <part><state>image.
    const struct {
        const wchar_t* prefix;
        Part* part;
    } parts[] = {{L"button1", &m_button1}, {L"button2", &m_button2}, {L"thumb", &m_thumb},
                 {L"rail", &m_rail},       {L"bk", &m_background}};
    for (const auto& entry : parts) {
        const size_t prefixLength = std::wcslen(entry.prefix);
        if (std::wcsncmp(name, entry.prefix, prefixLength) != 0)
            continue;
        for (int slot = 0; slot < kImageSlots; ++slot) {
            if (std::wcscmp(name + prefixLength, kImageSuffixes[slot]) == 0) {
                entry.part->images[slot] = value;
                Invalidate();
                return;
            }
        }
    }
    if (!ApplyAttribute(kScrollBarAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
}

bool CScrollBarUI::DrawPart(HDC hDC, Part& part, UINT state, const RECT* dest)
{
    const wchar_t* modifier = dest != nullptr ? FormatDestModifier(m_modifier, *dest, m_rcItem) : nullptr;
    const auto draw = [&](int slot) { return DrawImageOrForget(*this, hDC, part.images[slot], modifier); };
    if ((state & kStateDisabled) != 0 && draw(kImageDisabled))
        return true;
    if ((state & kStatePushed) != 0 && draw(kImagePushed))
        return true;
    if ((state & kStateHot) != 0 && draw(kImageHot))
        return true;
    return draw(kImageNormal);
}

void CScrollBarUI::Paint(HDC hDC, const RECT& rcDirty)
{
    if (!::IntersectRect(&m_rcPaint, &rcDirty, &m_rcItem))
        return;
    const auto syncDisabled = [this](Part& part) {
        if (IsEnabled())
            part.state &= ~kStateDisabled;
        else
            part.state |= kStateDisabled;
    };

    // 1. Background over the whole bar, by the thumb's state.
    syncDisabled(m_thumb);
    DrawPart(hDC, m_background, m_thumb.state, nullptr);

    // 2. Buttons and thumb; a part without any image gets a frame.
    const auto drawFramed = [&](Part& part) {
        syncDisabled(part);
        if (!DrawPart(hDC, part, part.state, &part.rc))
            CRenderKit::DrawRect(hDC, part.rc, kFallbackFrameWidth, kFallbackFrameColor);
    };
    if (m_button1.shown)
        drawFramed(m_button1);
    if (m_button2.shown)
        drawFramed(m_button2);
    if (IsAllZero(m_thumb.rc))
        return;
    drawFramed(m_thumb);

    // 3. The rail: a grip centred on the thumb, a thickness long less 2 pixels at each end.
    const int s = Thickness();
    RECT rail = m_thumb.rc;
    if (m_horizontal) {
        rail.left = (m_thumb.rc.left + m_thumb.rc.right) / 2 - s / 2 + kRailInset;
        rail.right = rail.left + s - 2 * kRailInset;
    } else {
        rail.top = (m_thumb.rc.top + m_thumb.rc.bottom) / 2 - s / 2 + kRailInset;
        rail.bottom = rail.top + s - 2 * kRailInset;
    }
    DrawPart(hDC, m_rail, m_thumb.state, &rail);
}

} // namespace SkinUI
