#include "uitoolkit/controls/ContainerUI.h"

#include <cwchar>

#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/ClipGuard.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// The six scroll steps of one axis, in the order of kScrollKeys.
using ScrollStep = void (CContainerUI::*)();
const ScrollStep kVerticalSteps[] = {&CContainerUI::LineUp,   &CContainerUI::LineDown, &CContainerUI::PageUp,
                                     &CContainerUI::PageDown, &CContainerUI::HomeUp,   &CContainerUI::EndDown};
const ScrollStep kHorizontalSteps[] = {&CContainerUI::LineLeft,  &CContainerUI::LineRight,
                                       &CContainerUI::PageLeft,  &CContainerUI::PageRight,
                                       &CContainerUI::HomeLeft,  &CContainerUI::EndRight};
const WPARAM kScrollKeys[] = {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END};

// The step a key-down or wheel event asks for: the index into the step tables, or -1. The
// host's wheel event carries 0 for a turn away from the user and 1 towards the user.
int ScrollStepOf(const ControlEvent& event)
{
    if (event.type == kEventScrollWheel) {
        const WORD code = LOWORD(event.wParam);
        return code <= 1 ? code : -1;
    }
    if (event.type != kEventKeyDown)
        return -1;
    for (int i = 0; i < 6; ++i) {
        if (event.key == kScrollKeys[i])
            return i;
    }
    return -1;
}

bool IsMouseEvent(int type)
{
    return type >= kEventMouseMove && type <= kEventScrollWheel;
}

bool Meets(const RECT& a, const RECT& b)
{
    RECT unused;
    return ::IntersectRect(&unused, &a, &b) != FALSE;
}

bool IsShown(const std::unique_ptr<CScrollBarUI>& bar)
{
    return bar != nullptr && bar->IsVisible();
}

} // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI()
{
    m_delayedDestroy = false;  // a dying container deletes its children itself, now
    RemoveAll();
    m_verticalScrollBar.reset();
    m_horizontalScrollBar.reset();
}

const wchar_t* CContainerUI::GetClass() const { return L"ContainerUI"; }

void* CContainerUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"IContainer") == 0)
        return static_cast<IContainerUI*>(this);
    if (name != nullptr && std::wcscmp(name, L"Container") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

// ---- item management --------------------------------------------------------------------------

CControlUI* CContainerUI::GetItemAt(int index) const
{
    if (index < 0 || index >= m_items.GetSize())
        return nullptr;
    return static_cast<CControlUI*>(m_items[index]);
}

int CContainerUI::GetItemIndex(CControlUI* control) const
{
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i] == control)
            return i;
    }
    return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index)
{
    // Range first: a child taken out and not put back would be lost to the tree.
    if (control == nullptr || index < 0 || index >= m_items.GetSize())
        return false;
    const int current = GetItemIndex(control);
    if (current < 0)
        return false;
    RequestLayout();
    m_items.Remove(current);
    return m_items.InsertAt(index, control);
}

int CContainerUI::GetCount() const { return m_items.GetSize(); }

bool CContainerUI::Add(CControlUI* control)
{
    return CContainerUI::AddAt(control, m_items.GetSize());
}

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    // Range first, so that a refused child is left as it was.
    if (control == nullptr || index < 0 || index > m_items.GetSize())
        return false;
    if (m_host != nullptr)
        m_host->InitControlTree(control, this);
    if (IsVisible())
        RequestLayout();
    else
        control->SetInheritedVisible(false);
    return m_items.InsertAt(index, control);
}

void CContainerUI::DestroyChild(CControlUI* child)
{
    if (m_delayedDestroy && m_host != nullptr)
        m_host->AddDelayedCleanup(child);
    else
        delete child;
}

bool CContainerUI::Remove(CControlUI* control)
{
    if (control == nullptr)
        return false;
    const int index = GetItemIndex(control);
    if (index < 0)
        return false;
    RequestLayout();
    // Out of the list before it is deleted: its destructor may look at its container.
    m_items.Remove(index);
    if (m_autoDestroy)
        DestroyChild(control);
    return true;
}

