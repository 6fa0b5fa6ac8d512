#include "uitoolkit/controls/custom/AnimationUI.h"

#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<CAnimationUI> kAnimationAttributes[] = {
    {L"bkimage", [](CAnimationUI& c, const wchar_t* v) { c.SetAnimImage(v); }},
    {L"autoplay", [](CAnimationUI& c, const wchar_t* v) { c.SetAutoPlay(ParseBool(v)); }},
    {L"autosize", [](CAnimationUI& c, const wchar_t* v) { c.SetAutoSize(ParseBool(v)); }},
};

} // namespace

void CAnimationUI::SetAnimImage(const wchar_t* name)
{
    if (m_imageName == (name != nullptr ? name : L""))
        return;
    m_imageName = name;
    m_player.Stop();
    Invalidate();
    OnAnimImageChanged();
}

void CAnimationUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    if (visible)
        m_player.Play();
    else
        m_player.Stop();
}

void CAnimationUI::HandleEvent(ControlEvent& event)
{
    if (event.type == kEventTimer)
        m_player.OnTimer(event.wParam);
}

void CAnimationUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kAnimationAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
}

} // namespace SkinUI
