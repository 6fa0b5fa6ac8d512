#pragma once
// A per-pixel-alpha layered window ("__IrregularWindowClass") that shows a picture with
// transparent edges. The owner supplies the background picture (and keeps it), then calls Paint.
// The constructor registers the class and creates the window at once (hidden, no owner).
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <functional>

class CIrregularWindow {
public:
    CIrregularWindow();
    virtual ~CIrregularWindow();
    CIrregularWindow(const CIrregularWindow&) = delete;
    CIrregularWindow& operator=(const CIrregularWindow&) = delete;

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Registers the window class; a failure (e.g. already registered) is ignored.
    virtual void RegisterWindowClass();
    // Creates the layered window; whether a window was made.
    virtual bool Create(DWORD exStyle, DWORD style);

    HWND GetHWND() const { return m_hWnd; }
    void SetBackgroundImage(Gdiplus::Bitmap* image) { m_background = image; }
    Gdiplus::Bitmap* GetBackgroundImage() const { return m_background; }

    // Puts the background picture on the window at its own size; nothing without one.
    void Paint();

    static constexpr wchar_t kClassName[] = L"__IrregularWindowClass";

protected:
    using Composer = std::function<void(Gdiplus::Graphics&)>;
    // Draws a picture of the given size with `compose` and shows it with per-pixel alpha at the
    // window's current position (the window takes the picture's size). False when nothing could
    // be shown.
    bool ShowLayeredPicture(int width, int height, const Composer& compose);
    // The background picture's size; false without one or when it exceeds the image limit.
    bool BackgroundSize(int& width, int& height) const;

    HWND m_hWnd = nullptr;
    HWND m_hParent = nullptr;  // the window has no parent
    Gdiplus::Bitmap* m_background = nullptr;  // not owned

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
