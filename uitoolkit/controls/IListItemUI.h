#pragma once
// The item side of a list or combo box: what the owner asks of each item. Reached through the
// item control's GetInterface(L"ListItem").
#include <windows.h>

namespace SkinUI {

class CControlUI;
class IListOwnerUI;

class IListItemUI {
public:
    // The item's index in its owner; -1 until added. The owner renumbers items when they move.
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() const = 0;
    // Stores the owner control's "IListOwner" interface (null for none).
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    // Changes the item's own flag; selecting also tells the owner.
    virtual bool Select(bool select = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    // Paints the item's text into rc with the owner's appearance record.
    virtual void DrawItemText(HDC hDC, const RECT& rc) = 0;

protected:
    ~IListItemUI() = default;
};

} // namespace SkinUI
