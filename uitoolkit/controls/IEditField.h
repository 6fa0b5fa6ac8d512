#pragma once
// IEditField: an edit-like field that opens a native window over itself while it is edited. The
// shared field handling (CEditFieldBehaviour) opens and addresses that window through it.
#include "uitoolkit/controls/IEditWndOwner.h"

namespace SkinUI {

class IEditField : public IEditWndOwner {
public:
    // The native window while it is open, else null.
    virtual HWND GetNativeWindow() const = 0;
    // Opens the native window when none is open. It may notify: the caller watches the control.
    virtual void OpenNativeWindow() = 0;

protected:
    ~IEditField() = default;
};

} // namespace SkinUI
