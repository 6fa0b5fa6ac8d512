#include "uitoolkit/controls/LinkedButtonUI.h"

namespace SkinUI {

void CLinkedButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!m_linked.SetAttribute(name, value))
        CButtonUI::SetAttribute(name, value);
}

} // namespace SkinUI
