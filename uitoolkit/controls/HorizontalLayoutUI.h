#pragma once
// CHorizontalLayoutUI: places its children left to right. Children with a desired width share what
// the fixed-size ones leave, the last automatic child taking the remainder of the division.
// An optional separator band ("sepwidth", "sepimm") lets the user drag the layout's own width.
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/LayoutSeparator.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI() = default;
    // A layout deleted during a drag leaves the host's post-paint list.
    ~CHorizontalLayoutUI() override;

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
    CLayoutSeparator m_separator{true};
};

} // namespace SkinUI
