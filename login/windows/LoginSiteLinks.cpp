#include "login/windows/LoginSiteLinks.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/MenuButton.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace {

struct LinkButton {
    const wchar_t* name;
    const wchar_t* fallback;  // null: nothing without a target of its own
};

const LinkButton kLinkButtons[] = {
    {L"btnOfficialWebsite", nullptr},
    {L"btnChargingSystem", nullptr},
    {L"btnGameForum", nullptr},
    {L"btnCustomerService", nullptr},
    {L"btnKwiHome", nullptr},
    {L"btnRegisterAccount", LoginSiteLinks::kRegisterPage},
    {L"btnRetrieveAccount", LoginSiteLinks::kRecoverPage},
    {L"btnAgreeLicense", LoginSiteLinks::kAgreementPage},
    {L"btnAgreeLicense2", LoginSiteLinks::kAgreementPage},
    {L"btnAgreeLicense1_1", LoginSiteLinks::kAgreementPage},
    {L"btnAgreeLicense2_1", LoginSiteLinks::kAgreementPage},
    {L"btnAgreeLicense1_2", LoginSiteLinks::kAgreementPage},
    {L"btnAgreeLicense2_2", LoginSiteLinks::kAgreementPage},
    {L"btnAgreeLicense1_3", LoginSiteLinks::kAgreementPage},
    {L"btnAgreeLicense2_3", LoginSiteLinks::kAgreementPage},
};

const LinkButton* Find(const wchar_t* name)
{
    if (name == nullptr)
        return nullptr;
    for (const LinkButton& link : kLinkButtons) {
        if (std::wcscmp(link.name, name) == 0)
            return &link;
    }
    return nullptr;
}

void OpenInShell(const wchar_t* url)
{
    ::ShellExecuteW(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
}

LoginSiteLinks::Opener g_opener = &OpenInShell;

// A menu button or a button keeps the link in its focused image.
const wchar_t* FocusedImageOf(SkinUI::CControlUI* control)
{
    if (auto* menu = static_cast<SkinUI::CMenuButton*>(control->GetInterface(L"MenuButton")))
        return menu->GetFocusedImage();
    if (auto* button = static_cast<SkinUI::CButtonUI*>(control->GetInterface(L"Button")))
        return button->GetFocusedImage();
    return nullptr;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    const size_t n = std::wcslen(prefix);
    return text.size() > n && _wcsnicmp(text.c_str(), prefix, n) == 0;
}

} // namespace

void LoginSiteLinks::Capture(SkinUI::CWindowHostUI& host)
{
    targets_.clear();
    for (const LinkButton& link : kLinkButtons) {
        SkinUI::CControlUI* button = host.FindControlByName(link.name);
        const wchar_t* own = button != nullptr ? FocusedImageOf(button) : nullptr;
        if (own != nullptr && own[0] != L'\0')
            targets_[link.name] = own;
    }
}

std::wstring LoginSiteLinks::TargetOf(const wchar_t* name) const
{
    const LinkButton* link = Find(name);
    if (link == nullptr)
        return {};
    const auto own = targets_.find(link->name);
    if (own != targets_.end())
        return own->second;
    return link->fallback != nullptr ? link->fallback : L"";
}

bool LoginSiteLinks::Open(const std::wstring& url)
{
    if (!StartsWith(url, L"http://") && !StartsWith(url, L"https://"))
        return false;
    g_opener(url.c_str());
    return true;
}

void LoginSiteLinks::SetOpener(Opener open)
{
    g_opener = open != nullptr ? open : &OpenInShell;
}
