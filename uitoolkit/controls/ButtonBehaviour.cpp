#include "uitoolkit/controls/ButtonBehaviour.h"

#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

bool CButtonBehaviour::IsBlockedMouse(const CControlUI& control, const ControlEvent& event)
{
    return !control.IsMouseEnabled() && event.type >= kEventMouseMove && event.type <= kEventScrollWheel;
}

bool CButtonBehaviour::PassToParent(CControlUI& control, ControlEvent& event)
{
    if (control.GetParent() == nullptr)
        return false;
    control.GetParent()->HandleEvent(event);
    return true;
}

bool CButtonBehaviour::DrawStateImage(CControlUI& control, HDC hDC, CUIString& image)
{
    if (image.IsEmpty())
        return false;
    if (control.DrawImage(hDC, image.GetData()))
        return true;
    image.Empty();
    return false;
}

void CButtonBehaviour::DrawFirstStateImage(CControlUI& control, HDC hDC, UINT state,
                                           std::initializer_list<StateImage> order, CUIString& normal)
{
    for (const StateImage& entry : order) {
        if ((state & entry.flag) == 0)
            continue;
        if (DrawStateImage(control, hDC, *entry.image))
            return;
        break;
    }
    DrawStateImage(control, hDC, normal);
}

void CButtonBehaviour::Set(UINT flag, bool on)
{
    m_state = on ? (m_state | flag) : (m_state & ~flag);
}

bool CButtonBehaviour::HandleEvent(ControlEvent& event)
{
    CControlUI& c = m_owner;
    if (IsBlockedMouse(c, event))
        return PassToParent(c, event);
    switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
        c.Invalidate();
        return false;  // the label keeps the focused flag
    case kEventKeyDown:
        if (!c.IsKeyboardEnabled() || (event.key != VK_SPACE && event.key != VK_RETURN))
            return false;
        c.Activate();
        return true;
    case kEventButtonDown:
    case kEventDblClick:
        if (::PtInRect(&c.GetPos(), event.point) && c.IsEnabled()) {
            Set(kStatePushed | kStateCaptured, true);
            c.Invalidate();
        }
        return true;
    case kEventMouseMove:
        if (Has(kStateCaptured)) {
            Set(kStatePushed, ::PtInRect(&c.GetPos(), event.point) != FALSE);
            c.Invalidate();
        }
        return true;
    case kEventButtonUp:
        if (Has(kStateCaptured)) {
            Set(kStatePushed | kStateCaptured, false);
            c.Invalidate();
            if (::PtInRect(&c.GetPos(), event.point))
                c.Activate();  // last: a "click" listener may delete the control
        }
        return true;
    case kEventContextMenu:
        if (c.IsMenuNotifyEnabled() && c.GetManager() != nullptr)
            c.GetManager()->SendNotify(&c, L"menu", event.wParam, event.lParam);
        return true;
    case kEventMouseEnter:
    case kEventMouseLeave:
        if (c.IsEnabled()) {
            Set(kStateHot, event.type == kEventMouseEnter);
            c.Invalidate();
        }
        return true;
    case kEventSetCursor:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return true;
    default:
        return false;
    }
}

UINT CButtonBehaviour::GetBehaviourFlags() const
{
    return (m_owner.IsKeyboardEnabled() ? UINT{kBehaviourTabStop} : 0u) |
           (m_owner.IsEnabled() ? UINT{kBehaviourSetCursor} : 0u);
}

bool CButtonBehaviour::Activate()
{
    if (!m_owner.CControlUI::Activate())
        return false;
    if (CWindowHostUI* host = m_owner.GetManager())
        host->SendNotify(&m_owner, L"click");
    return true;
}

void CButtonBehaviour::RefreshFocusAndEnabled()
{
    Set(kStateFocused, m_owner.IsFocused());
    Set(kStateDisabled, !m_owner.IsEnabled());
}

DWORD CButtonBehaviour::OverrideTextColor(DWORD color) const
{
    if (Has(kStatePushed) && pushedTextColor != 0)
        return pushedTextColor;
    if (Has(kStateHot) && hotTextColor != 0)
        return hotTextColor;
    if (Has(kStateFocused) && focusedTextColor != 0)
        return focusedTextColor;
    return color;
}

bool CButtonBehaviour::SetColorAttribute(const wchar_t* name, const wchar_t* value)
{
    static const AttributeSetterOf<CButtonBehaviour> kColorAttributes[] = {
        {L"hottextcolor", [](CButtonBehaviour& b, const wchar_t* v) { b.hotTextColor = ParseColor(v); }},
        {L"pushedtextcolor", [](CButtonBehaviour& b, const wchar_t* v) { b.pushedTextColor = ParseColor(v); }},
        {L"focusedtextcolor", [](CButtonBehaviour& b, const wchar_t* v) { b.focusedTextColor = ParseColor(v); }},
    };
    return ApplyAttribute(kColorAttributes, *this, name, value);
}

} // namespace SkinUI
