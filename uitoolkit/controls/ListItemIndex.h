#pragma once
// Index bookkeeping that the list owners (the list and the combo box) share for their items: the
// item side of a control, numbering the items after a change, and where a remembered index (the
// selection, the expanded item) goes when an item is inserted or taken out.
namespace SkinUI {

class CContainerUI;
class CControlUI;
class IContainerUI;
class IListItemUI;
class IListOwnerUI;

// The control's "ListItem" side; null for a control without one, or no control.
IListItemUI* AsListItem(CControlUI* control);
// Gives the owner's list items from `first` (at least 0) to `last` their indexes.
void RenumberListItems(const IContainerUI& owner, int first, int last);
// A remembered index after an item was inserted at `inserted`: it follows its item.
int IndexAfterInsertion(int tracked, int inserted);
// A remembered index after the item at `removed` was taken out: it follows its item, and is -1
// when that item itself went.
int IndexAfterRemoval(int tracked, int removed);
// After the owner's item at `index` was taken out: the later items are renumbered, the selection
// `curSel` (the owner's own) follows its item, and a removed selected item passes the selection
// to the nearest selectable item at or before its place. The owner may be gone afterwards
// ("itemselect" listeners may delete it).
void AfterListItemRemoved(CContainerUI& owner, IListOwnerUI& selection, int& curSel, int index);

} // namespace SkinUI
