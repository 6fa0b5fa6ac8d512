#pragma once
// CListItemControl<Base>: a control (the plain element's CControlUI, the container element's
// CContainerUI) that is also a list item: the item contract kept by a CListItemBehaviour, the
// element activation ("itemactivate"), a hidden item giving up the selection, a disabled one
// losing its hot state, and "selected" with any value selecting the item.
#include <cwchar>

#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/controls/ListItemBehaviour.h"
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

template <class Base>
class CListItemControl : public Base, public IListItemUI {
public:
    CListItemControl() : m_item(*this) {}

    UINT GetBehaviourFlags() const override { return kBehaviourListItem; }
    bool Activate() override { return m_item.Activate(); }
    void SetVisible(bool visible = true) override
    {
        // Hiding the focus runs "killfocus" listeners.
        if (this->Survives([&] { Base::SetVisible(visible); }))
            m_item.AfterVisibilityChange();
    }
    void SetEnabled(bool enabled = true) override
    {
        Base::SetEnabled(enabled);
        m_item.AfterEnablingChange();
    }
    void SetAttribute(const wchar_t* name, const wchar_t* value) override
    {
        if (name != nullptr && std::wcscmp(name, L"selected") == 0)
            Select(true);
        else
            Base::SetAttribute(name, value);
    }

    int GetIndex() const override { return m_item.GetIndex(); }
    void SetIndex(int index) override { m_item.SetIndex(index); }
    IListOwnerUI* GetOwner() const override { return m_item.GetOwner(); }
    void SetOwner(CControlUI* owner) override { m_item.SetOwner(owner); }
    bool IsSelected() const override { return m_item.IsSelected(); }
    bool Select(bool select = true) override { return m_item.Select(select); }
    bool IsExpanded() const override { return false; }
    bool Expand(bool /*expand*/ = true) override { return false; }

protected:
    // "ListItem" gives the item side, `ownName` the control itself, anything else the base's.
    void* GetItemInterface(const wchar_t* name, const wchar_t* ownName)
    {
        if (name != nullptr && std::wcscmp(name, L"ListItem") == 0)
            return static_cast<IListItemUI*>(this);
        if (name != nullptr && std::wcscmp(name, ownName) == 0)
            return this;
        return Base::GetInterface(name);
    }

    CListItemBehaviour m_item;
};

} // namespace SkinUI
