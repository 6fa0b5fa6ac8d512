#pragma once
// CListContainerElementUI: a list item made of child controls. It carries the item contract like
// the plain element, paints the item background under its children, and treats a press on
// itself or on a child that passes the press up as a click on the item.
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/controls/ListItemBehaviour.h"

namespace SkinUI {

class CListContainerElementUI : public CContainerUI, public IListItemUI {
public:
    CListContainerElementUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;
    // "selected" with any value selects the item.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The item background, then the container's own painting and children.
    void Paint(HDC hDC, const RECT& rcDirty) override;

    int GetIndex() const override;
    void SetIndex(int index) override;
    IListOwnerUI* GetOwner() const override;
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override;
    bool Select(bool select = true) override;
    bool IsExpanded() const override;
    bool Expand(bool expand = true) override;
    // The children show the item: nothing is drawn here.
    void DrawItemText(HDC hDC, const RECT& rc) override;

private:
    CListItemBehaviour m_item;
};

} // namespace SkinUI
