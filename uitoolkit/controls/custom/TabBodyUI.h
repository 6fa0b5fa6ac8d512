#pragma once
// CTabBodyUI: the pages a tab strip switches between. A tab layout whose page removal keeps
// the selection sensible: removing the selected page selects the page that took its place (or
// the one before it when it was the last), not the first.
#include "uitoolkit/controls/TabLayoutUI.h"

namespace SkinUI {

class CTabBodyUI : public CTabLayoutUI {
public:
    CTabBodyUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    bool Remove(CControlUI* page) override;
};

} // namespace SkinUI
