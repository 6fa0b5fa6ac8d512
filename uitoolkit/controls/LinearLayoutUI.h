#pragma once
// CLinearLayoutUI: the vertical and the horizontal layout, one placement rule written along an
// axis (y for the vertical layout, x for the horizontal one). Children are placed one after the
// other along the axis, with the child padding between them; those with a desired length of 0
// share what the fixed ones leave (LinearShare), and every child fills the room across unless it
// has a fixed size there. The layout's own separator band ("sepheight" / "sepwidth", and
// "sepimm"), with which the user drags its height or width, comes from CLayoutSeparator.
// CVerticalLayoutUI and CHorizontalLayoutUI only choose the axis; the names follow from it.
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/LayoutSeparator.h"
#include "uitoolkit/controls/LinearAxis.h"
#include "uitoolkit/controls/LinearShare.h"

namespace SkinUI {

class CLinearLayoutUI : public CContainerUI {
public:
    // A layout deleted during a drag leaves the host's post-paint list.
    ~CLinearLayoutUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    void SetPos(RECT rc) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintOverlay(HDC hDC, const RECT& rcPaint) override;

    LinearAxis GetAxis() const { return m_axis; }
    int GetSeparatorSize() const { return m_separator.GetSize(); }
    // The separator band; with useDrag, at the dragged position while a drag runs.
    RECT GetSeparatorRect(bool useDrag) const { return m_separator.GetRect(m_rcItem, useDrag); }
    void SetSeparatorImmediate(bool immediate) { m_separator.SetImmediate(*this, immediate); }
    bool IsSeparatorImmediate() const { return m_separator.IsImmediate(); }

protected:
    // The layout along the axis, with that layout's names.
    explicit CLinearLayoutUI(LinearAxis axis);

    // The measuring pass over the visible, non-floating children, each asked its desired size
    // for `offered`; onMeasured(child, desired) sees every answer. `along` is the layout's axis,
    // given by the caller so that a pass compiled for one axis sums without testing it.
    template <typename OnMeasured>
    LinearMeasure MeasureChildren(LinearAxis along, SIZE offered, OnMeasured&& onMeasured);

private:
    struct Names;
    static const Names& NamesAlong(LinearAxis axis);
    // SetPos after its start: measures and places the children along the axis.
    template <bool AlongX>
    void PlaceChildrenAlong();

    LinearAxis m_axis;
    const Names& m_names;
    CLayoutSeparator m_separator;
};

template <typename OnMeasured>
LinearMeasure CLinearLayoutUI::MeasureChildren(LinearAxis along, SIZE offered, OnMeasured&& onMeasured)
{
    LinearMeasure measure;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const SIZE desired = child->GetDesiredSize(offered);
        measure.Add(*child, along, desired);
        onMeasured(*child, desired);
    }
    return measure;
}

} // namespace SkinUI
