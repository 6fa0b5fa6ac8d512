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

bool CTabBodyUI::Remove(CControlUI* page) { return RemovePage(page, AfterSelectedRemoved::PageInItsPlace); }

} // namespace SkinUI
