#pragma once
// A builder callback for the program's own controls in toolkit tests, which do not link the
// login windows' factory: each tag makes its control, as the factory does.
#include <cwchar>

#include "uitoolkit/controls/custom/EditExUI.h"
#include "uitoolkit/controls/custom/GifAnimUI.h"
#include "uitoolkit/controls/custom/HotKeyEditUI.h"
#include "uitoolkit/controls/custom/PngAnimUI.h"
#include "uitoolkit/controls/custom/TabBodyUI.h"
#include "uitoolkit/controls/custom/TabUI.h"
#include "uitoolkit/core/IDialogBuilderCallback.h"

namespace custom_tags {

struct CustomTags : SkinUI::IDialogBuilderCallback {
    SkinUI::CControlUI* CreateControl(const wchar_t* tag) override
    {
        if (std::wcscmp(tag, L"Tab") == 0)
            return new SkinUI::CTabUI();
        if (std::wcscmp(tag, L"TabBody") == 0)
            return new SkinUI::CTabBodyUI();
        if (std::wcscmp(tag, L"HotKeyEdit") == 0)
            return new SkinUI::CHotKeyEditUI();
        if (std::wcscmp(tag, L"EditEx") == 0)
            return new SkinUI::CEditExUI();
        if (std::wcscmp(tag, L"GifAnim") == 0)
            return new SkinUI::CGifAnimUI();
        if (std::wcscmp(tag, L"PngAnim") == 0)
            return new SkinUI::CPngAnimUI();
        return nullptr;
    }
};

} // namespace custom_tags
