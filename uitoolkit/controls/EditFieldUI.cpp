#include "uitoolkit/controls/EditFieldUI.h"

#include "uitoolkit/controls/EditWnd.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<CEditFieldUI> kFieldAttributes[] = {
    {L"readonly", [](CEditFieldUI& e, const wchar_t* v) { e.SetReadOnly(ParseBool(v)); }},
    {L"password", [](CEditFieldUI& e, const wchar_t* v) { e.SetPasswordMode(ParseBool(v)); }},
    {L"maxchar", [](CEditFieldUI& e, const wchar_t* v) { e.SetMaxChar(static_cast<UINT>(ParseInt(v))); }},
    {L"normalimage", [](CEditFieldUI& e, const wchar_t* v) { e.SetNormalImage(v); }},
    {L"hotimage", [](CEditFieldUI& e, const wchar_t* v) { e.SetHotImage(v); }},
    {L"focusedimage", [](CEditFieldUI& e, const wchar_t* v) { e.SetFocusedImage(v); }},
    {L"disabledimage", [](CEditFieldUI& e, const wchar_t* v) { e.SetDisabledImage(v); }},
    {L"nativebkcolor", [](CEditFieldUI& e, const wchar_t* v) { e.SetNativeBkColor(ParseColor(v)); }},
};

} // namespace

CEditFieldUI::CEditFieldUI() : m_state(*this)
{
    m_rcTextPadding = {4, 3, 4, 3};
    m_bkColor1 = 0xFFFFFFFF;
}

CEditFieldUI::~CEditFieldUI()
{
    // The native edit must not reach a dead owner: it is detached and goes with the field.
    if (CEditWnd* wnd = m_editWnd) {
        m_editWnd = nullptr;
        wnd->Detach();
        wnd->Destroy();
    }
}

UINT CEditFieldUI::GetBehaviourFlags() const
{
    return IsEnabled() ? UINT{kBehaviourTabStop | kBehaviourSetCursor} : 0u;
}

HWND CEditFieldUI::GetNativeWindow() const { return m_editWnd != nullptr ? m_editWnd->GetHWND() : nullptr; }

RECT CEditFieldUI::GetEditRect() const { return CEditWnd::FitToFontHeight(GetTextRect(), GetFontHeight()); }

std::wstring CEditFieldUI::GetShownText() const
{
    const std::wstring text = m_text.GetData();
    return m_password ? std::wstring(text.size(), m_passwordChar) : text;
}

void CEditFieldUI::SetText(const wchar_t* text)
{
    m_text = text;
    OnShownTextChanged();
    Invalidate();
    // Last: the native edit reports the change as "textchanged", whose listener may delete us.
    if (m_editWnd != nullptr)
        ::SetWindowTextW(m_editWnd->GetHWND(), m_text);
}

void CEditFieldUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    const HWND native = GetNativeWindow();
    if (native == nullptr)
        return;
    const RECT place = GetNativeRect();
    ::SetWindowPos(native, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditFieldUI::CloseNativeWindowWhenHidden()
{
    if (!IsVisible() && GetNativeWindow() != nullptr && m_host != nullptr)
        m_host->SetFocus(nullptr);
}

void CEditFieldUI::SetVisible(bool visible)
{
    if (Survives([&] { CControlUI::SetVisible(visible); }))
        CloseNativeWindowWhenHidden();
}

void CEditFieldUI::SetInheritedVisible(bool visible)
{
    // The flag follows the parent like any control's, so that a field in a hidden container is
    // neither found nor given the focus.
    if (Survives([&] { CControlUI::SetInheritedVisible(visible); }))
        CloseNativeWindowWhenHidden();
}

void CEditFieldUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_state.SetState(0);
}

void CEditFieldUI::OpenNativeWindow()
{
    if (m_editWnd != nullptr)
        return;
    CEditWnd* wnd = NewNativeEdit();
    if (wnd->Init(this))
        m_editWnd = wnd;
}

void CEditFieldUI::OnNativeTextChanged(const wchar_t* text)
{
    m_text = text;
    if (m_host != nullptr)
        m_host->SendNotify(this, L"textchanged");
}

