#pragma once
// CVerticalLayoutUI: places its children top to bottom. Children with a desired height share what
// the fixed-size ones leave, the last automatic child taking the remainder of the division.
// An optional separator band ("sepheight", "sepimm") lets the user drag the layout's own height.
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/LayoutSeparator.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI() = default;
    // A layout deleted during a drag leaves the host's post-paint list.
    ~CVerticalLayoutUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    void SetPos(RECT rc) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintOverlay(HDC hDC, const RECT& rcPaint) override;

    int GetSeparatorSize() const { return m_separator.GetSize(); }
    // The separator band; with useDrag, at the dragged position while a drag runs.
    RECT GetSeparatorRect(bool useDrag) const { return m_separator.GetRect(m_rcItem, useDrag); }
    void SetSeparatorImmediate(bool immediate) { m_separator.SetImmediate(*this, immediate); }
    bool IsSeparatorImmediate() const { return m_separator.IsImmediate(); }

private:
    CLayoutSeparator m_separator{false};
};

} // namespace SkinUI
