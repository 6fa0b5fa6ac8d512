#pragma once
// The input record that the window host builds from window messages and hands to
// CControlUI::Event. The host produces only the types below.
#include <windows.h>

namespace SkinUI {

class CControlUI;

enum ControlEventType : int {
    kEventKeyDown = 3,       // WM_KEYDOWN to the focused control (then the key control)
    kEventKeyUp = 4,         // WM_KEYUP to the key control of the last key down
    kEventChar = 5,          // WM_CHAR to the focused control
    kEventSysKey = 6,        // WM_SYSKEYDOWN, in pre-translation
    kEventMouseMove = 9,
    kEventMouseLeave = 10,
    kEventMouseEnter = 11,
    kEventMouseHover = 12,
    kEventButtonDown = 13,
    kEventButtonUp = 14,
    kEventRButtonDown = 15,
    kEventDblClick = 16,
    kEventContextMenu = 17,
    kEventScrollWheel = 18,  // wParam 1 when the wheel turned towards the user
    kEventKillFocus = 20,    // sender: the control gaining focus (or null)
    kEventSetFocus = 21,
    kEventWindowSize = 22,
    kEventSetCursor = 23,
    kEventTimer = 24,        // wParam: the control's own timer id
};

// Key-state mask bits of ControlEvent::keyState (built from GetKeyState). Note: right button 1
// and left button 2, unlike the mouse messages' own MK_ flags.
enum ControlKeyState : WORD {
    kKeyStateRButton = 0x01,
    kKeyStateLButton = 0x02,
    kKeyStateShift = 0x04,
    kKeyStateControl = 0x08,
    kKeyStateAlt = 0x20,
};

struct ControlEvent {
    int type = 0;
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;     // GetTickCount at creation
    POINT point = {0, 0};    // client coordinates
    wchar_t key = 0;         // virtual key or character
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

} // namespace SkinUI