void CEditFieldUI::HandleEvent(ControlEvent& event)
{
    if (CButtonBehaviour::IsBlockedMouse(*this, event)) {
        if (!CButtonBehaviour::PassToParent(*this, event))
            CLabelUI::HandleEvent(event);
        return;
    }
    const bool enabled = IsEnabled();
    switch (event.type) {
    case kEventSetCursor:
        if (!enabled)
            break;
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return;
    case kEventWindowSize:
        if (GetNativeWindow() != nullptr && m_host != nullptr)
            m_host->RequestFocus(this);
        break;
    case kEventScrollWheel:
        if (GetNativeWindow() != nullptr)
            return;
        break;
    case kEventSetFocus: {
        if (!enabled)
            break;
        if (const HWND native = GetNativeWindow(); native != nullptr) {
            // Still open, though the keyboard left it for a while: it takes the keyboard back.
            if (::GetFocus() != native)
                ::SetFocus(native);
            return;
        }
        if (!Survives([this] { OpenNativeWindow(); }))
            return;
        Invalidate();
        break;  // the label sets the focused flag
    }
    case kEventKillFocus:
        if (enabled)
            Invalidate();
        break;
    case kEventButtonDown:
    case kEventRButtonDown:
    case kEventDblClick:
        if (!enabled)
            break;
        if (m_host != nullptr)
            m_host->ReleaseCapture();
        if (IsFocused() && GetNativeWindow() == nullptr) {
            if (!Survives([this] { OpenNativeWindow(); }) || !::PtInRect(&m_rcItem, event.point))
                return;
        }
        SelectAll();
        return;
    case kEventMouseMove:
    case kEventButtonUp:
    case kEventContextMenu:
        return;
    case kEventMouseEnter:
    case kEventMouseLeave:
        if (!enabled)
            break;
        m_state.SetState(event.type == kEventMouseEnter ? m_state.GetState() | kStateHot
                                                         : m_state.GetState() & ~kStateHot);
        Invalidate();
        return;
    default:
        break;
    }
    CLabelUI::HandleEvent(event);
}

void CEditFieldUI::SelectAll()
{
    const HWND native = GetNativeWindow();
    if (native == nullptr)
        return;
    const int length = m_text.GetLength();
    ::SendMessageW(native, EM_SETSEL, 0, length > 0 ? length : 1);
}

void CEditFieldUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kFieldAttributes, *this, name, value))
        CLabelUI::SetAttribute(name, value);
}

void CEditFieldUI::SetMaxChar(UINT maxChar)
{
    m_maxChar = maxChar;
    if (m_editWnd != nullptr)
        ::SendMessageW(m_editWnd->GetHWND(), EM_LIMITTEXT, m_maxChar, 0);
}

void CEditFieldUI::SetReadOnly(bool readOnly)
{
    if (m_editWnd != nullptr)
        ::SendMessageW(m_editWnd->GetHWND(), EM_SETREADONLY, readOnly, 0);
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    Invalidate();
}

void CEditFieldUI::SetPasswordMode(bool password)
{
    if (m_password == password)
        return;
    m_password = password;
    OnShownTextChanged();
    // An open native edit masks (or shows) what was typed at once.
    if (m_editWnd != nullptr) {
        ::SendMessageW(m_editWnd->GetHWND(), EM_SETPASSWORDCHAR, password ? m_passwordChar : 0, 0);
        ::InvalidateRect(m_editWnd->GetHWND(), nullptr, TRUE);
    }
    Invalidate();
}

void CEditFieldUI::SetPasswordChar(wchar_t ch)
{
    if (m_passwordChar == ch)
        return;
    m_passwordChar = ch;
    OnShownTextChanged();
    if (m_editWnd != nullptr && m_password) {
        ::SendMessageW(m_editWnd->GetHWND(), EM_SETPASSWORDCHAR, ch, 0);
        ::InvalidateRect(m_editWnd->GetHWND(), nullptr, TRUE);
    }
    Invalidate();
}

void CEditFieldUI::SetImage(CUIString& field, const wchar_t* image)
{
    field = image;
    Invalidate();
}

SIZE CEditFieldUI::GetDesiredSize(SIZE available) { return DesiredSizeWithMargin(available, 6); }

void CEditFieldUI::PaintStateImage(HDC hDC)
{
    m_state.RefreshFocusAndEnabled();
    CButtonBehaviour::DrawFirstStateImage(*this, hDC, m_state.GetState(),
                                          {{kStateDisabled, &m_disabledImage},
                                           {kStateFocused, &m_focusedImage},
                                           {kStateHot, &m_hotImage}},
                                          m_normalImage);
}

} // namespace SkinUI
