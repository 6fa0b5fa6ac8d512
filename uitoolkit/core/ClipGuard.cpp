#include "uitoolkit/core/ClipGuard.h"

#include "uitoolkit/core/RenderKit.h"

namespace SkinUI {

CClipGuard::~CClipGuard()
{
    Restore();
}

void CClipGuard::Restore()
{
    if (m_hDC != nullptr) {
        // A null region removes the clip, which is exactly the state before when there was none.
        ::SelectClipRgn(m_hDC, m_hOldRgn);
    }
    if (m_hOldRgn != nullptr) ::DeleteObject(m_hOldRgn);
    if (m_hRgn != nullptr) ::DeleteObject(m_hRgn);
    m_hDC = nullptr;
    m_hRgn = nullptr;
    m_hOldRgn = nullptr;
}

void CClipGuard::Begin(HDC hDC, const RECT& rc, HRGN hClip)
{
    Restore();
    // Save the real clip region (not just its bounding box) so that nested guards and round
    // clips come back exactly. GetClipRgn answers 0 when the DC has no clip at all.
    HRGN hOld = ::CreateRectRgn(0, 0, 0, 0);
    if (hOld != nullptr && ::GetClipRgn(hDC, hOld) != 1) {
        ::DeleteObject(hOld);
        hOld = nullptr;
    }
    m_hOldRgn = hOld;
    m_hRgn = hClip;
    m_hDC = hDC;
    m_rcItem = rc;
    if (hClip != nullptr) ::ExtSelectClipRgn(hDC, hClip, RGN_AND);
}

void CClipGuard::ClipToRect(HDC hDC, const RECT& rc, CClipGuard& guard)
{
    guard.Begin(hDC, rc, ::CreateRectRgnIndirect(&rc));
}

void CClipGuard::ClipToRoundRect(HDC hDC, const RECT& rc, const RECT& rcItem, int width, int height,
                                 CClipGuard& guard)
{
    HRGN hRgn = ::CreateRectRgnIndirect(&rc);
    // The item's numbers come from the skin: within GDI's range before the +1, and a corner no
    // larger than the item.
    RECT item = rcItem;
    CRenderKit::ClampRoundRect(item, width, height);
    HRGN hRound = ::CreateRoundRectRgn(item.left, item.top, item.right + 1, item.bottom + 1, width, height);
    if (hRgn != nullptr && hRound != nullptr) ::CombineRgn(hRgn, hRgn, hRound, RGN_AND);
    if (hRound != nullptr) ::DeleteObject(hRound);
    guard.Begin(hDC, rc, hRgn);
}

void CClipGuard::SuspendClip(HDC hDC, const CClipGuard& guard)
{
    ::SelectClipRgn(hDC, guard.m_hOldRgn);
}

void CClipGuard::ResumeClip(HDC hDC, const CClipGuard& guard)
{
    // The saved clip AND the guard's region is what the guard selected in the first place.
    ::SelectClipRgn(hDC, guard.m_hOldRgn);
    if (guard.m_hRgn != nullptr) ::ExtSelectClipRgn(hDC, guard.m_hRgn, RGN_AND);
}

} // namespace SkinUI
