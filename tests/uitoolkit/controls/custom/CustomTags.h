#pragma once
// The program's own controls made by tag in the toolkit's tests, which do not link the login
// windows' factory.
#include "kit/XmlHost.h"
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

namespace custom_tags {

struct CustomTags : kit::TagTable {
    CustomTags()
        : TagTable({{L"Tab", &kit::Make<SkinUI::CTabUI>},
                    {L"TabBody", &kit::Make<SkinUI::CTabBodyUI>},
                    {L"HotKeyEdit", &kit::Make<SkinUI::CHotKeyEditUI>},
                    {L"EditEx", &kit::Make<SkinUI::CEditExUI>},
                    {L"GifAnim", &kit::Make<SkinUI::CGifAnimUI>},
                    {L"PngAnim", &kit::Make<SkinUI::CPngAnimUI>},
                    {L"CheckButton", &kit::Make<SkinUI::CCheckButtonUI>},
                    {L"HoverLabel", &kit::Make<SkinUI::CHoverLabel>},
                    {L"VerticalLayoutEx", &kit::Make<SkinUI::CVerticalLayoutExUI>},
                    {L"ListControl", &kit::Make<SkinUI::CListControl>},
                    {L"ComboEx", &kit::Make<SkinUI::CComboExUI>}})
    {
    }
};

} // namespace custom_tags
