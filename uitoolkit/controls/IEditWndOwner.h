#pragma once
// IEditWndOwner: what the native edit window (CEditWnd) asks of the edit field it lies over,
// beyond what every native field window asks.
#include "uitoolkit/controls/INativeFieldOwner.h"

namespace SkinUI {

class IEditWndOwner : public INativeFieldOwner {
public:
    // Where the native edit goes (window client coordinates).
    virtual RECT GetEditRect() const = 0;
    virtual bool IsPasswordMode() const = 0;
    virtual wchar_t GetPasswordChar() const = 0;
    virtual UINT GetMaxChar() const = 0;
    virtual bool IsReadOnly() const = 0;
    // The native edit's text changed: the owner takes it and notifies, last.
    virtual void OnNativeTextChanged(const wchar_t* text) = 0;

protected:
    ~IEditWndOwner() = default;
};

} // namespace SkinUI
