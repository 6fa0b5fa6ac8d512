#include "uitoolkit/controls/custom/EditExUI.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "uitoolkit/controls/EditWnd.h"
#include "uitoolkit/controls/custom/EditExWnd.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

int ParseIntValue(const wchar_t* v) { return static_cast<int>(ParseInt(v)); }

const AttributeSetterOf<CEditExUI> kEditExAttributes[] = {
    {L"readonly", [](CEditExUI& e, const wchar_t* v) { e.SetReadOnly(ParseBool(v)); }},
    {L"password", [](CEditExUI& e, const wchar_t* v) { e.SetPasswordMode(ParseBool(v)); }},
    {L"maxchar", [](CEditExUI& e, const wchar_t* v) { e.SetMaxChar(static_cast<UINT>(ParseInt(v))); }},
    {L"normalimage", [](CEditExUI& e, const wchar_t* v) { e.SetNormalImage(v); }},
    {L"hotimage", [](CEditExUI& e, const wchar_t* v) { e.SetHotImage(v); }},
    {L"focusedimage", [](CEditExUI& e, const wchar_t* v) { e.SetFocusedImage(v); }},
    {L"disabledimage", [](CEditExUI& e, const wchar_t* v) { e.SetDisabledImage(v); }},
    {L"nativebkcolor", [](CEditExUI& e, const wchar_t* v) { e.SetNativeBkColor(ParseColor(v)); }},
    {L"autosize", [](CEditExUI& e, const wchar_t* v) { e.SetAutoSize(ParseBool(v)); }},
    {L"activateminwidth", [](CEditExUI& e, const wchar_t* v) { e.SetActivateMinWidth(ParseIntValue(v)); }},
    {L"activateminheight", [](CEditExUI& e, const wchar_t* v) { e.SetActivateMinHeight(ParseIntValue(v)); }},
    {L"activatemaxwidth", [](CEditExUI& e, const wchar_t* v) { e.SetActivateMaxWidth(ParseIntValue(v)); }},
    {L"activatemaxheight", [](CEditExUI& e, const wchar_t* v) { e.SetActivateMaxHeight(ParseIntValue(v)); }},
};

} // namespace

CEditExUI::CEditExUI() : m_field(*this, *this)
{
    m_rcTextPadding = {4, 3, 4, 3};
    m_bkColor1 = 0xFFFFFFFF;
}

CEditExUI::~CEditExUI()
{
    // The native edit must not reach a dead owner: it is detached and goes with the control.
    if (CEditExWnd* wnd = m_editWnd) {
        m_editWnd = nullptr;
        wnd->Detach();
        wnd->Destroy();
    }
}

const wchar_t* CEditExUI::GetClass() const { return L"EditExUI"; }

void* CEditExUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"EditEx") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CEditExUI::GetBehaviourFlags() const
{
    return IsEnabled() ? UINT{kBehaviourTabStop | kBehaviourSetCursor} : 0u;
}

HWND CEditExUI::GetNativeWindow() const { return m_editWnd != nullptr ? m_editWnd->GetHWND() : nullptr; }

RECT CEditExUI::GetEditRect() const { return CEditWnd::FitToFontHeight(GetTextRect(), GetFontHeight()); }

void CEditExUI::SetText(const wchar_t* text)
{
    m_text = text;
    AutoSize();
    Invalidate();
    // Last: the native edit reports the change as "textchanged", whose listener may delete us.
    if (m_editWnd != nullptr)
        ::SetWindowTextW(m_editWnd->GetHWND(), m_text);
}

void CEditExUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    if (m_editWnd == nullptr)
        return;
    const RECT edit = GetEditRect();
    ::SetWindowPos(m_editWnd->GetHWND(), nullptr, edit.left, edit.top, edit.right - edit.left,
                   edit.bottom - edit.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditExUI::CloseNativeEditWhenHidden()
{
    if (!IsVisible() && m_editWnd != nullptr && m_host != nullptr)
        m_host->SetFocus(nullptr);
}

void CEditExUI::SetVisible(bool visible)
{
    Watch watch(this);
    CControlUI::SetVisible(visible);
    if (!watch.Lost())
        CloseNativeEditWhenHidden();
}

void CEditExUI::SetInheritedVisible(bool visible)
{
    Watch watch(this);
    CControlUI::SetInheritedVisible(visible);
    if (!watch.Lost())
        CloseNativeEditWhenHidden();
}

void CEditExUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    m_field.OnEnabledChanged();
}

