#include "uitoolkit/controls/LinkedControl.h"

#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

CControlUI* CLinkedControl::Resolve(const CControlUI& owner) const
{
    CWindowHostUI* host = owner.GetManager();
    if (host == nullptr || m_name.IsEmpty())
        return nullptr;
    CControlUI* control = host->FindControlByName(m_name);
    return control != &owner ? control : nullptr;
}

} // namespace SkinUI
