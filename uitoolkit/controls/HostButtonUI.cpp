#include "uitoolkit/controls/HostButtonUI.h"

namespace SkinUI {

void CHostButtonUI::HandleEvent(ControlEvent& event)
{
    if (event.type == kEventMouseEnter || event.type == kEventMouseLeave) {
        if (CControlUI* linked = m_linked.Resolve(*this))
            linked->SetVisible(event.type == kEventMouseEnter);
    }
    CButtonUI::HandleEvent(event);
}

} // namespace SkinUI
