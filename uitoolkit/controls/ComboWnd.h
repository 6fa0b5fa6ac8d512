#pragma once
// CComboWnd: the pop-up of an open combo box, window class "ComboWnd". It has its own window
// host, whose fonts, images and default attributes come from the combo's window (resource
// parent), and a vertical list as root that borrows the combo's items while the window lives.
// It opens below the combo (above it when the list would end below the work area), closes on
// a pick, Return, Escape (which restores the selection it opened with) or the loss of the focus,
// hands the items back when it is destroyed, and deletes itself at its final message.
#include "uitoolkit/core/WindowHostUI.h"
#include "uitoolkit/core/WindowWnd.h"

namespace SkinUI {

class CComboUI;
class CVerticalLayoutUI;

class CComboWnd : public CWindowWnd {
public:
    CComboWnd() = default;

    // Creates and shows the window for the combo. False when no window could be made; the
    // object is then gone.
    bool Init(CComboUI* combo);

    const wchar_t* GetWindowClass() const override { return L"ComboWnd"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND hWnd) override;

    // The combo is being destroyed: the window goes at once, hands the items back and touches
    // the combo no further.
    void CloseForDyingOwner();
    // Scrolls the list until the item at the index shows (only while the combo has a selection).
    void EnsureVisible(int index);
    CVerticalLayoutUI* GetList() const { return m_list; }
    CWindowHostUI& GetHost() { return m_host; }

    // Where the list goes, in screen coordinates: below the combo, as wide as the drop-box size
    // or the combo, as high as the visible items need (plus 4) up to the drop-box height; above
    // the combo when it would end below the primary monitor's work area.
    static RECT PlaceList(CComboUI& combo);

private:
    ~CComboWnd() override = default;  // only its final message (or a failed Init) deletes it

    void OnCreate();
    // The items go back to the combo; unless the combo is dying it is laid out and focused.
    void ReturnItems();
    void OnKeyDown(WPARAM key);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);

    CWindowHostUI m_host;
    CComboUI* m_owner = nullptr;
    CVerticalLayoutUI* m_list = nullptr;  // the host's root
    int m_oldSel = -1;                    // the selection when the window opened
    bool m_ownerDying = false;
    bool m_destroying = false;            // WM_DESTROY has begun
    bool* m_goneFlag = nullptr;           // set when the object deletes itself (during Init)
};

} // namespace SkinUI
