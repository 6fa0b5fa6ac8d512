#pragma once
// CTxtCaret: the system caret on behalf of windowless text services. They place the caret in
// the window's client coordinates as if their text had a window of its own. Such a window would
// clip the caret to itself and carry it along when the text scrolls (ScrollWindowEx moves it);
// a windowless text has neither. So the caret is kept relative to the text's origin (the text
// rectangle's corner less the scroll position), follows that origin, and the system caret shows
// only the part that lies inside the text rectangle: a caret scrolled out of view is hidden, and
// it comes back where the text puts it when the text scrolls back.
//
// The thread has one system caret, which other controls take with the focus. It is touched only
// between the text services' create and hide, while they hold the focus.
#include <windows.h>

namespace SkinUI {

class CTxtCaret {
public:
    // The text services' requests: a new (hidden) caret on the window, shown or hidden, placed
    // at a client point while the text has the given origin.
    bool Create(HWND window, HBITMAP bitmap, int width, int height);
    void Show(bool show);
    void SetPos(POINT client, POINT origin);
    // The text rectangle moved or its text scrolled: the caret goes with the text and shows only
    // inside the rectangle.
    void Follow(const RECT& view, POINT origin);

private:
    // Shows, cuts, moves or hides the system caret to match the request and the view.
    void Apply();

    HWND m_window = nullptr;
    HBITMAP m_bitmap = nullptr;
    SIZE m_size = {0, 0};          // the whole caret
    POINT m_atText = {0, 0};       // its corner relative to the text's origin
    POINT m_origin = {0, 0};       // the text's origin in client coordinates
    RECT m_view = {0, 0, 0, 0};    // the visible text rectangle
    bool m_shown = false;          // the text services want it shown
    // The system caret as this object left it.
    SIZE m_systemSize = {0, 0};
    bool m_systemShown = false;
};

} // namespace SkinUI