bool CContainerUI::RemoveAt(int index)
{
    CControlUI* control = GetItemAt(index);
    if (control == nullptr)
        return false;
    return CContainerUI::Remove(control);
}

void CContainerUI::RemoveAll()
{
    // The list is emptied before any child is deleted (a destructor may look at it).
    CUIPtrArray items(m_items);
    if (items.GetSize() != m_items.GetSize()) {
        // No memory for the copy: take the children out one by one instead.
        while (!m_items.IsEmpty()) {
            auto* child = static_cast<CControlUI*>(m_items[0]);
            m_items.Remove(0);
            if (m_autoDestroy && child != nullptr)
                DestroyChild(child);
        }
        RequestLayout();
        return;
    }
    m_items.Empty();
    // A child's destroy delegates run here. A container that outlives its host has forgotten
    // it (see Watch), so the rest are deleted at once; a container deleted meanwhile stops.
    Watch watch(this);
    for (int i = 0; i < items.GetSize() && m_autoDestroy; ++i) {
        if (auto* child = static_cast<CControlUI*>(items[i])) {
            DestroyChild(child);
            if (watch.ControlDeleted())
                return;
        }
    }
    RequestLayout();
}

// ---- control base -----------------------------------------------------------------------------

void CContainerUI::SetManager(CWindowHostUI* host, CControlUI* parent, bool init)
{
    // Init delegates run for each child.
    if (!ForEachChild([&](CControlUI* child, int) { child->SetManager(host, this, init); }))
        return;
    if (m_verticalScrollBar)
        m_verticalScrollBar->SetManager(host, this, init);
    if (m_horizontalScrollBar)
        m_horizontalScrollBar->SetManager(host, this, init);
    CControlUI::SetManager(host, parent, init);
}

void CContainerUI::SetPos(RECT rc)
{
    CWindowHostUI::InvalidateBatch batch(m_host);  // one repaint request for the whole pass
    if (SetOwnPos(rc) && !m_items.IsEmpty())
        PlaceChildren(GetInsetRect());
}

bool CContainerUI::SetOwnPos(const RECT& rc)
{
    return Survives([&] { CControlUI::SetPos(rc); });
}

void CContainerUI::PlaceChildren(const RECT& rc)
{
    ForEachPlacedChild([&](CControlUI* child, int) { child->SetPos(rc); });
}

bool CContainerUI::BeginLayoutPass(const RECT& rc, EmptyBars emptyBars)
{
    if (!SetOwnPos(rc))
        return false;
    if (!m_items.IsEmpty())
        return true;
    ProcessScrollBar(emptyBars == EmptyBars::OverInset ? GetInsetRect() : GetInnerRect(), 0, 0);
    return false;
}

// Hiding a child that holds the focus runs "killfocus" listeners, here and in the base.
void CContainerUI::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    if (!Survives([&] { CControlUI::SetVisible(visible); }))
        return;
    const bool shown = IsVisible();
    ForEachChild([shown](CControlUI* child, int) { child->SetInheritedVisible(shown); });
}

void CContainerUI::SetInheritedVisible(bool visible)
{
    if (!Survives([&] { CControlUI::SetInheritedVisible(visible); }))
        return;
    const bool shown = IsVisible();
    ForEachChild([shown](CControlUI* child, int) { child->SetInheritedVisible(shown); });
}

void CContainerUI::SetEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    CControlUI::SetEnabled(enabled);
    ForEachChild([enabled](CControlUI* child, int) { child->SetEnabled(enabled); });
}

void CContainerUI::SetMouseEnabled(bool enabled)
{
    if (m_verticalScrollBar)
        m_verticalScrollBar->SetMouseEnabled(enabled);
    if (m_horizontalScrollBar)
        m_horizontalScrollBar->SetMouseEnabled(enabled);
    CControlUI::SetMouseEnabled(enabled);
}

