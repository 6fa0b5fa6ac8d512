#pragma once
// The state word of every button-like part (buttons, options, slider thumbs, scroll-bar buttons
// and thumbs): one 32-bit set of these flags. Plain constants, so that they mix with other
// UINT values in expressions without enum warnings.
#include <windows.h>

namespace SkinUI {

constexpr UINT kStateFocused = 0x01;
constexpr UINT kStateSelected = 0x02;
constexpr UINT kStateDisabled = 0x04;
constexpr UINT kStateHot = 0x08;
constexpr UINT kStatePushed = 0x10;
constexpr UINT kStateCaptured = 0x40;

} // namespace SkinUI
