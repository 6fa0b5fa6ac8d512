#pragma once
// The dialog builder's table of built-in control tags. The table belongs to the controls and is
// defined with them (uitoolkit/controls/BuiltinControls.cpp); core knows it by this declaration
// only. The builder's call is what links the table into every program that builds skins: a table
// that registered itself at start-up would sit in an object file nothing refers to, which the
// linker leaves out of a static library.
namespace SkinUI {

class CControlUI;

// A new control of the built-in class whose tag equals `tag` exactly, or null.
CControlUI* CreateBuiltinControl(const wchar_t* tag);

} // namespace SkinUI
