#pragma once
// The windows the launcher's start-up opens. The login subsystem supplies them, so that the
// launcher flow itself does not depend on the window toolkit.
#include <string>

// The login window's skin in the game's skin folder: the launcher checks for it before it asks
// for the window, which is built from it.
inline constexpr wchar_t kLoginSkinFile[] = L"LoginWindowEx.xml";

class IStartupWindows {
public:
    virtual ~IStartupWindows() = default;
    // Opens the login window of the current game; false when no usable window could be made
    // from the game's skin (nothing is left open then).
    virtual bool OpenLogin() = 0;
    // Shows a fatal start-up message modally, with no owner; returns once the user closed it.
    virtual void ShowStartupError(const std::wstring& text) = 0;
};
