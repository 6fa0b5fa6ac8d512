// CWindowHostUI: repaint requests, the layout before a paint, painting (double-buffered) and
// printing, and the window's look (transparency, first size).
#include "uitoolkit/core/WindowHostUI.h"

#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/ImagePaintScope.h"

namespace SkinUI {

namespace {

// Layout passes of one paint; a tree that keeps asking for layout is painted anyway and gets
// another paint.
constexpr int kMaxLayoutPasses = 64;

CControlUI* CALLBACK FindControlNeedingUpdateProc(CControlUI* control, void* /*data*/)
{
    return control->IsUpdateNeeded() ? control : nullptr;
}

} // namespace

// ---- repaint requests -------------------------------------------------------------------------

void CWindowHostUI::Invalidate(const RECT& rc)
{
    // InvalidateRect with no window would repaint every window on the desktop; a host being
    // built before its window exists has nothing to repaint yet.
    if (m_wholeClientInvalid || m_hWnd == nullptr || ::IsRectEmpty(&rc))
        return;
    if (m_invalidateBatch > 0) {
        ::UnionRect(&m_batchedInvalid, &m_batchedInvalid, &rc);
        return;
    }
    ::InvalidateRect(m_hWnd, &rc, FALSE);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    RECT covered = {};
    ::UnionRect(&covered, &rc, &client);
    m_wholeClientInvalid = ::EqualRect(&covered, &rc) != FALSE;
}

void CWindowHostUI::InvalidateClient()
{
    if (m_hWnd == nullptr)
        return;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    m_wholeClientInvalid = true;
}

CWindowHostUI::InvalidateBatch::InvalidateBatch(CWindowHostUI* host) : m_host(host)
{
    if (m_host == nullptr)
        return;
    m_alive = m_host->GetAliveToken();
    ++m_host->m_invalidateBatch;
}

CWindowHostUI::InvalidateBatch::~InvalidateBatch()
{
    if (m_host == nullptr || m_alive.expired() || --m_host->m_invalidateBatch > 0)
        return;
    const RECT rc = m_host->m_batchedInvalid;
    m_host->m_batchedInvalid = RECT{0, 0, 0, 0};
    m_host->Invalidate(rc);
}

// ---- layout -----------------------------------------------------------------------------------

// Lays out the controls that asked for it: the whole tree when the root did, else each control
// that needs it, repeatedly until none is left. The repaint requests of the pass reach the window
// as one (none at all when the whole client area is to be painted anyway).
bool CWindowHostUI::LayoutBeforePaint()
{
    std::weak_ptr<char> alive = m_alive;
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    if (::IsRectEmpty(&rcClient))
        return true;
    InvalidateBatch batch(this);
    // Layout fires size delegates and layout-driven notifications, whose listeners may close
    // the window.
    if (m_root->IsUpdateNeeded()) {
        m_root->SetPos(rcClient);
        if (alive.expired())
            return false;
        ReleaseOffscreen();  // recreated at the new size
        return true;
    }
    int pass = 0;
    for (; pass < kMaxLayoutPasses && m_root != nullptr; ++pass) {
        CControlUI* control =
            m_root->FindControl(FindControlNeedingUpdateProc, nullptr, kFindVisible | kFindMeFirst);
        if (control == nullptr)
            break;
        control->SetPos(control->GetPos());
        if (alive.expired())
            return false;
    }
    if (pass == kMaxLayoutPasses)
        m_updateNeeded = true;  // painted as it is; the next paint goes on
    return true;
}

// The lazy layout, "windowinit" once, and the first Tab stop's focus once the tree is laid out.
// False when the host died meanwhile.
bool CWindowHostUI::PrepareTreeForPaint(const std::weak_ptr<char>& alive)
{
    if (m_updateNeeded) {
        m_updateNeeded = false;
        if (!LayoutBeforePaint())
            return false;
        if (m_windowInitPending && m_root != nullptr) {
            m_windowInitPending = false;
            SendNotify(m_root, L"windowinit");
            if (alive.expired())
                return false;
        }
    }
    if (m_focusNeeded) {
        MoveTabFocus(true);
        if (alive.expired())
            return false;
    }
    return true;
}

// ---- painting ---------------------------------------------------------------------------------

// The bounds of what waits to be painted, and whether that is the whole client area. False when
// nothing waits.
bool CWindowHostUI::GetPendingUpdate(RECT& rcUpdate, bool& wholeClient) const
{
    wholeClient = false;
    CGdiRegion update(::CreateRectRgn(0, 0, 0, 0));
    if (!update)
        return ::GetUpdateRect(m_hWnd, &rcUpdate, FALSE) != FALSE;
    const int kind = ::GetUpdateRgn(m_hWnd, update.Get(), FALSE);
    if (kind == NULLREGION || kind == ERROR)
        return false;
    ::GetRgnBox(update.Get(), &rcUpdate);
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    RECT covered = {};
    ::UnionRect(&covered, &rcUpdate, &rcClient);
    wholeClient = kind == SIMPLEREGION && ::EqualRect(&covered, &rcUpdate);
    return true;
}

void CWindowHostUI::OnPaint()
{
    // 0. What waits to be painted. When it is the whole client area, the repaint requests made
    //    before the paint (layout, "windowinit", the first focus) are covered already.
    RECT rcUpdate = {};
    bool wholeClientPending = false;
    if (!GetPendingUpdate(rcUpdate, wholeClientPending))
        return;
    if (m_root == nullptr) {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    std::weak_ptr<char> alive = m_alive;
    m_wholeClientInvalid = wholeClientPending;

    // 1. Layout, "windowinit" and the first focus.
    if (!PrepareTreeForPaint(alive))
        return;
    // From here on the window is validated: a request made while painting paints again.
    m_wholeClientInvalid = false;
    if (m_root == nullptr) {
        ::ValidateRect(m_hWnd, nullptr);
        return;
    }

    // 2. Paint, double-buffered unless switched off. A control's paint may call out too (text
    //    callbacks, hosted windows): after each paint call the host must still live. The window
    //    is then gone with its paint.
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    if (m_offscreenPaint && m_hOffscreenBitmap == nullptr) {
        m_hOffscreenDC = ::CreateCompatibleDC(m_hPaintDC);
        m_hOffscreenBitmap = ::CreateCompatibleBitmap(m_hPaintDC, rcClient.right - rcClient.left,
                                                      rcClient.bottom - rcClient.top);
    }
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    const bool direct = !m_offscreenPaint || m_hOffscreenDC == nullptr || m_hOffscreenBitmap == nullptr;
    if (!(direct ? PaintDirect(ps, alive) : PaintOffscreen(ps, rcClient, alive)))
        return;
    if (m_showDirty && DirtyPen() != nullptr) {
        CSelectObject pen(ps.hdc, DirtyPen());
        CSelectObject brush(ps.hdc, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(ps.hdc, rcUpdate.left, rcUpdate.top, rcUpdate.right, rcUpdate.bottom);
    }
    ::EndPaint(m_hWnd, &ps);

    // 3. Something asked for layout while painting: paint again.
    if (m_updateNeeded)
        InvalidateClient();
}

// The tree straight into the window. False when the host died meanwhile.
bool CWindowHostUI::PaintDirect(const PAINTSTRUCT& ps, const std::weak_ptr<char>& alive)
{
    const int saved = ::SaveDC(ps.hdc);
    CImagePaintScope images(ps.hdc);
    m_root->Paint(ps.hdc, ps.rcPaint);
    if (alive.expired())
        return false;
    ::RestoreDC(ps.hdc, saved);
    return true;
}

// The tree and the overlays into the offscreen bitmap, which then goes to the window in one copy.
// False when the host died meanwhile.
bool CWindowHostUI::PaintOffscreen(const PAINTSTRUCT& ps, const RECT& rcClient, const std::weak_ptr<char>& alive)
{
    const RECT& rcPaint = ps.rcPaint;
    const int width = rcPaint.right - rcPaint.left;
    const int height = rcPaint.bottom - rcPaint.top;
    HGDIOBJ oldBitmap = ::SelectObject(m_hOffscreenDC, m_hOffscreenBitmap);
    const int saved = ::SaveDC(m_hOffscreenDC);
    if (m_bkTransparent)
        CopyBackground(ps, rcClient);
    {
        // The image draws of the tree and the overlays share one memory context.
        CImagePaintScope images(m_hOffscreenDC);
        m_root->Paint(m_hOffscreenDC, rcPaint);
        if (alive.expired())
            return false;
        for (int i = 0; i < m_postPaint.GetSize(); ++i) {
            static_cast<CControlUI*>(m_postPaint[i])->PaintOverlay(m_hOffscreenDC, rcPaint);
            if (alive.expired())
                return false;
        }
    }
    ::RestoreDC(m_hOffscreenDC, saved);
    ::BitBlt(ps.hdc, rcPaint.left, rcPaint.top, width, height, m_hOffscreenDC, rcPaint.left, rcPaint.top, SRCCOPY);
    ::SelectObject(m_hOffscreenDC, oldBitmap);
    return true;
}

// What lies under the window, copied once, is the background of every paint.
void CWindowHostUI::CopyBackground(const PAINTSTRUCT& ps, const RECT& rcClient)
{
    const RECT& rcPaint = ps.rcPaint;
    const int width = rcPaint.right - rcPaint.left;
    const int height = rcPaint.bottom - rcPaint.top;
    bool fresh = false;
    if (m_hBackgroundBitmap == nullptr) {
        m_hBackgroundDC = ::CreateCompatibleDC(m_hPaintDC);
        m_hBackgroundBitmap = ::CreateCompatibleBitmap(m_hPaintDC, rcClient.right - rcClient.left,
                                                       rcClient.bottom - rcClient.top);
        fresh = true;
    }
    if (m_hBackgroundDC == nullptr || m_hBackgroundBitmap == nullptr)
        return;
    CSelectObject select(m_hBackgroundDC, m_hBackgroundBitmap);
    if (fresh)
        ::BitBlt(m_hBackgroundDC, rcPaint.left, rcPaint.top, width, height, ps.hdc, rcPaint.left, rcPaint.top,
                 SRCCOPY);
    ::BitBlt(m_hOffscreenDC, rcPaint.left, rcPaint.top, width, height, m_hBackgroundDC, rcPaint.left, rcPaint.top,
             SRCCOPY);
}

void CWindowHostUI::PrintClient(HDC hDC, LPARAM flags)
{
    if (m_root == nullptr || hDC == nullptr)
        return;
    std::weak_ptr<char> alive = m_alive;
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    const int saved = ::SaveDC(hDC);
    {
        CImagePaintScope images(hDC);
        m_root->Paint(hDC, rcClient);
    }
    ::RestoreDC(hDC, saved);
    if ((flags & PRF_CHILDREN) == 0 || alive.expired())
        return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rcChild = {};
        ::GetWindowRect(child, &rcChild);
        ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rcChild), 2);
        POINT oldOrigin = {};
        ::OffsetWindowOrgEx(hDC, -rcChild.left, -rcChild.top, &oldOrigin);
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(hDC), flags | PRF_NONCLIENT);
        ::SetWindowOrgEx(hDC, oldOrigin.x, oldOrigin.y, nullptr);
        if (alive.expired())
            return;
    }
}

