#pragma once
// The dialog builder's table of built-in control tags.
namespace SkinUI {

class CControlUI;

// A new control of the built-in class whose tag equals `tag` exactly, or null.
CControlUI* CreateBuiltinControl(const wchar_t* tag);

} // namespace SkinUI
