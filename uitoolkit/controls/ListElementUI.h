#pragma once
// CListElementUI: the plain list item, a control that carries the item contract (index, owner,
// selection, activation) for the label and text elements built on it. Events it does not use go
// to its owner, so that a list or combo box handles keys and the wheel over its items.
#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/controls/ListItemBehaviour.h"
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

class CListElementUI : public CControlUI, public IListItemUI {
public:
    CListElementUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    // The control base's activation, then "itemactivate".
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;
    // "selected" with any value selects the item.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    int GetIndex() const override;
    void SetIndex(int index) override;
    IListOwnerUI* GetOwner() const override;
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override;
    bool Select(bool select = true) override;
    bool IsExpanded() const override;
    bool Expand(bool expand = true) override;

protected:
    CListItemBehaviour m_item;
};

} // namespace SkinUI