void CWindowHostUI::ReleaseOffscreen()
{
    if (m_hOffscreenDC != nullptr)
        ::DeleteDC(m_hOffscreenDC);
    if (m_hOffscreenBitmap != nullptr)
        ::DeleteObject(m_hOffscreenBitmap);
    if (m_hBackgroundDC != nullptr)
        ::DeleteDC(m_hBackgroundDC);
    if (m_hBackgroundBitmap != nullptr)
        ::DeleteObject(m_hBackgroundBitmap);
    m_hOffscreenDC = m_hBackgroundDC = nullptr;
    m_hOffscreenBitmap = m_hBackgroundBitmap = nullptr;
}

// ---- window look ------------------------------------------------------------------------------

void CWindowHostUI::SetTransparent(int alpha)
{
    if (m_hWnd == nullptr)
        return;
    HMODULE user32 = ::GetModuleHandleW(L"User32.dll");
    if (user32 == nullptr)
        return;
    using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    const auto setLayered = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetLayeredWindowAttributes")));
    if (setLayered == nullptr)
        return;
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    const LONG wanted = alpha < 256 ? (style | WS_EX_LAYERED) : (style & ~WS_EX_LAYERED);
    if (wanted != style)
        ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, wanted);
    setLayered(m_hWnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void CWindowHostUI::SetInitSize(int cx, int cy)
{
    m_initSize = {cx, cy};
    if (m_root == nullptr && m_hWnd != nullptr)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

} // namespace SkinUI
