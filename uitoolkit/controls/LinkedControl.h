#pragma once
// CLinkedControl: the control that a host or slave button passes hover to. It is kept by name
// and looked up through the window host whenever it is needed, so a deleted or replaced control
// is never reached through a stale pointer.
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CControlUI;

class CLinkedControl {
public:
    const wchar_t* GetName() const { return m_name; }
    void SetName(const wchar_t* name) { m_name = name; }
    // "linkedcontrol" names the linked control; false for any other attribute.
    bool SetAttribute(const wchar_t* name, const wchar_t* value);
    // The named control of the owner's host; null without a name, a host or a match, and never
    // the owner itself.
    CControlUI* Resolve(const CControlUI& owner) const;

private:
    CUIString m_name;
};

} // namespace SkinUI
