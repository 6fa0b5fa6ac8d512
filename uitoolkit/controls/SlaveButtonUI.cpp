#include "uitoolkit/controls/SlaveButtonUI.h"

namespace SkinUI {

void CSlaveButtonUI::HandleEvent(ControlEvent& event)
{
    if ((event.type == kEventMouseEnter || event.type == kEventMouseLeave) && !m_forwarding) {
        if (CControlUI* linked = m_linked.Resolve(*this)) {
            Watch watch(this);
            m_forwarding = true;
            linked->HandleEvent(event);
            if (watch.Lost())
                return;
            m_forwarding = false;
        }
    }
    CButtonUI::HandleEvent(event);
}

} // namespace SkinUI
