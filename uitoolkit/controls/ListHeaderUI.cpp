#include "uitoolkit/controls/ListHeaderUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {
// Room above and below the header's text line at the least.
constexpr int kHeaderMargin = 6;
} // namespace

const wchar_t* CListHeaderUI::GetClass() const { return L"ListHeaderUI"; }

void* CListHeaderUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"ListHeader") == 0)
        return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

SIZE CListHeaderUI::GetDesiredSize(SIZE available)
{
    long long width = 0;
    int height = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        const SIZE size = static_cast<CControlUI*>(m_items[i])->GetDesiredSize(available);
        width += size.cx;
        height = std::max<int>(height, size.cy);
    }
    if (m_fixedSize.cy != 0)
        height = m_fixedSize.cy;
    else if (m_host != nullptr)
        height = std::max<int>(height, m_host->GetDefaultFontEntry()->metrics.tmHeight + kHeaderMargin);
    else
        height = 0;
    return SIZE{ClampToInt(width), height};
}

} // namespace SkinUI
