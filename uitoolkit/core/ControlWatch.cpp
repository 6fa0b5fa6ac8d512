// CControlUI::Watch: the call-out guard of the controls (the rule is written on the class).
// Apart from the control: inlined into a caller, its links look to the compiler like a local
// left in the control.
#include "uitoolkit/core/ControlUI.h"

#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

CControlUI::Watch::Watch(CControlUI* control) : m_control(control)
{
    if (control == nullptr)
        return;
    m_next = control->m_watches;
    control->m_watches = this;
    m_host = control->m_host;
    if (m_host != nullptr)
        m_host->AddWatch(this);
}

CControlUI::Watch::~Watch()
{
    if (m_control != nullptr) {
        for (Watch** link = &m_control->m_watches; *link != nullptr; link = &(*link)->m_next) {
            if (*link == this) {
                *link = m_next;
                break;
            }
        }
    }
    if (m_host != nullptr)
        m_host->RemoveWatch(this);
}

void CControlUI::Watch::HostDestroyed()
{
    if (m_control != nullptr && m_control->m_host == m_host)
        m_control->m_host = nullptr;
    m_host = nullptr;
    m_hostGone = true;
}

} // namespace SkinUI
