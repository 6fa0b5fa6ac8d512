#include "login/windows/WebBrowserHost.h"

#include <mshtmhst.h>

namespace {

// The command group in which the browser asks its host about script errors.
constexpr GUID kDocHostCommandHandler = {0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

HRESULT Unsupported(const GUID* group)
{
    return group != nullptr ? OLECMDERR_E_UNKNOWNGROUP : OLECMDERR_E_NOTSUPPORTED;
}

} // namespace

HRESULT CWebBrowserHost::QueryInterface(REFIID riid, void** out)
{
    if (out != nullptr && ::IsEqualIID(riid, IID_IOleCommandTarget)) {
        *out = static_cast<IOleCommandTarget*>(this);
        AddRef();
        return S_OK;
    }
    return CAxClientSite::QueryInterface(riid, out);
}

HRESULT CWebBrowserHost::GetHostInfo(DOCHOSTUIINFO* info)
{
    static_assert(sizeof(DOCHOSTUIINFO) == 20, "the 32-bit record");
    if (info == nullptr)
        return S_OK;
    info->cbSize = sizeof(DOCHOSTUIINFO);
    info->dwFlags = kHostFlags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT CWebBrowserHost::QueryStatus(const GUID* group, ULONG, OLECMD[], OLECMDTEXT*)
{
    return Unsupported(group);
}

HRESULT CWebBrowserHost::Exec(const GUID* group, DWORD command, DWORD, VARIANT*, VARIANT* out)
{
    if (group == nullptr || !::IsEqualGUID(*group, kDocHostCommandHandler) || command != OLECMDID_SHOWSCRIPTERROR)
        return Unsupported(group);
    if (out != nullptr) {
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;  // go on running scripts
    }
    return S_OK;
}