RECT CContainerUI::GetInsetRect() const
{
    return RECT{m_rcItem.left + m_inset.left, m_rcItem.top + m_inset.top, m_rcItem.right - m_inset.right,
                m_rcItem.bottom - m_inset.bottom};
}

CScrollBarUI* CContainerUI::GetShownVerticalScrollBar() const
{
    return IsShown(m_verticalScrollBar) ? m_verticalScrollBar.get() : nullptr;
}

CScrollBarUI* CContainerUI::GetShownHorizontalScrollBar() const
{
    return IsShown(m_horizontalScrollBar) ? m_horizontalScrollBar.get() : nullptr;
}

RECT CContainerUI::GetInnerRect() const
{
    RECT rc = GetInsetRect();
    if (IsShown(m_verticalScrollBar))
        rc.right -= m_verticalScrollBar->GetFixedWidth();
    if (IsShown(m_horizontalScrollBar))
        rc.bottom -= m_horizontalScrollBar->GetFixedHeight();
    return rc;
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, UINT flags)
{
    // 1. The container's own visibility and enabling.
    if ((flags & kFindVisible) != 0 && !IsVisible())
        return nullptr;
    if ((flags & kFindEnabled) != 0 && !IsEnabled())
        return nullptr;
    const bool hitTest = (flags & kFindHitTest) != 0;
    const POINT* pt = static_cast<const POINT*>(data);
    const auto inBars = [&]() -> CControlUI* {
        CControlUI* found = nullptr;
        if (m_verticalScrollBar)
            found = m_verticalScrollBar->FindControl(proc, data, flags);
        if (found == nullptr && m_horizontalScrollBar)
            found = m_horizontalScrollBar->FindControl(proc, data, flags);
        return found;
    };

    // 2. Hit testing: the point must lie in the container; without mouse children only the
    //    bars and the container itself can be hit.
    if (hitTest) {
        if (pt == nullptr || !::PtInRect(&m_rcItem, *pt))
            return nullptr;
        if (!m_mouseChildEnabled) {
            if (CControlUI* bar = inBars())
                return bar;
            return CControlUI::FindControl(proc, data, flags);
        }
    }

    // 3. The bars, then the container itself when it goes first.
    if (CControlUI* bar = inBars())
        return bar;
    const bool meFirst = (flags & kFindMeFirst) != 0;
    if (meFirst) {
        if (CControlUI* self = CControlUI::FindControl(proc, data, flags))
            return self;
    }

    // 4. Children in list order or topmost first; a hit outside the inner rectangle counts
    //    only for floating controls (others are scrolled out of view there).
    const RECT inner = GetInnerRect();
    const bool topFirst = (flags & kFindTopFirst) != 0;
    for (int n = 0; n < m_items.GetSize(); ++n) {
        const int i = topFirst ? m_items.GetSize() - 1 - n : n;
        CControlUI* found = static_cast<CControlUI*>(m_items[i])->FindControl(proc, data, flags);
        if (found == nullptr)
            continue;
        if (!hitTest || found->IsFloat() || ::PtInRect(&inner, *pt))
            return found;
    }

    // 5. The container itself last.
    return meFirst ? nullptr : CControlUI::FindControl(proc, data, flags);
}

bool CContainerUI::ScrollByEvent(const ControlEvent& event, bool vertical)
{
    const int step = ScrollStepOf(event);
    if (step < 0)
        return false;
    (this->*(vertical ? kVerticalSteps : kHorizontalSteps)[step])();
    return true;
}

bool CContainerUI::PassOnIgnoredMouseEvent(ControlEvent& event)
{
    if (IsMouseEnabled() || !IsMouseEvent(event.type))
        return false;
    if (m_parent != nullptr)
        m_parent->HandleEvent(event);
    else
        CControlUI::HandleEvent(event);
    return true;
}

