#pragma once
// CCheckButtonUI: a check box that toggles on every activation (click, Space, Return, shortcut),
// in a group or not, without the option's "click". SetCheck sets the box from code silently.
#include "uitoolkit/controls/OptionUI.h"

namespace SkinUI {

class CCheckButtonUI : public COptionUI {
public:
    CCheckButtonUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // Toggles the selection (with the option's group rules and "selectchanged"); also while the
    // box is hidden, never while it is disabled.
    bool Activate() override;

    // Checks or clears the box without any notification.
    virtual void SetCheck(bool check);
};

} // namespace SkinUI
