#pragma once
// CHorizontalLayoutUI: places its children left to right. Children with a desired width of 0 share
// what the fixed-size ones leave, the last automatic child taking the remainder of the division.
// The separator band ("sepwidth", "sepimm") comes from CLinearLayoutUI.
#include "uitoolkit/controls/LinearLayoutUI.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CLinearLayoutUI {
public:
    CHorizontalLayoutUI() : CLinearLayoutUI(true, L"sepwidth") {}

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
};

} // namespace SkinUI
