#pragma once
// CAxClientSite: the site of one OLE control hosted in a container window (CAxContainerWnd). It
// creates the control (by class id, ProgID, or as the platform's web browser showing an address),
// sets itself as the control's client site, activates it in place on the window's client area,
// keeps it sized with the window and closes it when the window goes away.
//
// It also answers the web browser's IDocHostUIHandler with neutral defaults: the browser's own
// menus and UI, no address translation, and window.external as set by SetExternalDispatch.
// Hosts that shape the browser derive from it and override those answers (and may add
// interfaces in QueryInterface).
#include <windows.h>
#include <ole2.h>
#include <mshtmhst.h>

#include "foundation/ComPtr.h"
#include "uitoolkit/core/OleSiteBase.h"

namespace SkinUI {

class CAxClientSite : public COleSiteBase<IOleInPlaceSite, IDocHostUIHandler> {
public:
    CAxClientSite() = default;

    // Creates the control named by the text in the window: "{...}" a class id, otherwise a ProgID,
    // otherwise an address ("about:blank", "https://...") that the web browser control navigates to.
    HRESULT CreateControl(const wchar_t* name, HWND hWnd);
    // Hosts an existing control in the window and activates it in place (one control per site).
    HRESULT AttachControl(IUnknown* control, HWND hWnd);
    // An interface of the hosted control; E_PENDING while there is none.
    HRESULT QueryControl(REFIID riid, void** out);
    // The object a page's script reaches as window.external (null: none).
    void SetExternalDispatch(IDispatch* external);
    // Places the control on the given client rectangle of the window.
    void Resize(const RECT& rc);
    // Deactivates and closes the control and lets go of every reference; the window is going away.
    void ReleaseAll();
    HWND GetContainerWindow() const { return m_hWnd; }
    bool IsInPlaceActive() const { return m_inPlaceActive; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;

    // IOleWindow, IOleInPlaceSite (the client site's answers are the neutral ones)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hWnd) override;
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT pos) override;

    // IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* pt, IUnknown* target, IDispatch* object) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                                     IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) override;
    HRESULT STDMETHODCALLTYPE HideUI() override;
    HRESULT STDMETHODCALLTYPE UpdateUI() override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* object, IDataObject** replacement) override;

private:
    RECT ClientRect() const;

    HWND m_hWnd = nullptr;
    ComPtr<IUnknown> m_control;
    ComPtr<IOleObject> m_oleObject;
    ComPtr<IOleInPlaceObject> m_inPlaceObject;
    ComPtr<IDispatch> m_external;
    bool m_inPlaceActive = false;
};

} // namespace SkinUI
