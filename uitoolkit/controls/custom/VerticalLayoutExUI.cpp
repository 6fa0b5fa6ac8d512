#include "uitoolkit/controls/custom/VerticalLayoutExUI.h"

#include <cwchar>

#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

const wchar_t* CVerticalLayoutExUI::GetClass() const { return L"VerticalLayoutExUI"; }

void* CVerticalLayoutExUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"VerticalLayoutEx") == 0)
        return this;
    return CVerticalLayoutUI::GetInterface(name);
}

void CVerticalLayoutExUI::SetScrollPos(SIZE pos)
{
    CVerticalLayoutUI::SetScrollPos(pos);
    if (m_host != nullptr)
        m_host->SendNotify(this, L"layoutscroll");
}

} // namespace SkinUI
