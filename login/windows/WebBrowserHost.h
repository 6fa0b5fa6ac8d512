#pragma once
// CWebBrowserHost: the site of the embedded web browser. It shapes the browser's user interface
// (no 3-D border, themed, DPI aware, form auto-completion) and keeps script errors silent: the
// browser asks its host whether to show a script-error dialog, and the answer is "go on running
// the scripts" without one.
#include <windows.h>
#include <docobj.h>

#include "uitoolkit/core/AxClientSite.h"

class CWebBrowserHost : public SkinUI::CAxClientSite, public IOleCommandTarget {
public:
    // DOCHOSTUIFLAG_DPI_AWARE | DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_ENABLE_FORMS_AUTOCOMPLETE |
    // DOCHOSTUIFLAG_NO3DBORDER
    static constexpr DWORD kHostFlags = 0x40044004;

    // IUnknown: the site's interfaces and IOleCommandTarget.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return CAxClientSite::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CAxClientSite::Release(); }

    // IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;

    // IOleCommandTarget
    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID* group, ULONG count, OLECMD commands[], OLECMDTEXT* text) override;
    HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in,
                                   VARIANT* out) override;
};
