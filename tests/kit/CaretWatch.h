#pragma once
// The text caret as the screen shows it, for checks that no caret is drawn where it should not be.
// While a CaretWatch lives the caret does not blink (the thread's blink ticks are dropped), so a
// caret the system shows is drawn at every moment and a hidden one never is. Drawn finds it as
// the pixels where the screen differs from the window's own painting (the caret inverts them).
//
//   kit::CaretWatch caret;
//   in.Click(40, 30);
//   const RECT drawn = caret.Drawn(win.Hwnd());   // empty: no caret on the window
#include <windows.h>

namespace kit {

class CaretWatch {
public:
    CaretWatch();
    ~CaretWatch();
    CaretWatch(const CaretWatch&) = delete;
    CaretWatch& operator=(const CaretWatch&) = delete;

    // After the queue is drained (paints included): the smallest client rectangle holding every
    // pixel of the window the caret covers on the screen; empty when it shows none.
    RECT Drawn(HWND hWnd) const;

private:
    HHOOK m_hook = nullptr;
};

} // namespace kit
