#include "uitoolkit/controls/ButtonLikeUI.h"

namespace SkinUI {

UINT CButtonLikeUI::GetBehaviourFlags() const { return m_button.GetBehaviourFlags(); }

bool CButtonLikeUI::Activate() { return m_button.Activate(); }

void CButtonLikeUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_button.SetState(0);
}

void CButtonLikeUI::HandleEvent(ControlEvent& event)
{
    if (!m_button.HandleEvent(event))
        CLabelUI::HandleEvent(event);
}

void CButtonLikeUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!m_button.SetColorAttribute(name, value))
        CLabelUI::SetAttribute(name, value);
}

SIZE CButtonLikeUI::GetDesiredSize(SIZE available) { return DesiredSizeWithMargin(available, 8); }

void CButtonLikeUI::PaintStateText(HDC hDC, const CUIString& text)
{
    if (!ResolveDefaultColors() || text.IsEmpty())
        return;
    DrawLabelText(hDC, text.GetData(), m_button.OverrideTextColor(GetStateTextColor()));
}

} // namespace SkinUI
