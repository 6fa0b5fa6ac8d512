#pragma once
// COleSiteBase: the neutral answers of an OLE site, shared by the toolkit's sites. A site is an
// object's client site and its in-place site; InPlaceSite is the richest in-place site interface
// it serves (IOleInPlaceSite, or one derived from it such as IOleInPlaceSiteWindowless) and
// More... are its further interfaces. Here: no saving, no monikers, no container, no layout
// negotiation, no scrolling, no undo, and notices that are taken without doing anything. A site
// gives its own window, window context and in-place (de)activation, overrides whatever it tracks
// or shapes, and keeps its own QueryInterface, so each interface maps to its own sub-object.
#include <windows.h>
#include <ole2.h>

#include "foundation/ComImpl.h"

namespace SkinUI {

template <class InPlaceSite, class... More>
class COleSiteBase : public ComImpl<IOleClientSite, InPlaceSite, More...> {
public:
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        if (moniker != nullptr)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override
    {
        if (container == nullptr)
            return E_POINTER;
        *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return E_NOTIMPL; }

protected:
    COleSiteBase() = default;

    // The tail of IOleInPlaceSite::GetWindowContext: the object sits at `rc`, clipped to it, in
    // the frame window `frame` with the given accelerators.
    static void FillWindowContext(LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info, const RECT& rc, HWND frame,
                                  HACCEL accelerators, UINT acceleratorCount)
    {
        *pos = rc;
        *clip = rc;
        info->cb = sizeof(OLEINPLACEFRAMEINFO);
        info->fMDIApp = FALSE;
        info->hwndFrame = frame;
        info->haccel = accelerators;
        info->cAccelEntries = acceleratorCount;
    }
};

} // namespace SkinUI
