#pragma once
// CSlaveButtonUI: a button that first hands its mouse enter and leave to its linked control, so
// that the two light up together (attribute "linkedcontrol": the linked control's name).
#include "uitoolkit/controls/LinkedButtonUI.h"

namespace SkinUI {

class CSlaveButtonUI : public CLinkedButtonUI {
public:
    void HandleEvent(ControlEvent& event) override;

private:
    bool m_forwarding = false;  // two slaves linked to each other pass an event on only once
};

} // namespace SkinUI
