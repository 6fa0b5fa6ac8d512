#include "kit/HostWindow.h"

#include "kit/Pump.h"

namespace kit {

HostWindow::~HostWindow()
{
    // Destroy while still a HostWindow so that OnWindowDestroyed releases the host.
    Destroy();
}

bool HostWindow::Open(SkinUI::CControlUI* root, int width, int height, HWND owner, DWORD style)
{
    m_host = std::make_unique<SkinUI::CWindowHostUI>();
    m_painted = false;
    // The pointer waits outside: a window appearing under it would get stray moves.
    ::SetCursorPos(kParkX, kParkY);
    if (Create(owner, L"kit", style, WS_EX_TOOLWINDOW, kScreenX, kScreenY, width, height) == nullptr) {
        m_host.reset();
        delete root;
        return false;
    }
    if (root != nullptr && !m_host->AttachRoot(root))
        return false;
    return true;
}

bool HostWindow::Layout(int width, int height)
{
    if (!IsOpen())
        return false;
    if (width > 0 || height > 0)
        ResizeClient(width, height);
    m_painted = false;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    const bool ok = PumpUntil([this] { return m_painted || !IsOpen(); }, 2000);
    Drain();
    return ok && IsOpen();
}

LRESULT HostWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE && m_host)
        m_host->Init(m_hWnd);
    if (message == WM_PAINT)
        m_painted = true;
    if (m_host) {
        LRESULT result = 0;
        // A callback may destroy the window and with it the host; the handler then returns at once.
        if (m_host->MessageHandler(message, wParam, lParam, result))
            return result;
    }
    if (onMessage) {
        LRESULT result = 0;
        if (onMessage(message, wParam, lParam, result))
            return result;
    }
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void HostWindow::OnWindowDestroyed(HWND hWnd)
{
    ++m_destroyed;
    CWindowWnd::OnWindowDestroyed(hWnd);
    m_host.reset();
}

} // namespace kit
