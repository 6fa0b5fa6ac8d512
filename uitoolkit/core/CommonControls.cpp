#include "uitoolkit/core/CommonControls.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace SkinUI {

namespace {

using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

HMODULE Library()
{
    static const HMODULE module = ::LoadLibraryW(L"comctl32.dll");
    return module;
}

} // namespace

bool CCommonControls::Init(DWORD classes)
{
    static const auto init = Library() != nullptr ? reinterpret_cast<InitCommonControlsExFn>(reinterpret_cast<void*>(
                                                        ::GetProcAddress(Library(), "InitCommonControlsEx")))
                                                  : nullptr;
    if (init == nullptr)
        return false;
    const INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), classes};
    return init(&controls) != FALSE;
}

DWORD CCommonControls::MajorVersion()
{
    const HMODULE module = Library();
    const auto getVersion = module != nullptr ? reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(
                                                    ::GetProcAddress(module, "DllGetVersion")))
                                              : nullptr;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    return getVersion != nullptr && SUCCEEDED(getVersion(&info)) ? info.dwMajorVersion : 0;
}

} // namespace SkinUI
