#pragma once
// CListContainerElementUI: a list item made of child controls. It carries the item contract like
// the plain element, paints the item background under its children, and treats a press on
// itself or on a child that passes the press up as a click on the item.
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/ListItemControl.h"

namespace SkinUI {

class CListContainerElementUI : public CListItemControl<CContainerUI> {
public:
    CListContainerElementUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void HandleEvent(ControlEvent& event) override;
    // The item background, then the container's own painting and children.
    void Paint(HDC hDC, const RECT& rcDirty) override;
    // The children show the item: nothing is drawn here.
    void DrawItemText(HDC hDC, const RECT& rc) override;
};

} // namespace SkinUI
