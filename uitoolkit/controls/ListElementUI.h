#pragma once
// CListElementUI: the plain list item, a control that carries the item contract (index, owner,
// selection, activation) for the label and text elements built on it. Events it does not use go
// to its owner, so that a list or combo box handles keys and the wheel over its items.
#include "uitoolkit/controls/ListItemControl.h"

namespace SkinUI {

class CListElementUI : public CListItemControl<CControlUI> {
public:
    CListElementUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void HandleEvent(ControlEvent& event) override;
};

} // namespace SkinUI
