#pragma once
// Index bookkeeping that the list owners (the list and the combo box) share for their items: the
// item side of a control, numbering the items after a change, and where a remembered index (the
// selection, the expanded item) goes when an item is inserted or taken out.
namespace SkinUI {

class CControlUI;
class IContainerUI;
class IListItemUI;

// The control's "ListItem" side; null for a control without one, or no control.
IListItemUI* AsListItem(CControlUI* control);
// Gives the owner's list items from `first` (at least 0) to `last` their indexes.
void RenumberListItems(const IContainerUI& owner, int first, int last);
// A remembered index after an item was inserted at `inserted`: it follows its item.
int IndexAfterInsertion(int tracked, int inserted);
// A remembered index after the item at `removed` was taken out: it follows its item, and is -1
// when that item itself went.
int IndexAfterRemoval(int tracked, int removed);

} // namespace SkinUI
