#include "uitoolkit/controls/custom/TabBodyUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CTabBodyUI::GetClass() const { return L"TabBodyUI"; }

void* CTabBodyUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"TabBody") == 0)
        return this;
    return CTabLayoutUI::GetInterface(name);
}

bool CTabBodyUI::Remove(CControlUI* page)
{
    // The container's removal: the selection is adjusted here, once.
    const int index = GetItemIndex(page);
    Watch watch(this);  // a page deleted at once runs its destroy delegates
    if (!CContainerUI::Remove(page))
        return false;
    if (watch.Lost())
        return true;
    int selected = GetCurSel();
    if (index == selected) {
        // The page after it moved into its place; after the last page, the one before it.
        if (selected == GetCount())
            --selected;
        SetSelectedIndex(selected);
        if (selected >= 0)
            GetItemAt(selected)->SetVisible(true);
        RequestParentLayout();
    } else if (index < selected) {
        SetSelectedIndex(selected - 1);
    }
    return true;
}

} // namespace SkinUI
