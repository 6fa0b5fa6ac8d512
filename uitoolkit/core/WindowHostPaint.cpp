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
    m_life = m_host->GetAliveToken();
    ++m_host->m_invalidateBatch;
}

CWindowHostUI::InvalidateBatch::~InvalidateBatch()
{
    if (m_host == nullptr || m_life.Ended() || --m_host->m_invalidateBatch > 0)
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
    const mjz::AliveToken::Life life = m_alive.GetLife();
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    if (::IsRectEmpty(&rcClient))
        return true;
    InvalidateBatch batch(this);
    // Layout fires size delegates and layout-driven notifications, whose listeners may close
    // the window.
    if (m_root->IsUpdateNeeded()) {
        m_root->SetPos(rcClient);
        return !life.Ended();
    }
    int pass = 0;
    for (; pass < kMaxLayoutPasses && m_root != nullptr; ++pass) {
        CControlUI* control =
            m_root->FindControl(FindControlNeedingUpdateProc, nullptr, kFindVisible | kFindMeFirst);
        if (control == nullptr)
            break;
        control->SetPos(control->GetPos());
        if (life.Ended())
            return false;
    }
    if (pass == kMaxLayoutPasses)
        m_updateNeeded = true;  // painted as it is; the next paint goes on
    return true;
}

// The lazy layout, "windowinit" once, and the first Tab stop's focus once the tree is laid out.
// False when the host died meanwhile.
bool CWindowHostUI::PrepareTreeForPaint()
{
    if (m_updateNeeded) {
        m_updateNeeded = false;
        if (!LayoutBeforePaint())
            return false;
        if (m_windowInitPending && m_root != nullptr) {
            m_windowInitPending = false;
            if (!m_alive.Survives([this] { SendNotify(m_root, L"windowinit"); }))
                return false;
        }
    }
    return !m_focusNeeded || m_alive.Survives([this] { MoveTabFocus(true); });
}

// ---- painting ---------------------------------------------------------------------------------

