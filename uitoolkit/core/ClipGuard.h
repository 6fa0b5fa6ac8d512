#pragma once
#include <windows.h>

namespace SkinUI {

// Narrows a device context's clip region to a rectangle (optionally with round corners) for the
// time a control paints, and puts the exact previous clip back when it goes out of scope.
class CClipGuard {
public:
    CClipGuard() = default;
    ~CClipGuard();
    CClipGuard(const CClipGuard&) = delete;
    CClipGuard& operator=(const CClipGuard&) = delete;

    // Intersects the DC's clip with the rectangle. A guard that was filled before restores its
    // own saved clip first.
    static void ClipToRect(HDC hDC, const RECT& rc, CClipGuard& guard);
    // As ClipToRect, further narrowed to the item's round rectangle (right and bottom + 1).
    static void ClipToRoundRect(HDC hDC, const RECT& rc, const RECT& rcItem, int width, int height,
                                CClipGuard& guard);
    // Selects the clip that was in place before the guard (children drawn outside the control).
    static void SuspendClip(HDC hDC, const CClipGuard& guard);
    // Selects the guard's own clip again.
    static void ResumeClip(HDC hDC, const CClipGuard& guard);

    const RECT& GetRect() const { return m_rcItem; }

private:
    void Begin(HDC hDC, const RECT& rc, HRGN hClip);
    void Restore();

    RECT m_rcItem{};
    HDC m_hDC = nullptr;
    HRGN m_hRgn = nullptr;      // the clip this guard selected (owned)
    HRGN m_hOldRgn = nullptr;   // the clip before the guard, null when the DC had none (owned)
};

} // namespace SkinUI
