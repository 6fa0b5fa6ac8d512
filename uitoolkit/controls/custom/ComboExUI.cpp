#include "uitoolkit/controls/custom/ComboExUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CComboExUI::GetClass() const { return L"ComboExUI"; }

void* CComboExUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ComboEx") == 0)
        return this;
    return CComboUI::GetInterface(name);
}

} // namespace SkinUI
