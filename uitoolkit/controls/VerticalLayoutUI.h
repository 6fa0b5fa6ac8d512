#pragma once
// CVerticalLayoutUI: the linear layout along y ("VerticalLayout"): children top to bottom, the
// content height feeding the vertical bar, and the band "sepheight" on its top or bottom edge.
#include "uitoolkit/controls/LinearLayoutUI.h"

namespace SkinUI {

class CVerticalLayoutUI : public CLinearLayoutUI {
public:
    CVerticalLayoutUI() : CLinearLayoutUI(LinearAxis::Y()) {}
};

} // namespace SkinUI
