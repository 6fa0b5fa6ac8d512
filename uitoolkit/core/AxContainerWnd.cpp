#include "uitoolkit/core/AxContainerWnd.h"

#include <new>
#include <string>

#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

// The window goes first, closing the control on the way (a derived host destroys it in its own
// destructor already, while its message handling still exists).
CAxContainerWnd::~CAxContainerWnd()
{
    Destroy();
    if (m_site)
        m_site->ReleaseAll();
}

bool CAxContainerWnd::RegisterContainerClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = CWindowHostUI::GetInstanceHandle();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CAxContainerWnd::CreateContainer(HWND parent, const wchar_t* text, DWORD style, DWORD exStyle, const RECT& rc)
{
    if (!RegisterContainerClass())
        return nullptr;
    return CreateWithRect(parent, text != nullptr ? text : L"", style, exStyle, rc);
}

HRESULT CAxContainerWnd::CreateControl(const wchar_t* name)
{
    if (m_hWnd == nullptr)
        return E_UNEXPECTED;
    if (m_site)
        return E_FAIL;
    m_site = MakeSite();
    if (!m_site)
        return E_OUTOFMEMORY;
    return m_site->CreateControl(name, m_hWnd);
}

HRESULT CAxContainerWnd::QueryControl(REFIID riid, void** out)
{
    if (!m_site) {
        if (out != nullptr)
            *out = nullptr;
        return out != nullptr ? E_PENDING : E_POINTER;
    }
    return m_site->QueryControl(riid, out);
}

ComPtr<CAxClientSite> CAxContainerWnd::MakeSite()
{
    return ComPtr<CAxClientSite>::Adopt(new (std::nothrow) CAxClientSite());
}

LRESULT CAxContainerWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        // A window created with a text hosts that control, or is not created at all.
        const int length = ::GetWindowTextLengthW(m_hWnd);
        if (length > 0) {
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), length + 1)));
            if (FAILED(CreateControl(text.c_str())))
                return -1;
        }
        break;
    }
    case WM_SIZE:
        if (m_site) {
            RECT rc = {0, 0, LOWORD(lParam), HIWORD(lParam)};
            m_site->Resize(rc);
        }
        break;
    case WM_DESTROY:
        // The control closes while its own windows still exist.
        if (m_site)
            m_site->ReleaseAll();
        break;
    default:
        break;
    }
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CAxContainerWnd::OnWindowDestroyed(HWND hWnd)
{
    if (m_site) {
        m_site->ReleaseAll();
        m_site = nullptr;
    }
    CWindowWnd::OnWindowDestroyed(hWnd);
    if (m_ownedByWindow)
        delete this;
}

// A window created by class name alone brings no object: it gets one that the window owns.
LRESULT CALLBACK CAxContainerWnd::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (create->lpCreateParams == nullptr) {
            auto* self = new (std::nothrow) CAxContainerWnd();
            if (self == nullptr)
                return FALSE;
            self->m_ownedByWindow = true;
            create->lpCreateParams = static_cast<CWindowWnd*>(self);
        }
    }
    return CWindowWnd::ClassWndProc(hWnd, message, wParam, lParam);
}

} // namespace SkinUI
