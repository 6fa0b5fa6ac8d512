#include "uitoolkit/core/WindowWnd.h"

#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

constexpr wchar_t kObjectProperty[] = L"WndX";

// The owner chain, direct owner first. A growable list; a (broken) cyclic chain ends at the
// first repeat.
void CollectOwners(HWND hWnd, CUIPtrArray& owners)
{
    for (HWND owner = ::GetWindow(hWnd, GW_OWNER); owner != nullptr; owner = ::GetWindow(owner, GW_OWNER)) {
        if (owner == hWnd || owners.Find(owner) >= 0 || !owners.Add(owner))
            break;
    }
}

void ShowAndRestore(HWND owner)
{
    if (!::IsWindowVisible(owner))
        ::ShowWindow(owner, SW_SHOW);
    if (::IsIconic(owner))
        ::ShowWindow(owner, SW_RESTORE);
}

HINSTANCE ToolkitInstance()
{
    return CWindowHostUI::GetInstanceHandle();
}

} // namespace

CWindowWnd::~CWindowWnd()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void CWindowWnd::SyncOwnerWindows(UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    if (message != WM_CLOSE && message != WM_SHOWWINDOW)
        return;
    CUIPtrArray owners;
    CollectOwners(m_hWnd, owners);
    for (int i = owners.GetSize() - 1; i >= 0; --i) {
        HWND owner = static_cast<HWND>(owners[i]);
        ShowAndRestore(owner);
        if (message == WM_CLOSE)
            ::EnableWindow(owner, TRUE);
        else
            ::EnableWindow(owner, wParam ? FALSE : TRUE);
    }
    if (message == WM_CLOSE && !owners.IsEmpty())
        ::SetForegroundWindow(static_cast<HWND>(owners[0]));
}

LRESULT CWindowWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_ownerHook)
        SyncOwnerWindows(message, wParam, lParam);
    return ::CallWindowProcW(m_oldWndProc, m_hWnd, message, wParam, lParam);
}

void CWindowWnd::OnWindowDestroyed(HWND /*hWnd*/)
{
    m_hWnd = nullptr;
}

bool CWindowWnd::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = ClassWndProc;
    wc.hInstance = ToolkitInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClass();
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    const wchar_t* base = GetSuperclassBase();
    if (!::GetClassInfoExW(nullptr, base, &wc) && !::GetClassInfoExW(ToolkitInstance(), base, &wc))
        return false;
    m_oldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = SuperclassWndProc;
    wc.hInstance = ToolkitInstance();
    wc.lpszClassName = GetWindowClass();
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                        int width, int height, HMENU menu)
{
    const bool registered = GetSuperclassBase() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered)
        return nullptr;
    HWND hWnd = ::CreateWindowExW(exStyle, GetWindowClass(), title, style, x, y, width, height, parent,
                                  menu, ToolkitInstance(), this);
    // A window destroyed during its own creation comes back null; the object is then unbound.
    if (hWnd != nullptr)
        m_hWnd = hWnd;
    return hWnd;
}

HWND CWindowWnd::CreateWithRect(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle,
                                const RECT& rc, HMENU menu)
{
    return Create(parent, title, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                  menu);
}

void CWindowWnd::Destroy()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus)
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return;
    ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal()
{
    // Locals only from here on: the object may be deleted while its window is destroyed.
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr || !::IsWindow(hWnd))
        return 0;

    CUIPtrArray owners;
    CollectOwners(hWnd, owners);
    for (int i = owners.GetSize() - 1; i >= 0; --i) {
        HWND owner = static_cast<HWND>(owners[i]);
        ShowAndRestore(owner);
        ::EnableWindow(owner, FALSE);
    }

    CenterWindow();
    ::ShowWindow(hWnd, SW_SHOWNORMAL);
    ::BringWindowToTop(hWnd);

    UINT result = 0;
    bool quit = false;
    int quitCode = 0;
    MSG msg = {};
    for (;;) {
        if (!::IsWindow(hWnd))
            break;  // destroyed by Alt+F4, the system menu or a handler: result 0
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == hWnd) {
            result = static_cast<UINT>(msg.lParam);
            break;
        }
        if (!CWindowHostUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    for (int i = owners.GetSize() - 1; i >= 0; --i) {
        HWND owner = static_cast<HWND>(owners[i]);
        if (::IsWindow(owner))
            ::EnableWindow(owner, TRUE);
    }
    if (!owners.IsEmpty() && ::IsWindow(static_cast<HWND>(owners[0])))
        ::SetForegroundWindow(static_cast<HWND>(owners[0]));

    if (::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
    if (quit)
        ::PostQuitMessage(quitCode);
    return result;
}

void CWindowWnd::Close(UINT result)
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, static_cast<LPARAM>(result));
}

