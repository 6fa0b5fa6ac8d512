#include "login/windows/DialogBuilderCallbackEx.h"

#include <cwchar>
#include <new>

#include "login/windows/IEWebBrowser.h"
#include "uitoolkit/controls/custom/CheckButtonUI.h"
#include "uitoolkit/controls/custom/ComboExUI.h"
#include "uitoolkit/controls/custom/EditExUI.h"
#include "uitoolkit/controls/custom/GifAnimUI.h"
#include "uitoolkit/controls/custom/HotKeyEditUI.h"
#include "uitoolkit/controls/custom/HoverLabel.h"
#include "uitoolkit/controls/custom/ListControl.h"
#include "uitoolkit/controls/custom/PngAnimUI.h"
#include "uitoolkit/controls/custom/TabBodyUI.h"
#include "uitoolkit/controls/custom/TabUI.h"
#include "uitoolkit/controls/custom/VerticalLayoutExUI.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"
#include "uitoolkit/core/ControlUI.h"

namespace {

template <class T>
SkinUI::CControlUI* Make()
{
    return new (std::nothrow) T();
}

// The web-browser control shows its pages in the platform's browser.
SkinUI::CControlUI* MakeWebBrowser()
{
    return new (std::nothrow) SkinUI::CWebBrowserUI(&CIEWebBrowser::Make);
}

struct CustomTag {
    const wchar_t* tag;
    SkinUI::CControlUI* (*create)();
};

// The skins' contract: first exact match wins.
const CustomTag kCustomTags[] = {
    {L"Tab", &Make<SkinUI::CTabUI>},
    {L"TabBody", &Make<SkinUI::CTabBodyUI>},
    {L"CheckButton", &Make<SkinUI::CCheckButtonUI>},
    {L"HoverLabel", &Make<SkinUI::CHoverLabel>},
    {L"ListControl", &Make<SkinUI::CListControl>},
    {L"HotKeyEdit", &Make<SkinUI::CHotKeyEditUI>},
    {L"ComboEx", &Make<SkinUI::CComboExUI>},
    {L"EditEx", &Make<SkinUI::CEditExUI>},
    {L"VerticalLayoutEx", &Make<SkinUI::CVerticalLayoutExUI>},
    {L"WebBrowser", &MakeWebBrowser},
    {L"GifAnim", &Make<SkinUI::CGifAnimUI>},
    {L"PngAnim", &Make<SkinUI::CPngAnimUI>},
    {nullptr, nullptr},  // end of the table
};

} // namespace

SkinUI::CControlUI* CDialogBuilderCallbackEx::CreateControl(const wchar_t* tagName)
{
    if (tagName == nullptr)
        return nullptr;
    for (const CustomTag* entry = kCustomTags; entry->tag != nullptr; ++entry)
        if (std::wcscmp(entry->tag, tagName) == 0)
            return entry->create();
    return nullptr;
}
