#pragma once
// CHostButtonUI: a button that shows its linked control while the mouse is over it and hides it
// again when the mouse leaves (attribute "linkedcontrol": the linked control's name).
#include "uitoolkit/controls/LinkedButtonUI.h"

namespace SkinUI {

class CHostButtonUI : public CLinkedButtonUI {
public:
    void HandleEvent(ControlEvent& event) override;
};

} // namespace SkinUI
