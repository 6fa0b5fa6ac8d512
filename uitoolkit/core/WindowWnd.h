#pragma once
// CWindowWnd: binds one object to one native window. It registers the window class on first use
// (an own class, or a superclass of an existing class), routes the window's messages to the
// virtual ProcessMessage, and offers creation, centring, modal showing, resizing by client size
// and closing with a result code.
//
// The object of an own class lives in the window's GWLP_USERDATA slot, that of a superclassed
// window in the property "WndX". After WM_NCDESTROY the object has no window and is told so by
// OnWindowDestroyed, which a derived window may use to delete itself.
#include <windows.h>

namespace SkinUI {

class CWindowWnd {
public:
    CWindowWnd() = default;
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    // The class name to register (or to register the superclass under).
    virtual const wchar_t* GetWindowClass() const = 0;
    // Null: an own class. Otherwise the existing class to superclass.
    virtual const wchar_t* GetSuperclassBase() const { return nullptr; }
    virtual UINT GetClassStyle() const { return 0; }
    // Keeps the owner chain shown, restored and enabled in step with this window (only while
    // the owner hook is on): on WM_CLOSE and WM_SHOWWINDOW.
    virtual void SyncOwnerWindows(UINT message, WPARAM wParam, LPARAM lParam);
    // Messages the derived window leaves unhandled go here and on to the saved procedure.
    virtual LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is gone (the handle is already cleared). The object may delete itself here.
    virtual void OnWindowDestroyed(HWND hWnd);

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int width = CW_USEDEFAULT,
                int height = CW_USEDEFAULT, HMENU menu = nullptr);
    HWND CreateWithRect(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rc,
                        HMENU menu = nullptr);
    void Destroy();
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Runs a modal loop until Close(code) (the result), WM_QUIT (0, re-posted), or the window's
    // destruction (0). Owners are disabled meanwhile. The window is destroyed on return; the
    // object must not be used afterwards when its OnWindowDestroyed deletes it.
    UINT ShowModal();
    // Posts WM_CLOSE with the result code in lParam.
    void Close(UINT result = IDOK);
    void CenterWindow();
    // Client size; -1 keeps the current width or height.
    void ResizeClient(int width = -1, int height = -1);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Puts the saved procedure back as the window procedure when the window was subclassed.
    void Unsubclass();

    static LRESULT CALLBACK ClassWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SuperclassWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    bool RegisterWindowClass();
    bool RegisterSuperclass();
    void SetOwnerHook(bool on) { m_ownerHook = on; }
    bool IsOwnerHook() const { return m_ownerHook; }
    void SetSubclassed(bool on) { m_subclassed = on; }

    HWND m_hWnd = nullptr;
    WNDPROC m_oldWndProc = ::DefWindowProcW;
    bool m_subclassed = false;
    bool m_ownerHook = false;

private:
    static LRESULT Route(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool superclassed);
    static LRESULT Unbind(CWindowWnd* self, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                          bool superclassed);
};

} // namespace SkinUI
