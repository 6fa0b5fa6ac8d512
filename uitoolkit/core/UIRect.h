#pragma once
// Point, size and rectangle values laid out exactly like the platform's SIZE, POINT and RECT,
// so that they convert both ways. CUISize also serves as a point (cx = x, cy = y).
#include <windows.h>

#include <cstddef>

namespace SkinUI {

class CUISize : public SIZE {
public:
    CUISize() { cx = cy = 0; }
    CUISize(const SIZE& size) { cx = size.cx; cy = size.cy; }
    CUISize(const POINT& point) { cx = point.x; cy = point.y; }
    CUISize(int x, int y) { cx = x; cy = y; }

    POINT AsPoint() const { return POINT{cx, cy}; }
};

class CUIRect : public RECT {
public:
    CUIRect() { left = top = right = bottom = 0; }
    CUIRect(const RECT& rc) { left = rc.left; top = rc.top; right = rc.right; bottom = rc.bottom; }
    CUIRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }

    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    // Grows to cover the other rectangle (no test for empty rectangles).
    void Union(const RECT& other)
    {
        if (other.left < left) left = other.left;
        if (other.top < top) top = other.top;
        if (other.right > right) right = other.right;
        if (other.bottom > bottom) bottom = other.bottom;
    }
    void Offset(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void MoveToOrigin() { Offset(-left, -top); }
};

static_assert(sizeof(CUISize) == sizeof(SIZE) && sizeof(CUISize) == sizeof(POINT));
static_assert(offsetof(SIZE, cy) == offsetof(POINT, y));
static_assert(sizeof(CUIRect) == sizeof(RECT));
static_assert(offsetof(CUIRect, bottom) == offsetof(RECT, bottom));

} // namespace SkinUI
