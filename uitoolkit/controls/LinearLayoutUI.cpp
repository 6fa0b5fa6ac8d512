#include "uitoolkit/controls/LinearLayoutUI.h"

namespace SkinUI {

CLinearLayoutUI::CLinearLayoutUI(bool horizontal, const wchar_t* separatorAttribute)
    : m_horizontal(horizontal), m_separatorAttribute(separatorAttribute), m_separator(horizontal)
{
}

CLinearLayoutUI::~CLinearLayoutUI()
{
    m_separator.Detach(*this);
}

UINT CLinearLayoutUI::GetBehaviourFlags() const { return m_separator.BehaviourFlags(*this); }

void CLinearLayoutUI::HandleEvent(ControlEvent& event)
{
    // A drag changes the layout's own fixed size along its axis.
    LONG& fixedExtent = m_horizontal ? m_fixedSize.cx : m_fixedSize.cy;
    if (m_separator.GetSize() == 0 || !m_separator.HandleEvent(event, *this, m_rcItem, fixedExtent))
        CContainerUI::HandleEvent(event);
}

void CLinearLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (!m_separator.SetAttribute(*this, m_separatorAttribute, name, value != nullptr ? value : L""))
        CContainerUI::SetAttribute(name, value);
}

void CLinearLayoutUI::PaintOverlay(HDC hDC, const RECT& /*rcPaint*/) { m_separator.PaintOverlay(hDC); }

} // namespace SkinUI
