#pragma once
// INativeFieldOwner: what a field's native child window (the edit of an edit box, the hot-key
// control of a hot-key field) asks of the windowless control it lies over.
#include <windows.h>

namespace SkinUI {

class CLabelUI;

class INativeFieldOwner {
public:
    // The control itself: its host, font, text, text colour and enabled state.
    virtual CLabelUI& GetFieldLabel() = 0;
    // The native window's background; 0xFFFFFFFF leaves it to the system colours.
    virtual DWORD GetNativeBkColor() const = 0;
    // The native window is gone (or going): the owner forgets it. It is the last call the window
    // makes, so the owner may notify from here.
    virtual void OnNativeClosed() = 0;

protected:
    ~INativeFieldOwner() = default;
};

} // namespace SkinUI
