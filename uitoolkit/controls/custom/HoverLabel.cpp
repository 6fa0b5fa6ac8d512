#include "uitoolkit/controls/custom/HoverLabel.h"

#include <algorithm>

namespace SkinUI {

namespace {

// The events a hover label passes on; 8 is a mouse type the host does not make today.
constexpr int kPassedEvents[] = {8, kEventMouseMove, kEventMouseEnter, kEventButtonDown, kEventButtonUp,
                                 kEventSetCursor};

CControlUI* CALLBACK ControlAtPointProc(CControlUI* control, void* data)
{
    // Hover labels are transparent here too, so that overlapping ones never pass an event to
    // each other.
    if (dynamic_cast<CHoverLabel*>(control) != nullptr)
        return nullptr;
    return ::PtInRect(&control->GetPos(), *static_cast<const POINT*>(data)) ? control : nullptr;
}

} // namespace

UINT CHoverLabel::GetBehaviourFlags() const { return IsEnabled() ? UINT{kBehaviourSetCursor} : 0u; }

CControlUI* CHoverLabel::FindControlBeneath(POINT pt) const
{
    if (m_parent == nullptr)
        return nullptr;
    return m_parent->FindControl(ControlAtPointProc, &pt, kFindVisible | kFindHitTest);
}

void CHoverLabel::HandleEvent(ControlEvent& event)
{
    if (event.type == kEventKillFocus) {
        m_focused = false;
        return;
    }
    if (std::find(std::begin(kPassedEvents), std::end(kPassedEvents), event.type) == std::end(kPassedEvents)) {
        CLabelUI::HandleEvent(event);
        return;
    }
    if (m_parent == nullptr)
        return;
    CControlUI* parent = m_parent;
    CControlUI* beneath = FindControlBeneath(event.point);
    // The parent hears the event once, even when it is the control beneath.
    if (beneath != nullptr && beneath != parent) {
        if (!Survives([&] { beneath->HandleEvent(event); }))  // a "click" listener runs here
            return;
        // The cursor is the control's; the parent would only set the arrow over it.
        if (event.type == kEventSetCursor)
            return;
    }
    parent->HandleEvent(event);
}

} // namespace SkinUI
