#include "uitoolkit/core/TxtCaret.h"

#include "uitoolkit/core/SaturatingInt.h"

namespace SkinUI {

namespace {

// A caret of plain colour (black or grey) can be cut to any size; a picture cannot.
bool IsPlain(HBITMAP bitmap) { return bitmap == nullptr || bitmap == reinterpret_cast<HBITMAP>(1); }

// The size CreateCaret gives: a picture's own, otherwise the border's for a side of 0.
SIZE CaretSize(HBITMAP bitmap, int width, int height)
{
    BITMAP picture = {};
    if (!IsPlain(bitmap) && ::GetObjectW(bitmap, sizeof(picture), &picture) != 0)
        return SIZE{picture.bmWidth, picture.bmHeight};
    return SIZE{width > 0 ? width : ::GetSystemMetrics(SM_CXBORDER), height > 0 ? height : ::GetSystemMetrics(SM_CYBORDER)};
}

} // namespace

bool CTxtCaret::Create(HWND window, HBITMAP bitmap, int width, int height)
{
    m_window = window;
    m_bitmap = bitmap;
    m_size = CaretSize(bitmap, width, height);
    // A new caret starts hidden, and the thread's caret is now this one.
    m_shown = false;
    m_systemShown = false;
    m_systemSize = m_size;
    return ::CreateCaret(window, bitmap, width, height) != FALSE;
}

void CTxtCaret::Show(bool show)
{
    m_shown = show;
    Apply();
}

void CTxtCaret::SetPos(POINT client, POINT origin)
{
    m_origin = origin;
    m_atText = POINT{ClampedDifference(client.x, origin.x), ClampedDifference(client.y, origin.y)};
    Apply();
}

void CTxtCaret::Follow(const RECT& view, POINT origin)
{
    m_view = view;
    m_origin = origin;
    Apply();
}

void CTxtCaret::Apply()
{
    // While the text services hide it, the thread's caret may be another control's already: it is
    // left alone unless this object showed it.
    const long long left = static_cast<long long>(m_origin.x) + m_atText.x;
    const long long top = static_cast<long long>(m_origin.y) + m_atText.y;
    RECT part = {};
    bool visible = m_shown && PartInsideClip(m_view, left, top, left + m_size.cx, top + m_size.cy, part);
    const SIZE size = {part.right - part.left, part.bottom - part.top};
    if (visible && !IsPlain(m_bitmap) && (size.cx != m_size.cx || size.cy != m_size.cy))
        visible = false;
    if (!visible) {
        if (m_systemShown)
            ::HideCaret(m_window);
        m_systemShown = false;
        return;
    }
    // The part in view: a caret cut at the rectangle's edge is made anew in its visible size.
    if (size.cx != m_systemSize.cx || size.cy != m_systemSize.cy) {
        ::CreateCaret(m_window, m_bitmap, size.cx, size.cy);
        m_systemSize = size;
        m_systemShown = false;
    }
    ::SetCaretPos(part.left, part.top);
    if (!m_systemShown)
        ::ShowCaret(m_window);
    m_systemShown = true;
}

} // namespace SkinUI
