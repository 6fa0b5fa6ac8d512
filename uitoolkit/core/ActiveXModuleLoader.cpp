#include "uitoolkit/core/ActiveXModuleLoader.h"

#include <shlwapi.h>

#include <cwctype>
#include <string>
#include <vector>

#include "foundation/Folders.h"
#include "foundation/TraceLog.h"

namespace SkinUI {

namespace {

// The canonical form of a full local path ("X:\..."), with "." and ".." resolved; empty for
// anything else (relative, UNC, device or over-long paths).
std::wstring CanonicalPath(const wchar_t* path)
{
    if (path == nullptr || !std::iswalpha(path[0]) || path[1] != L':' || (path[2] != L'\\' && path[2] != L'/'))
        return std::wstring();
    wchar_t full[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameW(path, MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH)
        return std::wstring();
    return std::wstring(full, n);
}

std::vector<std::wstring>& AllowedFolders()
{
    static std::vector<std::wstring> folders = {ModuleFolder()};
    return folders;
}

void Trace(const wchar_t* what, const wchar_t* path)
{
    if (IsTraceViewerPresent())
        TraceLog(L"CActiveXUI module %s: %s", what, path);
}

} // namespace

void CActiveXModuleLoader::AllowFolder(const wchar_t* folder)
{
    const std::wstring canonical = WithBackslash(CanonicalPath(folder));
    if (!canonical.empty())
        AllowedFolders().push_back(canonical);
}

bool CActiveXModuleLoader::IsAllowed(const wchar_t* path)
{
    const std::wstring canonical = CanonicalPath(path);
    if (canonical.empty())
        return false;
    for (const std::wstring& folder : AllowedFolders()) {
        if (!folder.empty() && canonical.size() > folder.size() &&
            ::StrCmpNIW(canonical.c_str(), folder.c_str(), static_cast<int>(folder.size())) == 0)
            return true;
    }
    return false;
}

HMODULE CActiveXModuleLoader::Load(const wchar_t* path)
{
    if (!IsAllowed(path)) {
        Trace(L"refused (outside the program's and the game's folders)", path != nullptr ? path : L"");
        return nullptr;
    }
    const std::wstring canonical = CanonicalPath(path);
    // The module's own folder serves its dependencies; the search path is never used.
    HMODULE module = ::LoadLibraryExW(canonical.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    Trace(module != nullptr ? L"loaded" : L"not loadable", canonical.c_str());
    return module;
}

} // namespace SkinUI