void CEditExUI::OpenNativeWindow()
{
    if (m_editWnd != nullptr || m_opening)
        return;
    // 1. Sized as while editing, and announced before the window exists.
    m_opening = true;
    AutoSize();
    Watch watch(this);
    if (m_host != nullptr)
        m_host->SendNotify(this, L"editwndcreate");
    if (watch.Lost())
        return;
    // 2. The window itself; without one the field sizes back to its text.
    auto* wnd = new CEditExWnd();
    const bool opened = wnd->Init(this);
    m_opening = false;
    if (opened)
        m_editWnd = wnd;
    else
        AutoSize();
}

void CEditExUI::OnNativeTextChanged(const wchar_t* text)
{
    m_text = text;
    if (m_host != nullptr)
        m_host->SendNotify(this, L"textchanged");
}

void CEditExUI::OnNativeClosed()
{
    m_editWnd = nullptr;
    AutoSize();
    if (m_host != nullptr)
        m_host->SendNotify(this, L"editwndclose");
}

void CEditExUI::AutoSize()
{
    if (!m_autoSize)
        return;
    int width = m_activateMax.cx;
    if (m_editWnd == nullptr && !m_opening) {
        if (m_host == nullptr || m_host->GetPaintDC() == nullptr)
            return;
        const std::wstring shown = CEditFieldBehaviour::ShownText(m_text, m_password, m_passwordChar);
        RECT rc = GetTextRect();
        CRenderKit::DrawText(m_host->GetPaintDC(), m_host, rc, shown.c_str(), 0, m_font,
                             DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const int wanted = rc.right - rc.left + m_rcTextPadding.left + m_rcTextPadding.right;
        width = std::max<int>(m_minSize.cx, std::min<int>(m_maxSize.cx, wanted));
    }
    if (width != m_fixedSize.cx)
        SetFixedWidth(width);
}

void CEditExUI::SetActivateValue(LONG& field, int value)
{
    if (value < 0 || value == field)
        return;
    field = value;
    RequestParentLayout();
}

void CEditExUI::HandleEvent(ControlEvent& event)
{
    if (!m_field.HandleEvent(event))
        CLabelUI::HandleEvent(event);
}

void CEditExUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kEditExAttributes, *this, name, value))
        CLabelUI::SetAttribute(name, value);
}

void CEditExUI::SetMaxChar(UINT maxChar)
{
    m_maxChar = maxChar;
    if (m_editWnd != nullptr)
        ::SendMessageW(m_editWnd->GetHWND(), EM_LIMITTEXT, m_maxChar, 0);
}

void CEditExUI::SetReadOnly(bool readOnly)
{
    if (m_editWnd != nullptr)
        ::SendMessageW(m_editWnd->GetHWND(), EM_SETREADONLY, readOnly, 0);
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    Invalidate();
}

void CEditExUI::SetPasswordMode(bool password)
{
    if (m_password == password)
        return;
    m_password = password;
    // An open native edit masks (or shows) what was typed at once.
    if (m_editWnd != nullptr) {
        ::SendMessageW(m_editWnd->GetHWND(), EM_SETPASSWORDCHAR, password ? m_passwordChar : 0, 0);
        ::InvalidateRect(m_editWnd->GetHWND(), nullptr, TRUE);
    }
    AutoSize();
    Invalidate();
}

SIZE CEditExUI::GetDesiredSize(SIZE available) { return DesiredSizeWithMargin(available, 6); }

void CEditExUI::PaintStateImage(HDC hDC) { m_field.PaintStateImage(hDC); }

void CEditExUI::PaintText(HDC hDC)
{
    if (m_text.IsEmpty() || !ResolveDefaultColors())
        return;
    const std::wstring shown = CEditFieldBehaviour::ShownText(m_text, m_password, m_passwordChar);
    RECT rc = GetTextRect();
    CRenderKit::DrawText(hDC, m_host, rc, shown.c_str(), GetStateTextColor(), m_font, m_textStyle | DT_SINGLELINE);
}

} // namespace SkinUI
