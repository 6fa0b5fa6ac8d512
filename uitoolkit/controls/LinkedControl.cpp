#include "uitoolkit/controls/LinkedControl.h"

#include <cwchar>

#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

bool CLinkedControl::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || std::wcscmp(name, L"linkedcontrol") != 0)
        return false;
    m_name = value;
    return true;
}

CControlUI* CLinkedControl::Resolve(const CControlUI& owner) const
{
    CWindowHostUI* host = owner.GetManager();
    if (host == nullptr || m_name.IsEmpty())
        return nullptr;
    CControlUI* control = host->FindControlByName(m_name);
    return control != &owner ? control : nullptr;
}

} // namespace SkinUI