void CContainerUI::HandleEvent(ControlEvent& event)
{
    if (PassOnIgnoredMouseEvent(event))
        return;
    if (event.type == kEventSetFocus) {
        m_focused = true;
        return;
    }
    if (event.type == kEventKillFocus) {
        m_focused = false;
        return;
    }
    // Keys and the wheel scroll the vertical bar when it can take them, else the horizontal.
    const auto usable = [](const std::unique_ptr<CScrollBarUI>& bar) {
        return bar != nullptr && bar->IsVisible() && bar->IsEnabled();
    };
    if (usable(m_verticalScrollBar)) {
        if (!ScrollByEvent(event, true))
            CControlUI::HandleEvent(event);
        return;
    }
    if (usable(m_horizontalScrollBar)) {
        if (!ScrollByEvent(event, false))
            CControlUI::HandleEvent(event);
        return;
    }
    CControlUI::HandleEvent(event);
}

namespace {
const AttributeSetterOf<CContainerUI> kContainerAttributes[] = {
    {L"inset", [](CContainerUI& c, const wchar_t* v) { c.SetInset(ParseRect(v)); }},
    {L"mousechild", [](CContainerUI& c, const wchar_t* v) { c.SetMouseChildEnabled(ParseBool(v)); }},
    {L"vscrollbar",
     [](CContainerUI& c, const wchar_t* v) { c.EnableScrollBar(ParseBool(v), c.GetHorizontalScrollBar() != nullptr); }},
    {L"vscrollbarstyle",
     [](CContainerUI& c, const wchar_t* v) {
         c.EnableScrollBar(true, c.GetHorizontalScrollBar() != nullptr);
         c.GetVerticalScrollBar()->ApplyAttributeText(v);
     }},
    {L"hscrollbar",
     [](CContainerUI& c, const wchar_t* v) { c.EnableScrollBar(c.GetVerticalScrollBar() != nullptr, ParseBool(v)); }},
    {L"hscrollbarstyle",
     [](CContainerUI& c, const wchar_t* v) {
         c.EnableScrollBar(c.GetVerticalScrollBar() != nullptr, true);
         c.GetHorizontalScrollBar()->ApplyAttributeText(v);
     }},
    {L"childpadding", [](CContainerUI& c, const wchar_t* v) { c.SetChildPadding(ParseInt(v)); }},
};
} // namespace

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kContainerAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
}

void CContainerUI::Paint(HDC hDC, const RECT& rcDirty)
{
    // The container's own look, clipped to what is dirty of it.
    RECT rcPaint;
    if (!::IntersectRect(&rcPaint, &rcDirty, &m_rcItem))
        return;
    CClipGuard clip;
    CClipGuard::ClipToRect(hDC, rcPaint, clip);
    if (!Survives([&] { CControlUI::Paint(hDC, rcDirty); }))
        return;
    PaintChildren(hDC, rcDirty);
}

void CContainerUI::PaintChildren(HDC hDC, const RECT& rcDirty)
{
    // 1. Children: ordinary ones clipped to the inner rectangle, floating ones to the control.
    //    A child's painting may call out (text callbacks).
    if (!m_items.IsEmpty()) {
        const RECT inner = GetInnerRect();
        RECT rcChildren;
        if (::IntersectRect(&rcChildren, &rcDirty, &inner)) {
            CClipGuard childClip;
            CClipGuard::ClipToRect(hDC, rcChildren, childClip);
            const bool survived = ForEachChild([&](CControlUI* child, int) {
                if (!child->IsVisible() || !Meets(child->GetPos(), rcDirty))
                    return;
                if (child->IsFloat()) {
                    if (!Meets(child->GetPos(), m_rcItem))
                        return;
                    CClipGuard::SuspendClip(hDC, childClip);
                    child->Paint(hDC, rcDirty);
                    CClipGuard::ResumeClip(hDC, childClip);
                } else if (Meets(child->GetPos(), inner)) {
                    child->Paint(hDC, rcDirty);
                }
            });
            if (!survived)
                return;
        } else {
            const bool survived = ForEachChild([&](CControlUI* child, int) {
                if (child->IsVisible() && child->IsFloat() && Meets(child->GetPos(), rcDirty) &&
                    Meets(child->GetPos(), m_rcItem))
                    child->Paint(hDC, rcDirty);
            });
            if (!survived)
                return;
        }
    }

    // 2. The bars last, under the container's clip.
    for (const auto* bar : {&m_verticalScrollBar, &m_horizontalScrollBar}) {
        if (IsShown(*bar) && Meets((*bar)->GetPos(), rcDirty))
            (*bar)->Paint(hDC, rcDirty);
    }
}

