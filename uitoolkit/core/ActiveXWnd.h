#pragma once
// CActiveXWnd: the child window "ActiveXWnd" in which a CActiveXUI's windowed object lives. It
// UI-activates the object when it gets the focus, activates it in place on a click unless the
// object declines, and leaves the painting to the object's own window. The site owns it.
#include <windows.h>

#include "uitoolkit/core/WindowWnd.h"

namespace SkinUI {

class CActiveXCtrl;

class CActiveXWnd : public CWindowWnd {
public:
    explicit CActiveXWnd(CActiveXCtrl* site) : m_site(site) {}

    // A visible child of the parent at a zero rectangle; the owner places it.
    HWND Init(HWND parent);

    const wchar_t* GetWindowClass() const override { return L"ActiveXWnd"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The site deletes the object.
    void OnWindowDestroyed(HWND hWnd) override;

private:
    // False when the object's answer deleted this window object (nothing of it may be touched).
    bool DoVerb(LONG verb);

    CActiveXCtrl* m_site;
};

} // namespace SkinUI
