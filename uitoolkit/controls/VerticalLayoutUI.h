#pragma once
// CVerticalLayoutUI: places its children top to bottom. Children with a desired height of 0 share
// what the fixed-size ones leave, the last automatic child taking the remainder of the division.
// The separator band ("sepheight", "sepimm") comes from CLinearLayoutUI.
#include "uitoolkit/controls/LinearLayoutUI.h"

namespace SkinUI {

class CVerticalLayoutUI : public CLinearLayoutUI {
public:
    CVerticalLayoutUI() : CLinearLayoutUI(false, L"sepheight") {}

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
};

} // namespace SkinUI
