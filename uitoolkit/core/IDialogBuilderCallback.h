#pragma once
// Creates the program's own controls for tags the dialog builder does not know.
namespace SkinUI {

class CControlUI;

class IDialogBuilderCallback {
public:
    // A new control for the tag, or null when the tag is not one of the caller's.
    virtual CControlUI* CreateControl(const wchar_t* tagName) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

} // namespace SkinUI
