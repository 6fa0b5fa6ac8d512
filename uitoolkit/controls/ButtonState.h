#pragma once
// The state word of every button-like part (buttons, options, slider thumbs, scroll-bar buttons
// and thumbs): one 32-bit set of these flags.
#include <windows.h>

namespace SkinUI {

enum ButtonStateFlag : UINT {
    kStateFocused = 0x01,
    kStateSelected = 0x02,
    kStateDisabled = 0x04,
    kStateHot = 0x08,
    kStatePushed = 0x10,
    kStateCaptured = 0x40,
};

} // namespace SkinUI
