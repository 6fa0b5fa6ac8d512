#include "login/windows/SkinWindowWrapper.h"

#include <windowsx.h>

#include <cwchar>
#include <memory>

#include "login/windows/RoundCorners.h"
#include "uitoolkit/core/ControlEvent.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/DialogBuilder.h"

namespace {

// Controls that stay clickable inside the caption band; every other control there drags.
bool IsClientInCaption(const SkinUI::CControlUI* control)
{
    const wchar_t* cls = control->GetClass();
    return cls != nullptr && (std::wcscmp(cls, L"ButtonUI") == 0 || std::wcscmp(cls, L"EditExUI") == 0);
}

} // namespace

CSkinWindowWrapper::~CSkinWindowWrapper()
{
    // Deleted while its window still exists: the window goes first, while the host is whole,
    // and its final message must not delete the object again.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        m_inDestructor = true;
        ::DestroyWindow(m_hWnd);
    }
}

LRESULT CSkinWindowWrapper::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Any step may destroy the window and delete this object with its host: once the host's
    // token has expired nothing of the object is touched.
    const mjz::AliveToken::Life life = m_host.GetAliveToken();
    bool handled = true;
    LRESULT result = 0;
    switch (message) {
    case WM_CREATE:
        result = OnCreate(message, wParam, lParam, handled);
        break;
    case WM_SIZE:
        result = OnSize(message, wParam, lParam, handled);
        break;
    case WM_NCHITTEST:
        result = OnNcHitTest(message, wParam, lParam, handled);
        break;
    case WM_NCACTIVATE:
        result = OnNcActivate(message, wParam, lParam, handled);
        break;
    case WM_TIMER:
        if (m_host.IsControlTimer(static_cast<UINT>(wParam)))
            handled = false;  // a control's timer: the host runs it
        else
            result = OnTimer(message, wParam, lParam, handled);
        break;
    default:
        handled = false;
        break;
    }
    if (handled || life.Ended())
        return result;

    handled = false;
    result = HandleCustomMessage(message, wParam, lParam, handled);
    if (handled || life.Ended())
        return result;

    LRESULT hostResult = 0;
    if (m_host.MessageHandler(message, wParam, lParam, hostResult) || life.Ended())
        return hostResult;
    return CShadowWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CSkinWindowWrapper::UnhookFromHost()
{
    m_host.RemovePreFilter(this);
    m_host.RemoveNotifyListener(this);
}

void CSkinWindowWrapper::OnWindowDestroyed(HWND /*hWnd*/)
{
    UnhookFromHost();
    if (!m_inDestructor)
        delete this;
}

LRESULT CSkinWindowWrapper::HandleCustomMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                                bool& /*handled*/)
{
    return 0;
}

LRESULT CSkinWindowWrapper::MessageHandler(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                           bool& /*handled*/)
{
    return 0;
}

LRESULT CSkinWindowWrapper::OnCreate(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, bool& /*handled*/)
{
    const mjz::AliveToken::Life life = m_host.GetAliveToken();
    // 1. The skin draws its own caption.
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, style & ~static_cast<LONG>(WS_CAPTION));

    // 2. Bind the host; this object sees the queued messages first.
    m_host.Init(m_hWnd);
    m_host.AddPreFilter(this);

    // 3. Build the skin with this object as the factory of the program's own controls.
    bool attached = false;
    {
        SkinUI::CDialogBuilder builder;
        SkinUI::CControlUI* root = builder.Create(m_skin, m_skinType, this, &m_host, nullptr);
        // 4. Attach it; the tree's init delegates run here.
        attached = root != nullptr && m_host.AttachRoot(root);
        if (life.Ended())
            return -1;
        if (attached) {
            m_host.AddNotifyListener(this);
            InitWindow();
        }
    }
    // 5. Without a tree the window is not made.
    return attached ? 0 : -1;
}

LRESULT CSkinWindowWrapper::OnNcActivate(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/, bool& handled)
{
    if (::IsIconic(m_hWnd))
        handled = false;
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT CSkinWindowWrapper::OnNcHitTest(UINT /*message*/, WPARAM /*wParam*/, LPARAM lParam, bool& /*handled*/)
{
    // 1. The point in client coordinates; the caption's left and right are margins.
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &pt);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const RECT& caption = m_host.GetCaptionRect();

    // 2. Outside the caption band.
    if (pt.x < client.left + caption.left || pt.x >= client.right - caption.right || pt.y < caption.top ||
        pt.y >= caption.bottom)
        return HTCLIENT;

    // 3. Inside it, by the control under the point.
    const SkinUI::CControlUI* control = m_host.FindControlAtPoint(pt);
    if (control == nullptr || IsClientInCaption(control))
        return HTCLIENT;
    return HTCAPTION;
}

LRESULT CSkinWindowWrapper::OnSize(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, bool& handled)
{
    if (!::IsIconic(m_hWnd))
        ApplyRoundCorners(m_hWnd, m_host.GetRoundCorner());
    // The host lays the tree out for the new size too.
    handled = false;
    return 0;
}

LRESULT CSkinWindowWrapper::OnTimer(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, bool& handled)
{
    handled = false;
    return 0;
}

void CSkinWindowWrapper::PressControl(SkinUI::CControlUI* control)
{
    if (control == nullptr)
        return;
    // Focus changes notify.
    if (!control->Survives([control] { control->SetFocus(); }))
        return;
    const RECT& rc = control->GetPos();
    SkinUI::ControlEvent event;
    event.type = SkinUI::kEventDblClick;
    event.point = {rc.left + (rc.right - rc.left) / 2, rc.top + (rc.bottom - rc.top) / 2};
    control->HandleEvent(event);
}
