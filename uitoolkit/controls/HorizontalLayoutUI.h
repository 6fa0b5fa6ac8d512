#pragma once
// CHorizontalLayoutUI: the linear layout along x ("HorizontalLayout"): children left to right,
// and the band "sepwidth" on its left or right edge. It reports no content height, so a vertical
// bar on it is never shown.
#include "uitoolkit/controls/LinearLayoutUI.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CLinearLayoutUI {
public:
    CHorizontalLayoutUI() : CLinearLayoutUI(LinearAxis::X()) {}
};

} // namespace SkinUI
