#pragma once
// CPVAListItemEx: the quick-login row with the marks the dialog switches as the selection moves:
// "imgSelected" shows on the selected row, "imgUnselected" on the others.
#include "login/windows/PVAListItem.h"

class CPVAListItemEx : public CPVAListItem {
public:
    CPVAListItemEx(SkinUI::CWindowHostUI* host, const PVAAccountRecord& record);

    // Shows the mark of the state and hides the other (a mark the skin lacks is skipped).
    void ShowSelected(bool selected);
    SkinUI::CControlUI* GetSelectedMark() const { return m_imgSelected; }
    SkinUI::CControlUI* GetUnselectedMark() const { return m_imgUnselected; }

protected:
    void FindControls() override;

private:
    SkinUI::CControlUI* m_imgUnselected = nullptr;
    SkinUI::CControlUI* m_imgSelected = nullptr;
};