// ---- container settings -----------------------------------------------------------------------

RECT CContainerUI::GetInset() const { return m_inset; }

void CContainerUI::SetInset(RECT rc)
{
    m_inset = rc;
    RequestLayout();
}

int CContainerUI::GetChildPadding() const { return m_childPadding; }

void CContainerUI::SetChildPadding(int padding)
{
    m_childPadding = padding;
    RequestLayout();
}

bool CContainerUI::IsAutoDestroy() const { return m_autoDestroy; }
void CContainerUI::SetAutoDestroy(bool on) { m_autoDestroy = on; }
bool CContainerUI::IsDelayedDestroy() const { return m_delayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool on) { m_delayedDestroy = on; }
bool CContainerUI::IsMouseChildEnabled() const { return m_mouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool enabled) { m_mouseChildEnabled = enabled; }

int CContainerUI::FindSelectable(int index, bool forward)
{
    const int count = m_items.GetSize();
    if (count == 0)
        return -1;
    if (index < 0)
        index = 0;
    if (index > count - 1)
        index = count - 1;
    const auto selectable = [this](int i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        return child->GetInterface(L"ListItem") != nullptr && child->IsVisible() && child->IsEnabled();
    };
    if (!forward) {
        for (int i = index; i >= 0; --i) {
            if (selectable(i))
                return i;
        }
        return FindSelectable(0, true);
    }
    for (int i = index; i < count; ++i) {
        if (selectable(i))
            return i;
    }
    return -1;
}

// ---- scrolling --------------------------------------------------------------------------------

namespace {
// One value of each bar, cx of the horizontal and cy of the vertical; 0 for a bar that is
// missing or hidden.
SIZE BarValues(const CScrollBarUI* horizontal, const CScrollBarUI* vertical, int (CScrollBarUI::*value)() const)
{
    return SIZE{horizontal != nullptr ? (horizontal->*value)() : 0, vertical != nullptr ? (vertical->*value)() : 0};
}
} // namespace

SIZE CContainerUI::GetScrollPos() const
{
    return BarValues(GetShownHorizontalScrollBar(), GetShownVerticalScrollBar(), &CScrollBarUI::GetScrollPos);
}

SIZE CContainerUI::GetScrollRange() const
{
    return BarValues(GetShownHorizontalScrollBar(), GetShownVerticalScrollBar(), &CScrollBarUI::GetScrollRange);
}

void CContainerUI::SetScrollPos(SIZE pos)
{
    // 1. The shown bars take the new positions (each clamps into its range).
    const auto move = [](const std::unique_ptr<CScrollBarUI>& bar, int to) {
        if (!IsShown(bar))
            return 0;
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(to);
        return bar->GetScrollPos() - old;
    };
    const int dy = move(m_verticalScrollBar, pos.cy);
    const int dx = move(m_horizontalScrollBar, pos.cx);
    // 2. The content moves the other way; floating children stay where they are.
    if (dx == 0 && dy == 0)
        return;
    CWindowHostUI::InvalidateBatch batch(m_host);
    const bool survived = ForEachChild([dx, dy](CControlUI* child, int) {
        if (!child->IsVisible() || child->IsFloat())
            return;
        const RECT& rc = child->GetPos();
        child->SetPos(RECT{ClampedDifference(rc.left, dx), ClampedDifference(rc.top, dy),
                           ClampedDifference(rc.right, dx), ClampedDifference(rc.bottom, dy)});
    });
    // 3. Repainted, unless a child's move cost the container.
    if (survived)
        Invalidate();
}

