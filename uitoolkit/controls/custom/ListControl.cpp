#include "uitoolkit/controls/custom/ListControl.h"

namespace SkinUI {

bool CListControl::Add(CControlUI* control) { return control != nullptr && CListUI::Add(control); }

bool CListControl::AddAt(CControlUI* control, int index) { return control != nullptr && CListUI::AddAt(control, index); }

bool CListControl::Remove(CControlUI* control) { return control != nullptr && CListUI::Remove(control); }

bool CListControl::RemoveAt(int index) { return GetItemAt(index) != nullptr && CListUI::RemoveAt(index); }

} // namespace SkinUI
