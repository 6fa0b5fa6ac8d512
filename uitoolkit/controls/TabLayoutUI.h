#pragma once
// CTabLayoutUI: a stack of pages of which only the selected one is visible and placed.
// Selecting a page hides the others, moves the focus into the page and sends "tabselect"
// (wParam: the new index, lParam: the previous one or -1).
#include "uitoolkit/controls/ContainerUI.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
public:
    CTabLayoutUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // The first visible page added becomes the selection; later pages are hidden.
    bool Add(CControlUI* page) override;
    bool AddAt(CControlUI* page, int index) override;
    // Removing the selected page selects page 0 (or nothing when none is left).
    bool Remove(CControlUI* page) override;
    // Goes through this layout's Remove, so that the selection follows.
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    int GetCurSel() const { return m_selected; }
    // False for an index outside the pages; true without any effect for the current one.
    bool SelectItem(int index);

protected:
    // Which page a removal of the selected one selects.
    enum class AfterSelectedRemoved {
        FirstPage,       // page 0, when any is left
        PageInItsPlace,  // the page that moved into its place, the one before it after the last
    };
    // The container's removal, the selection kept on its page or moved by `rule` when the page
    // was the selected one (that page is then shown and the parent asked to lay out again).
    bool RemovePage(CControlUI* page, AfterSelectedRemoved rule);

private:
    int m_selected = -1;
};

} // namespace SkinUI
