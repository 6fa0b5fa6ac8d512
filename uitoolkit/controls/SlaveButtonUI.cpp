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

void CSlaveButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!m_linked.SetAttribute(name, value))
        CButtonUI::SetAttribute(name, value);
}

} // namespace SkinUI
