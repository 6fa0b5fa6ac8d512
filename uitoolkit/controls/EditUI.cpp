#include "uitoolkit/controls/EditUI.h"

#include <cwchar>
#include <string>

#include "uitoolkit/controls/EditWnd.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<CEditUI> kEditAttributes[] = {
    {L"readonly", [](CEditUI& e, const wchar_t* v) { e.SetReadOnly(ParseBool(v)); }},
    {L"password", [](CEditUI& e, const wchar_t* v) { e.SetPasswordMode(ParseBool(v)); }},
    {L"maxchar", [](CEditUI& e, const wchar_t* v) { e.SetMaxChar(static_cast<UINT>(ParseInt(v))); }},
    {L"normalimage", [](CEditUI& e, const wchar_t* v) { e.SetNormalImage(v); }},
    {L"hotimage", [](CEditUI& e, const wchar_t* v) { e.SetHotImage(v); }},
    {L"focusedimage", [](CEditUI& e, const wchar_t* v) { e.SetFocusedImage(v); }},
    {L"disabledimage", [](CEditUI& e, const wchar_t* v) { e.SetDisabledImage(v); }},
    {L"enablecaption", [](CEditUI& e, const wchar_t* v) { e.SetEnableCaption(ParseBool(v)); }},
    {L"captiontextcolor", [](CEditUI& e, const wchar_t* v) { e.SetCaptionTextColor(ParseColor(v)); }},
    {L"nativebkcolor", [](CEditUI& e, const wchar_t* v) { e.SetNativeBkColor(ParseColor(v)); }},
};

} // namespace

CEditUI::CEditUI() : m_field(*this, *this)
{
    m_rcTextPadding = {4, 3, 4, 3};
    m_bkColor1 = 0xFFFFFFFF;
}

CEditUI::~CEditUI()
{
    // The native edit must not reach a dead owner: it is detached and goes with the control.
    if (CEditWnd* wnd = m_editWnd) {
        m_editWnd = nullptr;
        wnd->Detach();
        wnd->Destroy();
    }
}

const wchar_t* CEditUI::GetClass() const { return L"EditUI"; }

void* CEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Edit") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetBehaviourFlags() const
{
    return IsEnabled() ? UINT{kBehaviourTabStop | kBehaviourSetCursor} : 0u;
}

HWND CEditUI::GetNativeWindow() const { return m_editWnd != nullptr ? m_editWnd->GetHWND() : nullptr; }

RECT CEditUI::GetEditRect() const { return CEditWnd::FitToFontHeight(GetTextRect(), GetFontHeight()); }

void CEditUI::SetText(const wchar_t* text)
{
    m_text = text;
    Invalidate();
    // Last: the native edit reports the change as "textchanged", whose listener may delete us.
    if (m_editWnd != nullptr)
        ::SetWindowTextW(m_editWnd->GetHWND(), m_text);
}

void CEditUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    if (m_editWnd == nullptr)
        return;
    const RECT edit = GetEditRect();
    ::SetWindowPos(m_editWnd->GetHWND(), nullptr, edit.left, edit.top, edit.right - edit.left,
                   edit.bottom - edit.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditUI::CloseNativeEditWhenHidden()
{
    if (!IsVisible() && m_editWnd != nullptr && m_host != nullptr)
        m_host->SetFocus(nullptr);
}

void CEditUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    CloseNativeEditWhenHidden();
}

void CEditUI::SetInheritedVisible(bool visible)
{
    // The flag follows the parent like any control's, so that an edit in a hidden container is
    // neither found nor given the focus.
    CControlUI::SetInheritedVisible(visible);
    CloseNativeEditWhenHidden();
}

void CEditUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    m_field.OnEnabledChanged();
}

void CEditUI::OpenNativeWindow()
{
    if (m_editWnd != nullptr)
        return;
    auto* wnd = new CEditWnd();
    if (wnd->Init(this))
        m_editWnd = wnd;
}

void CEditUI::OnNativeTextChanged(const wchar_t* text)
{
    m_text = text;
    if (m_host != nullptr)
        m_host->SendNotify(this, L"textchanged");
}

void CEditUI::HandleEvent(ControlEvent& event)
{
    if (!m_field.HandleEvent(event))
        CLabelUI::HandleEvent(event);
}

void CEditUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kEditAttributes, *this, name, value))
        CLabelUI::SetAttribute(name, value);
}

void CEditUI::SetMaxChar(UINT maxChar)
{
    m_maxChar = maxChar;
    if (m_editWnd != nullptr)
        ::SendMessageW(m_editWnd->GetHWND(), EM_LIMITTEXT, m_maxChar, 0);
}

void CEditUI::SetReadOnly(bool readOnly)
{
    if (m_editWnd != nullptr)
        ::SendMessageW(m_editWnd->GetHWND(), EM_SETREADONLY, readOnly, 0);
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    Invalidate();
}

void CEditUI::SetPasswordMode(bool password)
{
    if (m_password == password)
        return;
    m_password = password;
    // An open native edit masks (or shows) what was typed at once.
    if (m_editWnd != nullptr) {
        ::SendMessageW(m_editWnd->GetHWND(), EM_SETPASSWORDCHAR, password ? m_passwordChar : 0, 0);
        ::InvalidateRect(m_editWnd->GetHWND(), nullptr, TRUE);
    }
    Invalidate();
}

void CEditUI::SetPasswordChar(wchar_t ch)
{
    if (m_passwordChar == ch)
        return;
    m_passwordChar = ch;
    if (m_editWnd != nullptr && m_password) {
        ::SendMessageW(m_editWnd->GetHWND(), EM_SETPASSWORDCHAR, ch, 0);
        ::InvalidateRect(m_editWnd->GetHWND(), nullptr, TRUE);
    }
    Invalidate();
}

void CEditUI::SetEnableCaption(bool enable)
{
    if (m_enableCaption == enable)
        return;
    m_enableCaption = enable;
    Invalidate();
}

SIZE CEditUI::GetDesiredSize(SIZE available) { return DesiredSizeWithMargin(available, 6); }

void CEditUI::PaintStateImage(HDC hDC)
{
    m_field.PaintStateImage(hDC);
}

void CEditUI::PaintText(HDC hDC)
{
    if (!ResolveDefaultColors() || m_text.IsEmpty())
        return;
    const std::wstring shown = CEditFieldBehaviour::ShownText(m_text, m_password, m_passwordChar);
    DWORD color = m_enableCaption ? m_captionTextColor : m_textColor;
    if (!IsEnabled())
        color = m_disabledTextColor;
    RECT rc = GetTextRect();
    CRenderKit::DrawText(hDC, m_host, rc, shown.c_str(), color, m_font, m_textStyle | DT_SINGLELINE);
}

} // namespace SkinUI
