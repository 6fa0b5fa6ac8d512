#pragma once
// CDialogBuilderCallbackEx: the builder callback that makes the program's own controls from
// their XML tags. Tags are compared exactly (case-sensitive) in the order of its table; any
// other tag yields null, which lets the builder report an unknown tag.
#include "uitoolkit/core/IDialogBuilderCallback.h"

class CDialogBuilderCallbackEx : public SkinUI::IDialogBuilderCallback {
public:
    // A new control for one of the program's tags; null for any other tag or when memory runs out.
    SkinUI::CControlUI* CreateControl(const wchar_t* tagName) override;

protected:
    ~CDialogBuilderCallbackEx() = default;
};
