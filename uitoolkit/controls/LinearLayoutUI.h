#pragma once
// CLinearLayoutUI: what the vertical and horizontal layouts share, the separator band on one of
// their edges with which the user drags the layout's own height or width: its attribute
// ("sepheight" / "sepwidth", and "sepimm"), events, cursor and overlay. The two layouts add
// their placement rules.
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/LayoutSeparator.h"

namespace SkinUI {

class CLinearLayoutUI : public CContainerUI {
public:
    // A layout deleted during a drag leaves the host's post-paint list.
    ~CLinearLayoutUI() override;

    UINT GetBehaviourFlags() const override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintOverlay(HDC hDC, const RECT& rcPaint) override;

    int GetSeparatorSize() const { return m_separator.GetSize(); }
    // The separator band; with useDrag, at the dragged position while a drag runs.
    RECT GetSeparatorRect(bool useDrag) const { return m_separator.GetRect(m_rcItem, useDrag); }
    void SetSeparatorImmediate(bool immediate) { m_separator.SetImmediate(*this, immediate); }
    bool IsSeparatorImmediate() const { return m_separator.IsImmediate(); }

protected:
    CLinearLayoutUI(bool horizontal, const wchar_t* separatorAttribute);

private:
    bool m_horizontal;
    const wchar_t* m_separatorAttribute;
    CLayoutSeparator m_separator;
};

} // namespace SkinUI
