#pragma once
// The login dialog's link buttons and the pages they open. A button carries its own target in its
// "focusedimage" text; the registration, password-recovery and agreement buttons fall back to the
// maker's pages when it is empty. Only web addresses are opened ("http://" or "https://"): a skin
// cannot make the dialog start a program or open a file.
#include <map>
#include <string>

namespace SkinUI {
class CControlUI;
class CWindowHostUI;
} // namespace SkinUI

class LoginSiteLinks {
public:
    static constexpr wchar_t kRegisterPage[] = L"https://passport.ombrel.example/register";
    static constexpr wchar_t kRecoverPage[] = L"https://passport.ombrel.example/recover";
    static constexpr wchar_t kAgreementPage[] = L"https://www.ombrel.example/agreement";
    static constexpr wchar_t kHomePage[] = L"https://www.ombrel.example/";

    // Takes each link button's target from the skin just built, before anything is painted: the
    // toolkit forgets an image text it cannot draw, and a link's target is no picture.
    void Capture(SkinUI::CWindowHostUI& host);
    // The page a click on the link button opens: its target from the skin, else its fallback
    // page (empty for the plain site links and for names that are no link button).
    std::wstring TargetOf(const wchar_t* name) const;
    // Opens a web address in the shell; false (nothing opened) for anything else.
    static bool Open(const std::wstring& url);

    // How pages are opened; the shell unless a test says otherwise.
    using Opener = void (*)(const wchar_t* url);
    static void SetOpener(Opener open);

private:
    std::map<std::wstring, std::wstring> targets_;  // link button name -> its skin's target
};
