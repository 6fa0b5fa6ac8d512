#pragma once
// Windows of the window-base tests: an own-class window that records what the base tells it, a
// superclassed "Edit", and one with an unknown base class.
#include <windows.h>

#include <functional>

#include "uitoolkit/core/WindowWnd.h"

namespace windowwnd_probe {

using SkinUI::CWindowWnd;

// A window of an own class that records what the base tells it.
class OwnWnd : public CWindowWnd {
public:
    const wchar_t* GetWindowClass() const override { return L"OmbrelTestOwnWnd"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (onMessage) {
            LRESULT result = 0;
            if (onMessage(message, wParam, lParam, result))
                return result;
        }
        return CWindowWnd::ProcessMessage(message, wParam, lParam);
    }
    void OnWindowDestroyed(HWND hWnd) override
    {
        ++destroyedCalls;
        destroyedArg = hWnd;
        handleDuringDestroyed = m_hWnd;
        userDataDuringDestroyed = ::GetWindowLongPtrW(hWnd, GWLP_USERDATA);
        CWindowWnd::OnWindowDestroyed(hWnd);
        if (deleteSelf)
            delete this;
    }
    ~OwnWnd() override
    {
        if (deletedFlag != nullptr)
            *deletedFlag = true;
    }

    void HookOwners(bool on) { SetOwnerHook(on); }
    void MarkSubclassed(WNDPROC previous)
    {
        m_oldWndProc = previous;
        SetSubclassed(true);
    }

    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> onMessage;
    int destroyedCalls = 0;
    HWND destroyedArg = nullptr;
    HWND handleDuringDestroyed = reinterpret_cast<HWND>(1);
    LONG_PTR userDataDuringDestroyed = -1;
    bool deleteSelf = false;
    bool* deletedFlag = nullptr;
};

class EditWnd : public CWindowWnd {
public:
    const wchar_t* GetWindowClass() const override { return L"OmbrelTestEditWnd"; }
    const wchar_t* GetSuperclassBase() const override { return L"Edit"; }
    void OnWindowDestroyed(HWND hWnd) override
    {
        ++destroyedCalls;
        propDuringDestroyed = ::GetPropW(hWnd, L"WndX");
        CWindowWnd::OnWindowDestroyed(hWnd);
    }
    int destroyedCalls = 0;
    HANDLE propDuringDestroyed = reinterpret_cast<HANDLE>(1);
};

class NoSuchBaseWnd : public CWindowWnd {
public:
    const wchar_t* GetWindowClass() const override { return L"OmbrelTestNoBase"; }
    const wchar_t* GetSuperclassBase() const override { return L"OmbrelNoSuchClassAnywhere"; }
};

inline HWND CreatePopup(CWindowWnd& wnd, HWND owner = nullptr, int x = 100, int y = 100, int w = 200, int h = 120,
                 DWORD style = WS_POPUP)
{
    return wnd.Create(owner, L"t", style, WS_EX_TOOLWINDOW, x, y, w, h);
}

inline RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

inline RECT WorkArea()
{
    RECT rc = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
    return rc;
}

} // namespace windowwnd_probe
