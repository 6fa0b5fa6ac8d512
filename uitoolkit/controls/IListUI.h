#pragma once
// The list contract: a list owner with a header, a body holding the items, an optional cell-text
// provider and one expanded item. Reached through GetInterface(L"IList").
#include "uitoolkit/controls/IListOwnerUI.h"

namespace SkinUI {

class CListHeaderUI;
class CListBodyUI;
class IListTextCallback;

class IListUI : public IListOwnerUI {
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    // The body: the container of the items.
    virtual CListBodyUI* GetList() const = 0;
    virtual IListTextCallback* GetTextCallback() const = 0;
    // The callback is not owned.
    virtual void SetTextCallback(IListTextCallback* callback) = 0;
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    // The expanded item's index; -1 for none.
    virtual int GetExpandedItem() const = 0;

protected:
    ~IListUI() = default;
};

} // namespace SkinUI
