#pragma once
// The owner side of list items: what an item asks of the list or combo box that holds it. An
// item finds it through its owner control's GetInterface(L"IListOwner").
#include <windows.h>

#include "uitoolkit/core/ControlEvent.h"

namespace SkinUI {

struct ListInfo;

class IListOwnerUI {
public:
    // The owner's appearance record, read by the items while painting.
    virtual ListInfo* GetListInfo() = 0;
    // The selected item's index; -1 for none.
    virtual int GetCurSel() const = 0;
    // Selects an item (deselecting the previous one); a negative index clears the selection.
    virtual bool SelectItem(int index, bool takeFocus = false) = 0;
    // The owner's event handling: items pass the events they do not use here.
    virtual void HandleEvent(ControlEvent& event) = 0;

protected:
    ~IListOwnerUI() = default;
};

} // namespace SkinUI
