#pragma once
// CHoverLabel: a label that lies over other controls without taking their mouse. Moves, enters,
// presses, releases and set-cursor requests that reach it go on to the control under the point
// (hover labels passed over) and to the label's own parent, so the controls beneath react as if
// the label were not there.
#include "uitoolkit/controls/LabelUI.h"

namespace SkinUI {

class CHoverLabel : public CLabelUI {
public:
    CHoverLabel() = default;

    // Set-cursor requests while enabled.
    UINT GetBehaviourFlags() const override;
    void HandleEvent(ControlEvent& event) override;

private:
    // The control under the point within the parent, other than a hover label; null for none.
    CControlUI* FindControlBeneath(POINT pt) const;
};

} // namespace SkinUI
