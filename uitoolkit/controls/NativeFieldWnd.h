#pragma once
// CNativeFieldWnd: the base of the native child windows that a windowless field lays over itself
// while it is edited (the edit box's edit, the hot-key field's hot-key control). It binds the
// window to its owner until the owner detaches it, paints the window's background in the owner's
// native background colour (through the reflected colour messages), and deletes itself with its
// window.
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/WindowWnd.h"

namespace SkinUI {

class CWindowHostUI;
class INativeFieldOwner;

class CNativeFieldWnd : public CWindowWnd {
public:
    // The owner is going away: nothing is forwarded to it any more.
    void Detach() { m_owner = nullptr; }

    // Return sends "return" for the owner; a reflected EN_UPDATE repaints the window; reflected
    // WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC give the owner's native background and text colour;
    // everything else goes to the window base.
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Tells the owner (last) and deletes the object.
    void OnWindowDestroyed(HWND hWnd) override;

    // The window host reflects child notifications back to the child as the message plus this.
    static constexpr UINT kReflectOffset = 0x2000;

protected:
    CNativeFieldWnd() = default;
    ~CNativeFieldWnd() override = default;  // only the window's final message deletes it

    // Binds the owner and runs CreateAndSetUp. A window destroyed meanwhile leaves the object
    // alive until the end. False when no window is left; the object has then deleted itself.
    bool Open(INativeFieldOwner* owner);
    // Creates the window as a child of the host's window, configures it, shows and focuses it.
    virtual void CreateAndSetUp(CWindowHostUI& host) = 0;

    INativeFieldOwner* Owner() const { return m_owner; }
    // True once Open has finished with a window.
    bool IsInitialised() const { return m_initialised; }

private:
    LRESULT OnReflectedColor(HDC hDC);

    INativeFieldOwner* m_owner = nullptr;
    CGdiBrush m_bkBrush;  // the native background colour, made on first use
    bool m_initialised = false;
    bool m_opening = false;
};

} // namespace SkinUI