int CContainerUI::GetVerticalLine() const
{
    if (m_host == nullptr)
        return kLineStep;
    return m_host->GetDefaultFontEntry()->metrics.tmHeight + kLineStep;
}

int CContainerUI::GetVerticalPage() const
{
    int page = GetHeight() - m_inset.top - m_inset.bottom;
    if (IsShown(m_horizontalScrollBar))
        page -= m_horizontalScrollBar->GetFixedHeight();
    return page;
}

int CContainerUI::GetHorizontalPage() const
{
    int page = GetWidth() - m_inset.left - m_inset.right;
    if (IsShown(m_verticalScrollBar))
        page -= m_verticalScrollBar->GetFixedWidth();
    return page;
}

void CContainerUI::ScrollAxisTo(bool vertical, long long pos)
{
    SIZE current = GetScrollPos();
    (vertical ? current.cy : current.cx) = ClampToInt(pos);
    SetScrollPos(current);
}

void CContainerUI::LineUp() { ScrollAxisTo(true, static_cast<long long>(GetScrollPos().cy) - GetVerticalLine()); }
void CContainerUI::LineDown() { ScrollAxisTo(true, static_cast<long long>(GetScrollPos().cy) + GetVerticalLine()); }
void CContainerUI::PageUp() { ScrollAxisTo(true, static_cast<long long>(GetScrollPos().cy) - GetVerticalPage()); }
void CContainerUI::PageDown() { ScrollAxisTo(true, static_cast<long long>(GetScrollPos().cy) + GetVerticalPage()); }
void CContainerUI::HomeUp() { ScrollAxisTo(true, 0); }
void CContainerUI::EndDown() { ScrollAxisTo(true, GetScrollRange().cy); }
void CContainerUI::LineLeft() { ScrollAxisTo(false, static_cast<long long>(GetScrollPos().cx) - kLineStep); }
void CContainerUI::LineRight() { ScrollAxisTo(false, static_cast<long long>(GetScrollPos().cx) + kLineStep); }
void CContainerUI::PageLeft() { ScrollAxisTo(false, static_cast<long long>(GetScrollPos().cx) - GetHorizontalPage()); }
void CContainerUI::PageRight() { ScrollAxisTo(false, static_cast<long long>(GetScrollPos().cx) + GetHorizontalPage()); }
void CContainerUI::HomeLeft() { ScrollAxisTo(false, 0); }
void CContainerUI::EndRight() { ScrollAxisTo(false, GetScrollRange().cx); }

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal)
{
    // A new bar scrolls this container and takes the host's default look for its direction.
    const auto make = [this](bool isHorizontal) {
        auto bar = std::make_unique<CScrollBarUI>();
        if (isHorizontal)
            bar->SetHorizontal(true);
        bar->SetOwner(this);
        bar->SetManager(m_host, nullptr, false);
        if (m_host != nullptr) {
            if (const wchar_t* defaults = m_host->GetDefaultAttributes(isHorizontal ? L"HScrollBar" : L"VScrollBar"))
                bar->ApplyAttributeText(defaults);
        }
        return bar;
    };
    if (!vertical)
        m_verticalScrollBar.reset();
    else if (!m_verticalScrollBar)
        m_verticalScrollBar = make(false);
    if (!horizontal)
        m_horizontalScrollBar.reset();
    else if (!m_horizontalScrollBar)
        m_horizontalScrollBar = make(true);
    RequestLayout();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_verticalScrollBar.get(); }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_horizontalScrollBar.get(); }

