#include "uitoolkit/controls/ListElementUI.h"

#include <cwchar>

namespace SkinUI {

CListElementUI::CListElementUI() : m_item(*this) {}

const wchar_t* CListElementUI::GetClass() const { return L"ListElementUI"; }

void* CListElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ListItem") == 0)
        return static_cast<IListItemUI*>(this);
    if (name != nullptr && std::wcscmp(name, L"ListElement") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UINT CListElementUI::GetBehaviourFlags() const { return kBehaviourListItem; }

bool CListElementUI::Activate() { return m_item.Activate(); }

void CListElementUI::SetVisible(bool visible)
{
    Watch watch(this);  // hiding the focus runs "killfocus" listeners
    CControlUI::SetVisible(visible);
    if (!watch.Lost())
        m_item.AfterVisibilityChange();
}

void CListElementUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    m_item.AfterEnablingChange();
}

void CListElementUI::HandleEvent(ControlEvent& event)
{
    if (m_item.IsBlockedMouse(event)) {
        if (!m_item.PassToOwner(event))
            CControlUI::HandleEvent(event);
        return;
    }
    if (event.type == kEventDblClick || (event.type == kEventKeyDown && event.key == VK_RETURN && IsEnabled())) {
        m_item.ActivateByInput();
        return;
    }
    if (!m_item.PassToOwner(event))
        CControlUI::HandleEvent(event);
}

void CListElementUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && std::wcscmp(name, L"selected") == 0)
        Select(true);
    else
        CControlUI::SetAttribute(name, value);
}

int CListElementUI::GetIndex() const { return m_item.GetIndex(); }
void CListElementUI::SetIndex(int index) { m_item.SetIndex(index); }
IListOwnerUI* CListElementUI::GetOwner() const { return m_item.GetOwner(); }
void CListElementUI::SetOwner(CControlUI* owner) { m_item.SetOwner(owner); }
bool CListElementUI::IsSelected() const { return m_item.IsSelected(); }
bool CListElementUI::Select(bool select) { return m_item.Select(select); }
bool CListElementUI::IsExpanded() const { return false; }
bool CListElementUI::Expand(bool /*expand*/) { return false; }

} // namespace SkinUI
