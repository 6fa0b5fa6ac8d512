#pragma once
// Lists built from skins in a real window: the list is the window's root, with two fonts (the
// default, and a larger one at index 0) and items written by Labels / TextItems.
//
//   ListHost h;
//   ASSERT_TRUE(h.OpenList(L"header=\"hidden\"", Labels(5), 200, 100));
//   h.list->SelectItem(2);
#include <string>

#include "XmlHost.h"
#include "kit/Capture.h"
#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/controls/ListBodyUI.h"
#include "uitoolkit/controls/ListHeaderUI.h"
#include "uitoolkit/controls/ListUI.h"

namespace list_fixture {

// n label elements "i0", "i1" ... with the texts "item 0" ... and a fixed height; `extra(i)`
// adds attributes to item i.
template <class Extra>
std::wstring Labels(int n, int height, Extra extra)
{
    std::wstring items;
    for (int i = 0; i < n; ++i)
        items += L"<ListLabelElement name=\"i" + std::to_wstring(i) + L"\" text=\"item " + std::to_wstring(i) +
                 L"\" height=\"" + std::to_wstring(height) + L"\" " + extra(i) + L"/>";
    return items;
}
inline std::wstring Labels(int n, int height = 20)
{
    return Labels(n, height, [](int) { return std::wstring(); });
}

struct ListHost : xml_host::XmlHost {
    SkinUI::CListUI* list = nullptr;

    bool OpenList(const std::wstring& attributes, const std::wstring& content, int width = 200, int height = 100)
    {
        const std::wstring skin = L"<Window><Font name=\"Arial\" size=\"24\"/>"
                                  L"<Font name=\"Arial\" size=\"12\" default=\"true\"/>"
                                  L"<List name=\"list\" " + attributes + L">" + content + L"</List></Window>";
        if (!Open(skin.c_str(), width, height))
            return false;
        list = Find<SkinUI::CListUI>(L"list");
        return list != nullptr;
    }
    SkinUI::CControlUI* Item(int i) const { return list->GetItemAt(i); }
    // The item's index as its own record has it.
    int IndexOf(int i) const
    {
        return static_cast<SkinUI::IListItemUI*>(Item(i)->GetInterface(L"ListItem"))->GetIndex();
    }
    uint32_t Pixel(int x, int y) { return kit::CaptureClient(win.Hwnd())->Pixel(x, y); }
};

} // namespace list_fixture
