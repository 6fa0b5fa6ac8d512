#pragma once
// CSlaveButtonUI: a button that first hands its mouse enter and leave to its linked control, so
// that the two light up together (attribute "linkedcontrol": the linked control's name).
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/LinkedControl.h"

namespace SkinUI {

class CSlaveButtonUI : public CButtonUI {
public:
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    const wchar_t* GetLinkedControl() const { return m_linked.GetName(); }
    void SetLinkedControl(const wchar_t* name) { m_linked.SetName(name); }

private:
    CLinkedControl m_linked;
    bool m_forwarding = false;  // two slaves linked to each other pass an event on only once
};

} // namespace SkinUI
