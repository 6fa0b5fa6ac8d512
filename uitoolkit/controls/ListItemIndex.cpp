#include "uitoolkit/controls/ListItemIndex.h"

#include "uitoolkit/controls/IContainerUI.h"
#include "uitoolkit/controls/IListItemUI.h"
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

} // namespace SkinUI
