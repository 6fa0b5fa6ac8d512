#pragma once
// What the list and combo tests share: items written by a skin, the selections they notified,
// and an item's list-item interface.
#include <functional>
#include <string>
#include <vector>

#include "kit/NotifyRecorder.h"
#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/core/ControlUI.h"

namespace list_fixture {

// n label elements "i0", "i1" ... with the texts "item 0" ... and a fixed height; `extra(i)`
// adds attributes to item i.
inline std::wstring Labels(int n, int height = 20, const std::function<const wchar_t*(int)>& extra = nullptr)
{
    std::wstring items;
    for (int i = 0; i < n; ++i)
        items += L"<ListLabelElement name=\"i" + std::to_wstring(i) + L"\" text=\"item " + std::to_wstring(i) +
                 L"\" height=\"" + std::to_wstring(height) + L"\" " + (extra ? extra(i) : L"") + L"/>";
    return items;
}

// "new<old" of every "itemselect".
inline std::vector<std::wstring> Selections(const kit::NotifyRecorder& rec)
{
    std::vector<std::wstring> out;
    for (const auto& r : rec.OfType(L"itemselect"))
        out.push_back(std::to_wstring(r.wParam) + L"<" + std::to_wstring(static_cast<int>(r.lParam)));
    return out;
}

inline SkinUI::IListItemUI* AsItem(SkinUI::CControlUI* c)
{
    return static_cast<SkinUI::IListItemUI*>(c->GetInterface(L"ListItem"));
}

} // namespace list_fixture
