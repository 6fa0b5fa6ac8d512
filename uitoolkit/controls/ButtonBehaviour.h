#pragma once
// CButtonBehaviour: what every button-like control (button, option, menu button, host and slave
// buttons) does with input and state: the press / hover state word, the keyboard and mouse
// handling that drives it, "click" on activation, "menu" on the context menu, and the hot,
// pushed and focused text colours that override the label's colour while painting.
#include <windows.h>

#include <initializer_list>

#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/core/ControlEvent.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CControlUI;

class CButtonBehaviour {
public:
    explicit CButtonBehaviour(CControlUI& owner) : m_owner(owner) {}
    CButtonBehaviour(const CButtonBehaviour&) = delete;
    CButtonBehaviour& operator=(const CButtonBehaviour&) = delete;

    // The button's share of event handling; false hands the event to the label's handler.
    bool HandleEvent(ControlEvent& event);
    // Tab stop with the keyboard on, set-cursor events while enabled.
    UINT GetBehaviourFlags() const;
    // "click" when the control base allows activation. The owner may be gone when this returns
    // true: callers touch nothing of it without checking.
    bool Activate();
    // Takes the focused and disabled bits from the owner.
    void RefreshFocusAndEnabled();
    // The pushed, hot or focused colour (first non-zero one whose state is on), else `color`.
    DWORD OverrideTextColor(DWORD color) const;
    // "hottextcolor", "pushedtextcolor", "focusedtextcolor"; false for any other name.
    bool SetColorAttribute(const wchar_t* name, const wchar_t* value);

    // A mouse event while the control's mouse flag is off: it belongs to the parent.
    static bool IsBlockedMouse(const CControlUI& control, const ControlEvent& event);
    // Hands the event to the parent's handler; false when there is no parent.
    static bool PassToParent(CControlUI& control, ControlEvent& event);
    // Draws a non-empty image text of the control; a failed draw forgets the text.
    static bool DrawStateImage(CControlUI& control, HDC hDC, CUIString& image);
    // One state and its picture.
    struct StateImage {
        UINT flag;
        CUIString* image;
    };
    // The picture of the first state in `order` that is on (only that state is tried); when it
    // has none or it fails, the normal picture.
    static void DrawFirstStateImage(CControlUI& control, HDC hDC, UINT state,
                                    std::initializer_list<StateImage> order, CUIString& normal);

    UINT GetState() const { return m_state; }
    void SetState(UINT state) { m_state = state; }
    bool Has(UINT flag) const { return (m_state & flag) != 0; }

    DWORD hotTextColor = 0;
    DWORD pushedTextColor = 0;
    DWORD focusedTextColor = 0;

private:
    void Set(UINT flag, bool on);

    CControlUI& m_owner;
    UINT m_state = 0;
};

} // namespace SkinUI
