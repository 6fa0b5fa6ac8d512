#include "uitoolkit/controls/LinearLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

// What tells the two linear layouts apart besides their axis.
struct CLinearLayoutUI::Names {
    const wchar_t* className;           // GetClass
    const wchar_t* interfaceName;       // answered by GetInterface
    const wchar_t* separatorAttribute;  // the band's size
};

const CLinearLayoutUI::Names& CLinearLayoutUI::NamesAlong(LinearAxis axis)
{
    static constexpr Names kHorizontal = {L"HorizontalLayoutUI", L"HorizontalLayout", L"sepwidth"};
    static constexpr Names kVertical = {L"VerticalLayoutUI", L"VerticalLayout", L"sepheight"};
    return axis.IsX() ? kHorizontal : kVertical;
}

CLinearLayoutUI::CLinearLayoutUI(LinearAxis axis) : m_axis(axis), m_names(NamesAlong(axis)), m_separator(axis.IsX())
{
}

CLinearLayoutUI::~CLinearLayoutUI()
{
    m_separator.Detach(*this);
}

const wchar_t* CLinearLayoutUI::GetClass() const { return m_names.className; }

void* CLinearLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, m_names.interfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CLinearLayoutUI::GetBehaviourFlags() const { return m_separator.BehaviourFlags(*this); }

void CLinearLayoutUI::SetPos(RECT rc)
{
    // One repaint request for the whole pass.
    CWindowHostUI::InvalidateBatch batch(m_host);
    // Without children the vertical layout hands its bars the inner rectangle, the horizontal
    // one the inset rectangle.
    if (!BeginLayoutPass(rc, m_axis.IsX() ? EmptyBars::OverInset : EmptyBars::OverInner))
        return;
    // The rest is compiled once per axis, so that the loop over the children tests the axis for
    // none of the coordinates it picks.
    if (m_axis.IsX())
        PlaceChildrenAlong<true>();
    else
        PlaceChildrenAlong<false>();
}

// Sums run in 64 bits: a skin may give any child any length.
template <bool AlongX>
void CLinearLayoutUI::PlaceChildrenAlong()
{
    constexpr LinearAxis along = AlongX ? LinearAxis::X() : LinearAxis::Y();
    constexpr LinearAxis across = along.Across();

    // 1. The inner rectangle leaves out the inset and the shown bars; a horizontal bar widens
    //    the room by what it scrolls.
    const RECT inner = GetInnerRect();
    const CScrollBarUI* vbar = GetShownVerticalScrollBar();
    const CScrollBarUI* hbar = GetShownHorizontalScrollBar();
    const long long width = LinearAxis::X().Length(inner) + (hbar != nullptr ? hbar->GetScrollRange() : 0);
    const long long height = LinearAxis::Y().Length(inner);
    const long long room = along.Pick(width, height);
    const long long thickness = across.Pick(width, height);

    // 2. Measuring: every measured child's paddings along the axis count as fixed, and so do
    //    the gaps between the children.
    const LinearMeasure measure = MeasureChildren(along, LinearAxis::X().MakeSize(width, height), [](CControlUI&, SIZE) {});
    const long long gaps = static_cast<long long>(measure.measured - 1) * m_childPadding;
    const long long fixedTotal = measure.fixedTotal + gaps;
    LinearShare share(measure.automatic, room - fixedTotal);

    // 3. Start at the scrolled origin. The vertical bar scrolls only the layout that feeds it.
    const long long x = static_cast<long long>(inner.left) - (hbar != nullptr ? hbar->GetScrollPos() : 0);
    const long long y =
        static_cast<long long>(inner.top) - (vbar != nullptr && !along.IsX() ? vbar->GetScrollPos() : 0);
    long long position = along.Pick(x, y);
    const long long acrossStart = across.Pick(x, y);
    long long remaining = room;
    long long fixedRemaining = fixedTotal;
    long long needed = 0;
    // What each child is offered across; in int already, so that only the length along is
    // clamped per child.
    const LONG offeredAcross = ClampToInt(thickness);

    // 4. Placing. Only fixed children take their paddings off the fixed remainder, so the last
    //    automatic child is short by the paddings of the automatic children before it.
    const bool survived = ForEachPlacedChild([&](CControlUI* child, int) {
        // a. What the child asks for along the axis, offered the room that remains.
        const RECT padding = child->GetPadding();
        const LONG desired = along.Of(child->GetDesiredSize(along.MakeSize(remaining, offeredAcross)));
        // b. Its own length when fixed, else a share; the last automatic child takes the rest.
        const long long length = share.LengthOf(*child, along, desired, remaining - fixedRemaining);
        if (desired != 0)
            fixedRemaining -= along.Sides(padding) + length;
        fixedRemaining -= m_childPadding;
        // c. Across: the fixed size, else the room beside the paddings.
        long long breadth = across.FixedOf(*child);
        if (breadth == 0)
            breadth = std::max<long long>(0, thickness - across.Sides(padding));
        breadth = across.Clamp(*child, breadth);
        // d. The place, then the advance; the child's SetPos, its call-out, comes last.
        const long long start = position + along.Start(padding);
        const long long extent = along.Sides(padding) + length;
        position += extent + m_childPadding;
        needed += extent;
        remaining -= extent + m_childPadding;
        child->SetPos(along.MakeRect(start, length, acrossStart + across.Start(padding), breadth));
    });
    if (!survived)
        return;

    // 5. The content length feeds the bars (only the vertical bar reads it).
    const SIZE content = along.MakeSize(needed + gaps, 0);
    ProcessScrollBar(inner, content.cx, content.cy);
}

void CLinearLayoutUI::HandleEvent(ControlEvent& event)
{
    // A drag changes the layout's own fixed size along its axis.
    LONG& fixedExtent = m_axis.IsX() ? m_fixedSize.cx : m_fixedSize.cy;
    if (m_separator.GetSize() == 0 || !m_separator.HandleEvent(event, *this, m_rcItem, fixedExtent))
        CContainerUI::HandleEvent(event);
}

void CLinearLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (!m_separator.SetAttribute(*this, m_names.separatorAttribute, name, value != nullptr ? value : L""))
        CContainerUI::SetAttribute(name, value);
}

void CLinearLayoutUI::PaintOverlay(HDC hDC, const RECT& /*rcPaint*/) { m_separator.PaintOverlay(hDC); }

} // namespace SkinUI
