#include "login/windows/IrregularWindow.h"

#include <clocale>

#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/RenderKit.h"

namespace {

// WS_OVERLAPPEDWINDOW: the class procedure strips its frame parts again at WM_CREATE.
constexpr DWORD kFrameStyle = 0x00CF0000;
// WS_BORDER | WS_DLGFRAME | WS_SYSMENU | WS_THICKFRAME: the picture is the whole window.
constexpr DWORD kNoFrameParts = 0x00CC0000;

} // namespace

CIrregularWindow::CIrregularWindow()
{
    RegisterWindowClass();
    Create(0, kFrameStyle);
    std::setlocale(LC_ALL, "");
}

CIrregularWindow::~CIrregularWindow()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

LRESULT CIrregularWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

void CIrregularWindow::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassW(&wc);
}

bool CIrregularWindow::Create(DWORD exStyle, DWORD style)
{
    HWND hWnd = ::CreateWindowExW(exStyle | WS_EX_LAYERED, kClassName, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, m_hParent, nullptr, ::GetModuleHandleW(nullptr),
                                  this);
    m_hWnd = hWnd;
    return hWnd != nullptr && ::IsWindow(hWnd);
}

bool CIrregularWindow::BackgroundSize(int& width, int& height) const
{
    if (m_background == nullptr) return false;
    const UINT w = m_background->GetWidth(), h = m_background->GetHeight();
    if (w == 0 || h == 0 || w > static_cast<UINT>(SkinUI::CRenderKit::kMaxImageSide) ||
        h > static_cast<UINT>(SkinUI::CRenderKit::kMaxImageSide))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

void CIrregularWindow::Paint()
{
    int width = 0, height = 0;
    if (!BackgroundSize(width, height)) return;
    ShowLayeredPicture(width, height, [&](Gdiplus::Graphics& graphics) {
        graphics.DrawImage(m_background, 0, 0, width, height);
    });
}

bool CIrregularWindow::ShowLayeredPicture(int width, int height, const Composer& compose)
{
    if (m_hWnd == nullptr) return false;
    SkinUI::CWindowDC screen(m_hWnd);
    if (!screen) return false;
    SkinUI::CMemoryDC memory(screen.Get());
    SkinUI::CGdiBitmap picture(::CreateCompatibleBitmap(screen.Get(), width, height));
    if (!memory || !picture) return false;
    SkinUI::CSelectObject select(memory.Get(), picture.Get());
    {
        // The graphics flushes into the bitmap when it goes away, before the window reads it.
        Gdiplus::Graphics graphics(memory.Get());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
        compose(graphics);
    }
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    POINT position{rc.left, rc.top};
    SIZE size{width, height};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::UpdateLayeredWindow(m_hWnd, screen.Get(), &position, &size, memory.Get(), &origin, 0, &blend,
                                 ULW_ALPHA) != FALSE;
}

LRESULT CALLBACK CIrregularWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CIrregularWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        self = static_cast<CIrregularWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self != nullptr) {
            self->m_hWnd = hWnd;
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        break;
    case WM_NCDESTROY: {
        const LRESULT result = ::DefWindowProcW(hWnd, message, wParam, lParam);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        if (self != nullptr) self->m_hWnd = nullptr;
        return result;
    }
    case WM_CREATE:
        ::SetWindowLongPtrW(hWnd, GWL_STYLE, ::GetWindowLongPtrW(hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(kNoFrameParts));
        break;
    default:
        break;
    }
    if (self != nullptr) return self->HandleMessage(message, wParam, lParam);
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}
