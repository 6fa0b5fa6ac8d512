#include "login/windows/FrameView.h"

#include <shlwapi.h>

#include "login/windows/ButtonSkinIni.h"
#include "login/windows/FrameBitmaps.h"
#include "uitoolkit/core/CommonControls.h"

namespace {

constexpr DWORD kHoverMs = 50;
// WS_BORDER | WS_DLGFRAME | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX.
constexpr LONG_PTR kNoCaptionParts = 0x00C70000;
// SC_MOVE with HTCAPTION: the system's drag-by-caption loop.
constexpr WPARAM kDragByCaption = SC_MOVE | HTCAPTION;

// The TOOLINFO size the common controls take: version 6 knows the whole record, older versions
// refuse any record larger than the one they know.
UINT ToolInfoSize()
{
    return SkinUI::CCommonControls::MajorVersion() >= 6 ? sizeof(TOOLINFOW) : TTTOOLINFOW_V2_SIZE;
}

void SetCursorShape(const wchar_t* shape)
{
    ::SetCursor(::LoadCursorW(nullptr, shape));
}

} // namespace

const CFrameView::MessageHandler CFrameView::kHandlers[] = {
    {WM_CREATE, &CFrameView::OnCreate},
    {WM_MOVE, &CFrameView::OnFrameMoved},
    {WM_SHOWWINDOW, &CFrameView::OnFrameMoved},
    {WM_MOVING, &CFrameView::OnFrameMoved},
    {WM_WINDOWPOSCHANGED, &CFrameView::OnWindowPosChanged},
    {WM_SIZE, &CFrameView::OnSize},
    {CFrameView::kShowAttachedMessage, &CFrameView::OnShowAttached},
    {WM_ACTIVATE, &CFrameView::OnActivate},
    {WM_ACTIVATEAPP, &CFrameView::OnActivateApp},
    {WM_SYSCOMMAND, &CFrameView::OnSysCommand},
    {WM_KEYDOWN, &CFrameView::OnKeyDown},
    {WM_MOUSEMOVE, &CFrameView::OnMouseMove},
    {WM_LBUTTONDOWN, &CFrameView::OnLeftButtonDown},
    {WM_MOUSEHOVER, &CFrameView::OnMouseHover},
    {WM_MOUSELEAVE, &CFrameView::OnMouseLeave},
};

CFrameView::CFrameView(const std::wstring& baseDirectory)
    : m_loadedButtons(LoadButtonSkinIni(baseDirectory)), m_baseDirectory(baseDirectory)
{
    for (const auto& button : m_loadedButtons) m_buttons.push_back(button.get());
}

CFrameView::~CFrameView()
{
    m_alive.End();
    if (m_hToolTip != nullptr) ::DestroyWindow(m_hToolTip);
    m_attached.clear();
    for (int i = 0; const wchar_t* key = m_images.GetKeyAt(i); ++i)
        delete static_cast<SkinUI::ImageEntry*>(m_images.Find(key));
    m_images.Resize(0);
    m_buttons.clear();
    m_loadedButtons.clear();
}

LRESULT CFrameView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (const MessageHandler& entry : kHandlers) {
        if (entry.message != message) continue;
        LRESULT result = 0;
        if ((this->*entry.handler)(wParam, lParam, result)) return result;
        break;
    }
    return CIrregularWindow::HandleMessage(message, wParam, lParam);
}

// ---- attached windows -------------------------------------------------------------------------

bool CFrameView::AttachWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd)) return false;
    wchar_t path[MAX_PATH] = {};
    int x = 0, y = 0;
    if (::PathCombineW(path, m_baseDirectory.c_str(), L"skin\\Display.ini") != nullptr) {
        x = static_cast<int>(::GetPrivateProfileIntW(L"Display", L"LoginWindowOffset_X", 0, path));
        y = static_cast<int>(::GetPrivateProfileIntW(L"Display", L"LoginWindowOffset_Y", 0, path));
    }
    m_attached.push_back(AttachedWindow{hWnd, x, y, 1});
    return true;
}

