#pragma once
// CListItemBehaviour: what every list item (the label and text elements through the plain
// element, and the container element) shares: its index, selected flag, hot state and owner;
// selecting through the owner, activation ("itemactivate"), the press and hover handling of
// "itemclick", the repaint of the item's visible part, and the item background painted from the
// owner's ListInfo by the item's state.
#include <windows.h>

#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/IListOwnerUI.h"
#include "uitoolkit/core/ControlEvent.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CControlUI;
struct ListInfo;

// Behaviour flag of every list item (never a Tab stop).
constexpr UINT kBehaviourListItem = 0x00000004;

class CListItemBehaviour {
public:
    explicit CListItemBehaviour(CControlUI& item) : m_item(item) {}
    CListItemBehaviour(const CListItemBehaviour&) = delete;
    CListItemBehaviour& operator=(const CListItemBehaviour&) = delete;

    int GetIndex() const { return m_index; }
    void SetIndex(int index) { m_index = index; }
    IListOwnerUI* GetOwner() const { return m_owner; }
    // Stores the owner control's "IListOwner" interface.
    void SetOwner(CControlUI* owner);
    bool IsSelected() const { return m_selected; }
    UINT GetState() const { return m_state; }
    bool IsHot() const { return (m_state & kStateHot) != 0; }

    // A disabled item refuses (false). Otherwise a changed flag is stored and, when selecting,
    // the owner selects the item (and notifies); then the item repaints. The item may be gone
    // when this returns.
    bool Select(bool select);
    // After the item's visibility changed: a hidden selected item gives up the owner's selection.
    void AfterVisibilityChange();
    // After the item's enabling changed: a disabled item loses its hot state.
    void AfterEnablingChange();
    // The control base's activation, then "itemactivate". The item may be gone when this
    // returns true.
    bool Activate();

    // Repaints the part of the item that its container shows: the container's client box
    // (inset and shown bars taken off) and every further ancestor clip the item's rectangle.
    void InvalidateItem();
    // The item's background: colour and images by state from the owner's ListInfo, the item's
    // own background image and the line. `ownBkImage` is the item's "bkimage", emptied when it
    // cannot be drawn. The container element honours the owner's "enablehotbkcolor" and
    // "enableselectedbkcolor"; the others ignore them.
    void PaintBackground(HDC hDC, CUIString& ownBkImage, bool honourEnableFlags);
    // The text colour of the item's state (hot, then selected, then disabled win).
    DWORD GetTextColor(const ListInfo& info) const;

    // ---- event handling shared by the elements ----
    // A mouse event while the item's mouse flag is off.
    bool IsBlockedMouse(const ControlEvent& event) const;
    // Hands the event to the owner; false without owner.
    bool PassToOwner(ControlEvent& event);
    // Double click (enabled items: activation and repaint), and Return on an enabled item;
    // false for any other event.
    bool HandleActivation(const ControlEvent& event);
    // A press of either button (enabled items: "itemclick", select, repaint), moves and releases
    // (swallowed), mouse enter and leave (the hot state of an enabled item); false for any other
    // event.
    bool HandlePressAndHover(const ControlEvent& event);

private:
    void Press();
    void Hover(const ControlEvent& event);
    void ActivateByInput();

    CControlUI& m_item;
    int m_index = -1;
    bool m_selected = false;
    UINT m_state = 0;
    IListOwnerUI* m_owner = nullptr;
};

} // namespace SkinUI
