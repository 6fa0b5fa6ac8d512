#pragma once
// CListControl: the list that holds the login dialog's quick-login rows. The toolkit list with
// item operations that refuse a missing control or index, and room for the builder of the rows'
// template and for the window host of the dialog that made it.
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/core/DialogBuilder.h"

namespace SkinUI {

class CWindowHostUI;

class CListControl : public CListUI {
public:
    // The custom-control factory's list: no owner.
    CListControl() = default;
    // The login dialog's list, bound to the dialog's window host.
    explicit CListControl(CWindowHostUI* owner) : m_owner(owner) {}

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;

    CDialogBuilder& GetBuilder() { return m_builder; }
    CWindowHostUI* GetOwner() const { return m_owner; }

private:
    CDialogBuilder m_builder;
    CWindowHostUI* m_owner = nullptr;
};

} // namespace SkinUI
