#pragma once
// The toolkit's side of the paint floor: a skin to measure (its folder, markup, the page shown and
// the window size) and the toolkit's window built from it.
#include <string>
#include <vector>

#include "kit/HostWindow.h"

namespace paintfloor {

struct Skin {
    const char* title;
    std::wstring folder;  // with a trailing backslash
    std::wstring markup;  // a file name in the folder, or XML text
    const wchar_t* page;  // the page made visible, or null
    int width, height;
};

// The names of the skin folder's PNG pictures.
std::vector<std::wstring> SkinPictures(const Skin& skin);

// The window with the skin built, attached and the page shown; not painted yet. With warm the
// pictures are loaded first.
bool OpenToolkit(kit::HostWindow& win, const Skin& skin, bool warm, const std::vector<std::wstring>& pictures);

} // namespace paintfloor
