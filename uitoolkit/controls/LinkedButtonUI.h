#pragma once
// CLinkedButtonUI: a button that passes its hover to another control of the window, named by the
// attribute "linkedcontrol". The host and slave buttons are made on it and differ only in what
// they do with that control on mouse enter and leave.
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/LinkedControl.h"

namespace SkinUI {

class CLinkedButtonUI : public CButtonUI {
public:
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    const wchar_t* GetLinkedControl() const { return m_linked.GetName(); }
    void SetLinkedControl(const wchar_t* name) { m_linked.SetName(name); }

protected:
    CLinkedButtonUI() = default;

    CLinkedControl m_linked;
};

} // namespace SkinUI
