#include "SkinWindow.h"

#include <windows.h>

#include <cwchar>

#include "login/windows/DialogBuilderCallbackEx.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"
#include "uitoolkit/core/DialogBuilder.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace paintfloor {

namespace {

class BenchCallback : public CDialogBuilderCallbackEx {
public:
    SkinUI::CControlUI* CreateControl(const wchar_t* tag) override
    {
        if (std::wcscmp(tag, L"TimedVerticalLayout") == 0) return new SkinUI::CVerticalLayoutUI();
        return CDialogBuilderCallbackEx::CreateControl(tag);
    }
};


} // namespace

std::vector<std::wstring> SkinPictures(const Skin& skin)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((skin.folder + L"*.png").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            names.push_back(found.cFileName);
        while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    return names;
}

bool OpenToolkit(kit::HostWindow& win, const Skin& skin, bool warm, const std::vector<std::wstring>& pictures)
{
    if (!win.Open(nullptr, skin.width, skin.height)) return false;
    SkinUI::CWindowHostUI* host = win.Host();
    ::ValidateRect(win.Hwnd(), nullptr);
    BenchCallback callback;
    SkinUI::CDialogBuilder builder;
    SkinUI::CControlUI* root = builder.Create(skin.markup.c_str(), nullptr, &callback, host);
    if (root == nullptr || !host->AttachRoot(root)) return false;
    if (skin.page != nullptr) {
        SkinUI::CControlUI* page = host->FindControlByName(skin.page);
        if (page == nullptr) return false;
        page->SetVisible(true);
    }
    if (warm)
        for (const std::wstring& name : pictures) host->GetOrLoadImage(name.c_str(), nullptr, 0);
    return true;
}

} // namespace paintfloor
