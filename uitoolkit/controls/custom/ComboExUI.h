#pragma once
// CComboExUI: the combo box under its own class and interface names ("ComboExUI", "ComboEx"), so
// that skins and code can tell it apart from plain combos. Everything else is the combo's.
#include "uitoolkit/controls/ComboUI.h"

namespace SkinUI {

class CComboExUI : public CComboUI {
public:
    CComboExUI() = default;

    const wchar_t* GetClass() const override;
    // The control itself for "ComboEx"; every other name is the combo's ("Combo", "IListOwner" ...).
    void* GetInterface(const wchar_t* name) override;
};

} // namespace SkinUI