void CContainerUI::SetFloatPos(int index)
{
    CControlUI* child = GetItemAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat())
        return;
    const RECT& parent = m_rcItem;
    const SIZE xy = child->GetFixedXY();
    const long long w = child->GetFixedWidth();
    const long long h = child->GetFixedHeight();

    // 1. A negative fixed position anchors the right / bottom edge to the container's.
    long long left, right, top, bottom;
    if (xy.cx < 0) {
        left = parent.right - w + xy.cx;
        right = static_cast<long long>(parent.right) + xy.cx;
    } else {
        left = static_cast<long long>(parent.left) + xy.cx;
        right = left + w;
    }
    if (xy.cy < 0) {
        top = parent.bottom - h + xy.cy;
        bottom = static_cast<long long>(parent.bottom) + xy.cy;
    } else {
        top = static_cast<long long>(parent.top) + xy.cy;
        bottom = top + h;
    }

    // 2. A relative position follows the container's change of size since the last placement.
    if (child->IsRelativePos()) {
        const RelativePosUI relative = child->GetRelativePos();
        const long long width = static_cast<long long>(parent.right) - parent.left;
        const long long height = static_cast<long long>(parent.bottom) - parent.top;
        if (relative.parentSize.cx != 0) {
            const long long dw = width - relative.parentSize.cx;
            const long long dh = height - relative.parentSize.cy;
            left += ScaleInt(relative.moveX, dw, 100);
            top += ScaleInt(relative.moveY, dh, 100);
            right = left + w + ScaleInt(relative.zoomX, dw, 100);
            bottom = top + h + ScaleInt(relative.zoomY, dh, 100);
        }
        child->SetRelativeParentSize(SIZE{ClampToInt(width), ClampToInt(height)});
    }

    // 3. SetPos stores the result back as the child's fixed position and size.
    child->SetPos(RECT{ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)});
}

bool CContainerUI::RelayoutForScrollBar()
{
    if (m_scrollRelayoutDepth >= kMaxScrollRelayoutDepth)
        return true;
    // A pass that cost only the host leaves the container whole: its depth is counted back.
    Watch watch(this);
    ++m_scrollRelayoutDepth;
    SetPos(m_rcItem);
    if (watch.ControlDeleted())
        return false;
    --m_scrollRelayoutDepth;
    return true;
}

void CContainerUI::ProcessScrollBar(RECT rc, int /*requiredWidth*/, int requiredHeight)
{
    // 1. The horizontal bar sits just below the rectangle; its range is left alone.
    if (IsShown(m_horizontalScrollBar)) {
        const int height = m_horizontalScrollBar->GetFixedHeight();
        m_horizontalScrollBar->SetPos(RECT{rc.left, rc.bottom, rc.right, ClampedSum(rc.bottom, height)});
    }
    // 2. The vertical bar, if any, by how far the content overruns the room.
    CScrollBarUI* bar = m_verticalScrollBar.get();
    if (bar == nullptr)
        return;
    const long long range = static_cast<long long>(requiredHeight) - (static_cast<long long>(rc.bottom) - rc.top);

    // 3. Content taller than the room: show the bar and lay out again, leaving room for it.
    //    The guard keeps that nested pass from hiding the bar again.
    if (range > 0 && !bar->IsVisible()) {
        bar->SetVisible(true);
        bar->SetScrollRange(ClampToInt(range));
        bar->SetScrollPos(0);
        const bool guard = m_scrollProcess;
        m_scrollProcess = true;
        if (RelayoutForScrollBar())
            m_scrollProcess = guard;
        return;
    }
    // 4. A hidden bar with enough room stays hidden.
    if (!bar->IsVisible())
        return;

    // 5. Content that fits hides the bar, except in the nested pass right after showing it,
    //    where the bar stays with range 0 (a negative range never lets the user scroll into
    //    empty space).
    if (range <= 0 && !m_scrollProcess) {
        bar->SetVisible(false);
        bar->SetScrollPos(0);
        bar->SetScrollRange(0);
        RelayoutForScrollBar();
        return;
    }
    bar->SetPos(RECT{rc.right, rc.top, ClampedSum(rc.right, bar->GetFixedWidth()), rc.bottom});
    const int newRange = range < 0 ? 0 : ClampToInt(range);
    if (bar->GetScrollRange() == newRange)
        return;
    const int oldPos = bar->GetScrollPos();
    bar->SetScrollRange(newRange);
    if (oldPos > bar->GetScrollPos())  // clamped: the content moved, place it again
        RelayoutForScrollBar();
}

} // namespace SkinUI
