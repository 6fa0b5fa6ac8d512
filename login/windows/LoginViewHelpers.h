#pragma once
// Small helpers the login dialog's sources share: null-tolerant control access and the values
// the dialog's window and its sign-in code both use.
#include <windows.h>

#include <cstdint>
#include <string>

#include "foundation/StringUtil.h"
#include "uitoolkit/controls/OptionUI.h"
#include "uitoolkit/core/ControlUI.h"

namespace LoginViewHelpers {

// Step reported when the login ends, by the user's close or the sign-in's answer.
constexpr uint32_t kStepLoginResult = 209;
// Posted to itself: verify windows whose modal loops have returned may be deleted.
constexpr UINT kDeleteRetiredVerifyWindows = WM_APP + 28;

constexpr wchar_t kTrimSet[] = L" \t\n\v\f\r";

inline std::wstring TextOf(SkinUI::CControlUI* control)
{
    return control != nullptr ? std::wstring(control->GetText().GetData()) : std::wstring();
}

inline std::wstring Trimmed(std::wstring text)
{
    WStringTrimLeft(text, kTrimSet);
    WStringTrimRight(text, kTrimSet);
    return text;
}

inline bool IsShown(SkinUI::CControlUI* control) { return control != nullptr && control->IsVisible(); }
inline bool IsSelected(SkinUI::COptionUI* option) { return option != nullptr && option->IsSelected(); }
inline void Select(SkinUI::COptionUI* option, bool selected)
{
    if (option != nullptr)
        option->SetSelected(selected);
}
inline void Show(SkinUI::CControlUI* control, bool visible)
{
    if (control != nullptr)
        control->SetVisible(visible);
}
inline void Focus(SkinUI::CControlUI* control)
{
    if (control != nullptr)
        control->SetFocus();
}

} // namespace LoginViewHelpers