void CWindowWnd::CenterWindow()
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return;
    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);
    const int width = rcWindow.right - rcWindow.left;
    const int height = rcWindow.bottom - rcWindow.top;

    RECT rcArea = {};
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    bool useOwner = false;
    if (owner != nullptr) {
        MONITORINFOEXW info = {};
        info.cbSize = sizeof(info);
        HMONITOR monitor = ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
        if (::GetMonitorInfoW(monitor, &info)) {
            rcArea = info.rcWork;
        }
        useOwner = ::IsWindowVisible(owner) && !::IsIconic(owner);
        DWORD process = 0;
        ::GetWindowThreadProcessId(owner, &process);
        if (useOwner && process != ::GetCurrentProcessId()) {
            // Another process's window on a scaled display reports coordinates we cannot trust.
            HDC hDC = ::CreateDCW(info.szDevice[0] ? info.szDevice : L"DISPLAY", nullptr, nullptr, nullptr);
            if (hDC != nullptr) {
                if (::GetDeviceCaps(hDC, HORZRES) < ::GetDeviceCaps(hDC, DESKTOPHORZRES) ||
                    ::GetDeviceCaps(hDC, LOGPIXELSX) >= 97)
                    useOwner = false;
                ::DeleteDC(hDC);
            }
        }
    }
    if (::IsRectEmpty(&rcArea))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcArea, 0);

    RECT rcCenter = rcArea;
    if (useOwner)
        ::GetWindowRect(owner, &rcCenter);

    int x = (rcCenter.left + rcCenter.right) / 2 - width / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - height / 2;
    if (x < rcArea.left)
        x = rcArea.left;
    else if (x + width > rcArea.right)
        x = rcArea.right - width;
    if (y < rcArea.top)
        y = rcArea.top;
    else if (y + height > rcArea.bottom)
        y = rcArea.bottom - height;
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::ResizeClient(int width, int height)
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return;
    RECT rc = {};
    if (!::GetClientRect(m_hWnd, &rc))
        return;
    if (width != -1)
        rc.right = width;
    if (height != -1)
        rc.bottom = height;
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    const BOOL hasMenu = (style & WS_CHILD) ? FALSE : (::GetMenu(m_hWnd) != nullptr);
    if (!::AdjustWindowRectEx(&rc, style, hasMenu, exStyle))
        return;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWindowWnd::Unsubclass()
{
    if (m_hWnd == nullptr || !m_subclassed)
        return;
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldWndProc));
    m_oldWndProc = ::DefWindowProcW;
    m_subclassed = false;
}

// WM_NCDESTROY: the saved procedure first, then the object lets go of the window and is told.
LRESULT CWindowWnd::Unbind(CWindowWnd* self, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                           bool superclassed)
{
    const LRESULT result = ::CallWindowProcW(self->m_oldWndProc, hWnd, message, wParam, lParam);
    if (!superclassed)
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    if (self->m_subclassed)
        self->Unsubclass();
    if (superclassed)
        ::RemovePropW(hWnd, kObjectProperty);
    self->m_hWnd = nullptr;
    self->OnWindowDestroyed(hWnd);  // may delete the object
    return result;
}

// Both window procedures: the object is bound at WM_NCCREATE (in the user data for an own class,
// in a property for a superclass, whose base procedure may use the user data itself), found
// again for every later message, and let go at WM_NCDESTROY.
LRESULT CWindowWnd::Route(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool superclassed)
{
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(create->lpCreateParams);
        if (self != nullptr) {
            self->m_hWnd = hWnd;
            if (superclassed)
                ::SetPropW(hWnd, kObjectProperty, self);
            else
                ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = superclassed ? static_cast<CWindowWnd*>(::GetPropW(hWnd, kObjectProperty))
                            : reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (message == WM_NCDESTROY && self != nullptr)
            return Unbind(self, hWnd, message, wParam, lParam, superclassed);
    }
    if (self != nullptr)
        return self->ProcessMessage(message, wParam, lParam);
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::ClassWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Route(hWnd, message, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::SuperclassWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Route(hWnd, message, wParam, lParam, true);
}

} // namespace SkinUI
