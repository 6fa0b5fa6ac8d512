#include "uitoolkit/core/BuiltinControls.h"

#include <cwchar>

#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/HorizontalLayoutUI.h"
#include "uitoolkit/controls/TabLayoutUI.h"
#include "uitoolkit/controls/TileLayoutUI.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/EditUI.h"
#include "uitoolkit/controls/HostButtonUI.h"
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/controls/ListContainerElementUI.h"
#include "uitoolkit/controls/ListHeaderItemUI.h"
#include "uitoolkit/controls/ListHeaderUI.h"
#include "uitoolkit/controls/ListTextElementUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/controls/MenuButton.h"
#include "uitoolkit/controls/OptionUI.h"
#include "uitoolkit/controls/SliderUI.h"
#include "uitoolkit/controls/SlaveButtonUI.h"
#include "uitoolkit/controls/TextUI.h"
#include "uitoolkit/core/ActiveXUI.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/RichEditUI.h"

namespace SkinUI {

namespace {

template <class T>
CControlUI* Make() {
    return new T();
}

struct BuiltinTag {
    const wchar_t* tag;
    CControlUI* (*create)();
};

// One line per built-in class; tags compare exactly (case-sensitive).
const BuiltinTag kBuiltinTags[] = {
    {L"Control", &Make<CControlUI>},
    // Labels, texts and buttons.
    {L"Label", &Make<CLabelUI>},
    {L"Text", &Make<CTextUI>},
    {L"Button", &Make<CButtonUI>},
    {L"Option", &Make<COptionUI>},
    {L"MenuButton", &Make<CMenuButton>},
    {L"CHostButtonUI", &Make<CHostButtonUI>},
    {L"CSlaveButtonUI", &Make<CSlaveButtonUI>},
    // Containers, scroll bars, progress bars and sliders.
    {L"Container", &Make<CContainerUI>},
    {L"ScrollBar", &Make<CScrollBarUI>},
    {L"Progress", &Make<CProgressUI>},
    {L"Slider", &Make<CSliderUI>},
    // Layouts.
    {L"VerticalLayout", &Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {L"TileLayout", &Make<CTileLayoutUI>},
    {L"TabLayout", &Make<CTabLayoutUI>},
    // Edits.
    {L"Edit", &Make<CEditUI>},
    // Lists and list elements.
    {L"List", &Make<CListUI>},
    {L"ListHeader", &Make<CListHeaderUI>},
    {L"ListHeaderItem", &Make<CListHeaderItemUI>},
    {L"ListLabelElement", &Make<CListLabelElementUI>},
    {L"ListTextElement", &Make<CListTextElementUI>},
    {L"ListContainerElement", &Make<CListContainerElementUI>},
    // Combo boxes.
    {L"Combo", &Make<CComboUI>},
    // Rich edit.
    {L"RichEdit", &Make<CRichEditUI>},
    // ActiveX.
    {L"ActiveX", &Make<CActiveXUI>},
};

} // namespace

CControlUI* CreateBuiltinControl(const wchar_t* tag) {
    if (tag == nullptr) return nullptr;
    for (const BuiltinTag& entry : kBuiltinTags)
        if (std::wcscmp(entry.tag, tag) == 0) return entry.create();
    return nullptr;
}

} // namespace SkinUI
