#include "uitoolkit/controls/ListItemIndex.h"

#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/controls/IListOwnerUI.h"
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

IListItemUI* AsListItem(CControlUI* control)
{
    return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(L"ListItem")) : nullptr;
}

void RenumberListItems(const IContainerUI& owner, int first, int last)
{
    for (int i = first < 0 ? 0 : first; i <= last; ++i) {
        if (IListItemUI* item = AsListItem(owner.GetItemAt(i)))
            item->SetIndex(i);
    }
}

int IndexAfterInsertion(int tracked, int inserted)
{
    return tracked >= inserted ? tracked + 1 : tracked;
}

int IndexAfterRemoval(int tracked, int removed)
{
    if (tracked == removed)
        return -1;
    return removed < tracked ? tracked - 1 : tracked;
}

void AfterListItemRemoved(CContainerUI& owner, IListOwnerUI& selection, int& curSel, int index)
{
    RenumberListItems(owner, index, owner.GetCount() - 1);
    const bool selectedGone = index == curSel;
    curSel = IndexAfterRemoval(curSel, index);
    if (selectedGone)
        selection.SelectItem(owner.FindSelectable(index, false), false);  // last
}

} // namespace SkinUI
