#pragma once
// CShadowWindow: the activation side of the program's skinned dialog windows.
namespace SkinUI {

class CShadowWindow {
public:
    // Told when the dialog's window is activated; the window takes the keyboard focus.
    class CShadowWindowDelegate {
    public:
        virtual void OnShadowActivate() = 0;

    protected:
        ~CShadowWindowDelegate() = default;
    };
};

} // namespace SkinUI
