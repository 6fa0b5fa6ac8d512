#pragma once
// CHostButtonUI: a button that shows its linked control while the mouse is over it and hides it
// again when the mouse leaves (attribute "linkedcontrol": the linked control's name).
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/LinkedControl.h"

namespace SkinUI {

class CHostButtonUI : public CButtonUI {
public:
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    const wchar_t* GetLinkedControl() const { return m_linked.GetName(); }
    void SetLinkedControl(const wchar_t* name) { m_linked.SetName(name); }

private:
    CLinkedControl m_linked;
};

} // namespace SkinUI