// Whether anything waits to be painted, and whether that is the whole client area.
bool CWindowHostUI::GetPendingUpdate(bool& wholeClient) const
{
    wholeClient = false;
    RECT rcUpdate = {};
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
    // 1. Layout, "windowinit" and the first focus, when any waits. Their repaint requests belong
    //    to this paint, so they come before BeginPaint; when the whole client area waits anyway
    //    they add nothing. A plain repaint skips the update query, a round trip to the server.
    if (m_root != nullptr && (m_updateNeeded || m_focusNeeded)) {
        bool wholeClientPending = false;
        if (!GetPendingUpdate(wholeClientPending))
            return;
        m_wholeClientInvalid = wholeClientPending;
        if (!PrepareTreeForPaint())
            return;
        // From here on the window is validated: a request made while painting paints again.
        m_wholeClientInvalid = false;
        if (m_root == nullptr) {
            ::ValidateRect(m_hWnd, nullptr);
            return;
        }
    }

    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    if (m_root == nullptr || ::IsRectEmpty(&ps.rcPaint)) {
        ::EndPaint(m_hWnd, &ps);
        return;
    }

    // 2. Paint, double-buffered unless switched off. A control's paint may call out too (text
    //    callbacks, hosted windows): after each paint call the host must still live. The window
    //    is then gone with its paint.
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    const SIZE client = {rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
    HDC hOffscreen = nullptr;
    if (m_offscreenPaint)
        hOffscreen = m_offscreen.Prepare(m_hPaintDC, client.cx, client.cy);
    else
        m_offscreen.Release();
    if (!(hOffscreen == nullptr ? PaintDirect(ps) : PaintOffscreen(ps, hOffscreen, client)))
        return;
    if (m_showDirty && DirtyPen() != nullptr) {
        CSelectObject pen(ps.hdc, DirtyPen());
        CSelectObject brush(ps.hdc, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(ps.hdc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    }
    ::EndPaint(m_hWnd, &ps);

    // 3. Something asked for layout while painting: paint again.
    if (m_updateNeeded)
        InvalidateClient();
}

HDC CWindowHostUI::ImageDC()
{
    if (!m_imageDC)
        m_imageDC = std::make_unique<CMemoryDC>(m_hPaintDC);
    return m_imageDC->Get();
}

// The tree straight into the window. False when the host died meanwhile.
bool CWindowHostUI::PaintDirect(const PAINTSTRUCT& ps)
{
    const int saved = ::SaveDC(ps.hdc);
    CImagePaintScope images(ps.hdc, ImageDC());
    if (!m_alive.Survives([&] { m_root->Paint(ps.hdc, ps.rcPaint); }))
        return false;
    ::RestoreDC(ps.hdc, saved);
    return true;
}

// The tree and the overlays into the offscreen bitmap, which then goes to the window in one copy.
// False when the host died meanwhile.
bool CWindowHostUI::PaintOffscreen(const PAINTSTRUCT& ps, HDC hOffscreen, SIZE client)
{
    const RECT& rcPaint = ps.rcPaint;
    const int saved = ::SaveDC(hOffscreen);
    if (m_bkTransparent)
        CopyBackground(ps, hOffscreen, client);
    {
        // The image draws of the tree and the overlays share one memory context.
        CImagePaintScope images(hOffscreen, ImageDC());
        const mjz::AliveToken::Life life = m_alive.GetLife();
        m_root->Paint(hOffscreen, rcPaint);
        if (life.Ended())
            return false;
        for (int i = 0; i < m_postPaint.GetSize(); ++i) {
            static_cast<CControlUI*>(m_postPaint[i])->PaintOverlay(hOffscreen, rcPaint);
            if (life.Ended())
                return false;
        }
    }
    ::RestoreDC(hOffscreen, saved);
    ::BitBlt(ps.hdc, rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left, rcPaint.bottom - rcPaint.top, hOffscreen,
             rcPaint.left, rcPaint.top, SRCCOPY);
    return true;
}

// What lies under the window, copied once for each client size, is the background of every paint.
void CWindowHostUI::CopyBackground(const PAINTSTRUCT& ps, HDC hOffscreen, SIZE client)
{
    const RECT& rcPaint = ps.rcPaint;
    const int width = rcPaint.right - rcPaint.left;
    const int height = rcPaint.bottom - rcPaint.top;
    bool fresh = false;
    HDC hBackground = m_background.Prepare(m_hPaintDC, client.cx, client.cy, &fresh);
    if (hBackground == nullptr)
        return;
    if (fresh)
        ::BitBlt(hBackground, rcPaint.left, rcPaint.top, width, height, ps.hdc, rcPaint.left, rcPaint.top, SRCCOPY);
    ::BitBlt(hOffscreen, rcPaint.left, rcPaint.top, width, height, hBackground, rcPaint.left, rcPaint.top, SRCCOPY);
}

void CWindowHostUI::PrintClient(HDC hDC, LPARAM flags)
{
    if (m_root == nullptr || hDC == nullptr)
        return;
    const mjz::AliveToken::Life life = m_alive.GetLife();
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    const int saved = ::SaveDC(hDC);
    {
        CImagePaintScope images(hDC);
        m_root->Paint(hDC, rcClient);
    }
    ::RestoreDC(hDC, saved);
    if ((flags & PRF_CHILDREN) == 0 || life.Ended())
        return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rcChild = {};
        ::GetWindowRect(child, &rcChild);
        ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rcChild), 2);
        POINT oldOrigin = {};
        ::OffsetWindowOrgEx(hDC, -rcChild.left, -rcChild.top, &oldOrigin);
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(hDC), flags | PRF_NONCLIENT);
        ::SetWindowOrgEx(hDC, oldOrigin.x, oldOrigin.y, nullptr);
        if (life.Ended())
            return;
    }
}

void CWindowHostUI::ReleaseOffscreen()
{
    m_offscreen.Release();
    m_background.Release();
    m_imageDC.reset();
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
