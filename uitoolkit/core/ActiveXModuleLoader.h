#pragma once
// CActiveXModuleLoader: loads the DLLs that skins name for their ActiveX objects. Skins are game
// data, and nothing they name may reach outside the game's own files: a module is loaded only by
// its full path, and only inside the program's folder or a folder the program allows (the game's
// data folder), never through the DLL search path. Every attempt is traced.
#include <windows.h>

namespace SkinUI {

class CActiveXModuleLoader {
public:
    // Allows modules inside the folder (and the folders below it).
    static void AllowFolder(const wchar_t* folder);
    // Whether the text is a full local path inside an allowed folder.
    static bool IsAllowed(const wchar_t* path);
    // The loaded module (never freed), or null when refused or not loadable.
    static HMODULE Load(const wchar_t* path);
};

} // namespace SkinUI
