#include "uitoolkit/controls/custom/CheckButtonUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CCheckButtonUI::GetClass() const { return L"CheckButtonUI"; }

void* CCheckButtonUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"CheckButton") == 0)
        return this;
    return COptionUI::GetInterface(name);
}

bool CCheckButtonUI::Activate()
{
    // A disabled box (the remember-password box while a sign-in runs) keeps its state.
    if (!IsEnabled())
        return false;
    SetSelected(!IsSelected());
    return true;
}

void CCheckButtonUI::SetCheck(bool check)
{
    if (check != IsSelected())
        StoreSelected(check);
}

} // namespace SkinUI
