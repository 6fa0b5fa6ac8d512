#pragma once
// CEditWnd: the native single-line edit that an edit field lays over itself while it has the
// focus, a superclass of the system's "Edit" named "EditWnd" (the superclass keeps the system
// class's window extra bytes). It lives from focus gain to focus loss: losing the focus posts
// WM_CLOSE, and its final message deletes it. Its owner can detach it first (when the control
// dies), after which it forwards nothing.
#include "uitoolkit/controls/NativeFieldWnd.h"

namespace SkinUI {

class IEditWndOwner;

class CEditWnd : public CNativeFieldWnd {
public:
    CEditWnd() = default;

    // Creates the window over the owner's edit rectangle, configured from the owner, shown and
    // focused. False when no window could be made (the object then deletes itself).
    bool Init(IEditWndOwner* owner);

    const wchar_t* GetWindowClass() const override { return L"EditWnd"; }
    const wchar_t* GetSuperclassBase() const override { return L"Edit"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // A text rectangle narrowed vertically to the font's height and centred in it, when the
    // font is lower than the rectangle: where a single-line edit goes.
    static RECT FitToFontHeight(RECT rc, int fontHeight);

protected:
    ~CEditWnd() override = default;  // only its final message deletes it
    void CreateAndSetUp(CWindowHostUI& host) override;
    IEditWndOwner* EditOwner() const;

private:
    // EN_CHANGE: the owner takes the window's text.
    LRESULT OnTextChanged();
};

} // namespace SkinUI
