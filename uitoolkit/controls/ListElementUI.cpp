#include "uitoolkit/controls/ListElementUI.h"

namespace SkinUI {

const wchar_t* CListElementUI::GetClass() const { return L"ListElementUI"; }

void* CListElementUI::GetInterface(const wchar_t* name) { return GetItemInterface(name, L"ListElement"); }

void CListElementUI::HandleEvent(ControlEvent& event)
{
    if (m_item.IsBlockedMouse(event)) {
        if (!m_item.PassToOwner(event))
            CControlUI::HandleEvent(event);
        return;
    }
    if (m_item.HandleActivation(event))
        return;
    if (!m_item.PassToOwner(event))
        CControlUI::HandleEvent(event);
}

} // namespace SkinUI