void CFrameView::PostToAttached(UINT message, WPARAM wParam, LPARAM lParam) const
{
    for (const AttachedWindow& window : m_attached) ::PostMessageW(window.hWnd, message, wParam, lParam);
}

// The frame's first window is made while the base part is constructed and so sees the base's
// handling; this takes effect for a window that Create makes afterwards.
bool CFrameView::OnCreate(WPARAM, LPARAM, LRESULT& result)
{
    const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~kNoCaptionParts) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    result = 0;
    return false;
}

bool CFrameView::OnFrameMoved(WPARAM, LPARAM, LRESULT& result)
{
    RECT frame{};
    ::GetWindowRect(m_hWnd, &frame);
    for (const AttachedWindow& window : m_attached) {
        // A window that is not shown yet is only placed: activating it (as Wine does for any
        // window a plain SetWindowPos moves) would pass the activation back and forth between
        // it and the frame that is being shown.
        const UINT activation = ::IsWindowVisible(window.hWnd) ? 0 : SWP_NOACTIVATE;
        ::SetWindowPos(window.hWnd, nullptr, frame.left + window.x, frame.top + window.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | activation);
    }
    result = 0;
    return true;
}

void CFrameView::ShowAttached() const
{
    RECT frame{};
    ::GetWindowRect(m_hWnd, &frame);
    // Right above the frame, not above every window: the frame itself may lie under others.
    // The stacking is always given, so that a display server that keeps its own (X under Wine)
    // learns it too. Moving a window never changes its stacking; only showing it again does.
    for (const AttachedWindow& window : m_attached) {
        HWND above = ::GetWindow(m_hWnd, GW_HWNDPREV);
        if (above == window.hWnd)
            above = ::GetWindow(window.hWnd, GW_HWNDPREV);
        ::SetWindowPos(window.hWnd, above != nullptr ? above : HWND_TOP, frame.left + window.x,
                       frame.top + window.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void CFrameView::ShowAttachedLater()
{
    if (m_showPending || m_attached.empty())
        return;
    m_showPending = ::PostMessageW(m_hWnd, kShowAttachedMessage, 0, 0) != FALSE;
}

bool CFrameView::OnShowAttached(WPARAM, LPARAM, LRESULT& result)
{
    m_showPending = false;
    result = 0;
    if (!::IsWindowVisible(m_hWnd) || ::IsIconic(m_hWnd))
        return true;
    // Whatever the system showed again with the frame, the tooltip of the button that
    // minimised it stays hidden until the pointer hovers a button again.
    HideToolTip();
    Redraw();
    ShowAttached();
    return true;
}

void CFrameView::HideAttached() const
{
    for (const AttachedWindow& window : m_attached)
        ::SetWindowPos(window.hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

// Shown or hidden: the attached windows follow. The size and move reports come from the default
// handling afterwards.
bool CFrameView::OnWindowPosChanged(WPARAM, LPARAM lParam, LRESULT&)
{
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (pos != nullptr && (pos->flags & SWP_SHOWWINDOW) != 0)
        ShowAttachedLater();
    else if (pos != nullptr && (pos->flags & SWP_HIDEWINDOW) != 0)
        PutAway();
    return false;
}

void CFrameView::PutAway()
{
    HideAttached();
    HideToolTip();
    for (FrameButton* button : m_buttons) button->SetState(FrameButton::kNormal);
}

bool CFrameView::OnSize(WPARAM wParam, LPARAM, LRESULT&)
{
    if (wParam == SIZE_MINIMIZED) {
        m_minimised = true;
        PutAway();
    } else if (m_minimised) {
        m_minimised = false;
        ShowAttachedLater();
    }
    return false;
}

HWND CFrameView::ActivationHeir() const
{
    for (const AttachedWindow& window : m_attached) {
        if (::IsWindowVisible(window.hWnd) && ::IsWindowEnabled(window.hWnd))
            return window.hWnd;
    }
    return nullptr;
}

// The frame never keeps the activation while a window it carries shows: the default handling
// would give the frame the keyboard focus, and a display server that lifts the window with the
// focus above all others (Wine's X11 driver does so with its unmanaged windows, whatever the
// Win32 order says) would then cover the carried windows with the frame's picture. Nothing would
// put them back: in the Win32 order they still lie above the frame. Activated in its place, the
// heir takes the focus as after any other switch, and the frame stays below it.
bool CFrameView::OnActivate(WPARAM wParam, LPARAM, LRESULT& result)
{
    if (LOWORD(wParam) == WA_INACTIVE || HIWORD(wParam) != 0)
        return false;
    HWND heir = ActivationHeir();
    if (heir == nullptr)
        return false;
    ::SetActiveWindow(heir);
    result = 0;
    return true;
}

bool CFrameView::OnActivateApp(WPARAM wParam, LPARAM, LRESULT& result)
{
    if (wParam != TRUE) return false;
    if (::IsIconic(m_hWnd)) ::ShowWindow(m_hWnd, SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
    result = 0;
    return true;
}

bool CFrameView::OnSysCommand(WPARAM wParam, LPARAM, LRESULT& result)
{
    // Put away before the system minimises the frame: owned windows that the system hides itself
    // it also shows again on a menu restore, before the frame is back and so under it.
    if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        PutAway();
        return false;
    }
    // The attached login dialog decides whether the frame closes.
    if ((wParam & 0xFFF0) != SC_CLOSE || m_attached.empty()) return false;
    PostToAttached(kCloseRequest, 0, 0);
    result = 0;
    return true;
}

bool CFrameView::OnKeyDown(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (m_attached.empty()) return false;
    PostToAttached(WM_KEYDOWN, wParam, lParam);
    result = 0;
    return true;
}

// ---- buttons ----------------------------------------------------------------------------------

POINT CFrameView::CursorInWindow() const
{
    POINT pt{};
    ::GetCursorPos(&pt);
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    return POINT{pt.x - rc.left, pt.y - rc.top};
}

FrameButton* CFrameView::ButtonAt(POINT pt) const
{
    for (FrameButton* button : m_buttons) {
        if (button->HitTest(pt)) return button;
    }
    return nullptr;
}

bool CFrameView::OnMouseMove(WPARAM, LPARAM, LRESULT& result)
{
    if (!m_tracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, kHoverMs};
        ::TrackMouseEvent(&track);
        m_tracking = true;
    }
    const POINT pt = CursorInWindow();
    bool overButton = false;
    for (FrameButton* button : m_buttons) {
        const bool over = button->HitTest(pt);
        overButton = overButton || over;
        button->SetState(over ? FrameButton::kHot : FrameButton::kNormal);
    }
    Redraw();
    if (overButton) {
        SetCursorShape(IDC_HAND);
    } else {
        HideToolTip();
        SetCursorShape(IDC_ARROW);
    }
    result = 0;
    return true;
}

bool CFrameView::OnLeftButtonDown(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    FrameButton* button = ButtonAt(CursorInWindow());
    if (button == nullptr) {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, kDragByCaption, 0);
        return true;
    }
    button->SetState(FrameButton::kPushed);
    Redraw();
    FireClick(button, wParam, lParam);  // last: a listener may destroy the frame
    return true;
}

void CFrameView::FireClick(FrameButton* button, WPARAM wParam, LPARAM lParam)
{
    const mjz::AliveToken::Life life = m_alive.GetLife();
    ButtonEvent event;
    event.button = button;
    event.wParam = wParam;
    event.lParam = lParam;
    // A snapshot: listeners may add others while they run.
    const SkinUI::CUIPtrArray listeners(m_listeners);
    for (int i = 0; i < listeners.GetSize(); ++i) {
        static_cast<IButtonEvent*>(listeners[i])->OnButtonEvent(event);
        if (life.Ended()) return;
    }
}

bool CFrameView::OnMouseHover(WPARAM, LPARAM, LRESULT& result)
{
    m_tracking = false;
    result = 0;
    FrameButton* button = ButtonAt(CursorInWindow());
    if (button == nullptr) return true;
    button->SetState(FrameButton::kHot);
    Redraw();
    if (!button->toolTip.empty()) ShowToolTip(button);
    SetCursorShape(IDC_HAND);
    return true;
}

bool CFrameView::OnMouseLeave(WPARAM, LPARAM, LRESULT& result)
{
    m_tracking = false;
    for (FrameButton* button : m_buttons) button->SetState(FrameButton::kNormal);
    Redraw();
    HideToolTip();
    result = 0;
    return true;
}

// ---- tooltip ----------------------------------------------------------------------------------

void CFrameView::ShowToolTip(FrameButton* button)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_toolInfo = {};
    m_toolInfo.cbSize = ToolInfoSize();
    m_toolInfo.uFlags = TTF_IDISHWND;
    m_toolInfo.hwnd = m_hWnd;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    m_toolInfo.hinst = instance;
    m_toolInfo.lpszText = const_cast<wchar_t*>(button->toolTip.c_str());
    if (m_hToolTip == nullptr) {
        SkinUI::CCommonControls::Init(ICC_WIN95_CLASSES);  // registers the tooltip class
        m_hToolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                       nullptr, instance, nullptr);
        if (m_hToolTip == nullptr) return;
        ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    }
    ::SendMessageW(m_hToolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    ::SendMessageW(m_hToolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
}

void CFrameView::HideToolTip()
{
    if (m_hToolTip == nullptr)
        return;
    ::SendMessageW(m_hToolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
    // Shown again by the system with its owner, the tooltip no longer tracks: hidden directly.
    if (::IsWindowVisible(m_hToolTip))
        ::SetWindowPos(m_hToolTip, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

// ---- painting ---------------------------------------------------------------------------------

const SkinUI::ImageEntry* CFrameView::CachedImage(const std::wstring& path)
{
    if (path.empty()) return nullptr;
    if (auto* entry = static_cast<SkinUI::ImageEntry*>(m_images.Find(path.c_str()))) return entry;
    std::unique_ptr<SkinUI::ImageEntry> loaded = LoadBmpFileToDib(path);
    if (loaded == nullptr || !m_images.Insert(path.c_str(), loaded.get())) return nullptr;
    return loaded.release();
}

void CFrameView::Redraw()
{
    bool dirty = false;
    for (const FrameButton* button : m_buttons) dirty = dirty || button->dirty;
    int width = 0, height = 0;
    if (!dirty || !BackgroundSize(width, height)) return;

    ShowLayeredPicture(width, height, [&](Gdiplus::Graphics& graphics) {
        graphics.DrawImage(m_background, Gdiplus::Rect(0, 0, width, height), 0, 0, width, height,
                           Gdiplus::UnitPixel);
        for (const FrameButton* button : m_buttons) {
            const SkinUI::ImageEntry* entry = CachedImage(button->image[button->state]);
            if (entry == nullptr) continue;  // a missing picture: the button is not drawn
            const std::unique_ptr<Gdiplus::Bitmap> sprite = HBitmapToGdiplusBitmap(entry->hBitmap);
            if (sprite == nullptr) continue;
            const RECT& src = button->CurrentSource();
            const long long sw = static_cast<long long>(src.right) - src.left;
            const long long sh = static_cast<long long>(src.bottom) - src.top;
            if (sw <= 0 || sh <= 0 || sw > width || sh > height) continue;  // no sprite fits there
            graphics.DrawImage(sprite.get(), Gdiplus::Rect(button->x, button->y, static_cast<INT>(sw), static_cast<INT>(sh)),
                               src.left, src.top, static_cast<INT>(sw), static_cast<INT>(sh), Gdiplus::UnitPixel);
        }
    });
    for (FrameButton* button : m_buttons) button->dirty = false;
}
