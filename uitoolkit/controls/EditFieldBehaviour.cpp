#include "uitoolkit/controls/EditFieldBehaviour.h"

#include "uitoolkit/controls/IEditField.h"
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

CEditFieldBehaviour::CEditFieldBehaviour(CLabelUI& label, IEditField& field)
    : m_label(label), m_field(field), m_state(label)
{
}

bool CEditFieldBehaviour::HandleEvent(ControlEvent& event)
{
    CLabelUI& c = m_label;
    if (CButtonBehaviour::IsBlockedMouse(c, event))
        return CButtonBehaviour::PassToParent(c, event);
    CWindowHostUI* host = c.GetManager();
    const bool enabled = c.IsEnabled();
    switch (event.type) {
    case kEventSetCursor:
        if (!enabled)
            return false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return true;
    case kEventWindowSize:
        if (m_field.GetNativeWindow() != nullptr && host != nullptr)
            host->RequestFocus(&c);
        return false;
    case kEventScrollWheel:
        return m_field.GetNativeWindow() != nullptr;
    case kEventSetFocus: {
        if (!enabled)
            return false;
        if (m_field.GetNativeWindow() != nullptr)
            return true;
        CControlUI::Watch watch(&c);
        m_field.OpenNativeWindow();
        if (watch.Lost())
            return true;
        c.Invalidate();
        return false;  // the label sets the focused flag
    }
    case kEventKillFocus:
        if (enabled)
            c.Invalidate();
        return false;
    case kEventButtonDown:
    case kEventRButtonDown:
    case kEventDblClick: {
        if (!enabled)
            return false;
        if (host != nullptr)
            host->ReleaseCapture();
        if (c.IsFocused() && m_field.GetNativeWindow() == nullptr) {
            CControlUI::Watch watch(&c);
            m_field.OpenNativeWindow();
            if (watch.Lost() || !::PtInRect(&c.GetPos(), event.point))
                return true;
        }
        SelectAll();
        return true;
    }
    case kEventMouseMove:
    case kEventButtonUp:
    case kEventContextMenu:
        return true;
    case kEventMouseEnter:
    case kEventMouseLeave:
        if (!enabled)
            return false;
        m_state.SetState(event.type == kEventMouseEnter ? m_state.GetState() | kStateHot
                                                         : m_state.GetState() & ~kStateHot);
        c.Invalidate();
        return true;
    default:
        return false;
    }
}

void CEditFieldBehaviour::SelectAll()
{
    const HWND native = m_field.GetNativeWindow();
    if (native == nullptr)
        return;
    const int length = m_label.GetText().GetLength();
    ::SendMessageW(native, EM_SETSEL, 0, length > 0 ? length : 1);
}

void CEditFieldBehaviour::PaintStateImage(HDC hDC)
{
    m_state.RefreshFocusAndEnabled();
    CButtonBehaviour::DrawFirstStateImage(m_label, hDC, m_state.GetState(),
                                          {{kStateDisabled, &m_disabledImage},
                                           {kStateFocused, &m_focusedImage},
                                           {kStateHot, &m_hotImage}},
                                          m_normalImage);
}

void CEditFieldBehaviour::OnEnabledChanged()
{
    if (!m_label.IsEnabled())
        m_state.SetState(0);
}

void CEditFieldBehaviour::SetImage(CUIString& field, const wchar_t* image)
{
    field = image;
    m_label.Invalidate();
}

std::wstring CEditFieldBehaviour::ShownText(const wchar_t* text, bool password, wchar_t passwordChar)
{
    const std::wstring plain = text != nullptr ? text : L"";
    return password ? std::wstring(plain.size(), passwordChar) : plain;
}

} // namespace SkinUI
