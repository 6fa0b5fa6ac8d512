#pragma once
// CAxInPlaceFrame: the in-place frame an OLE container hands to a control it activates in place
// (IOleInPlaceSite::GetWindowContext). The toolkit's windows have no menus, toolbars or status
// bar, so the frame accepts every request for them and grants no border space; it keeps the
// active object the control names, so that it lives while the control is UI-active.
#include <windows.h>
#include <ole2.h>

#include "foundation/ComImpl.h"
#include "foundation/ComPtr.h"

namespace SkinUI {

class CAxInPlaceFrame : public ComImpl<IOleInPlaceFrame> {
public:
    explicit CAxInPlaceFrame(HWND hWnd) : m_hWnd(hWnd) {}

    IOleInPlaceActiveObject* GetActiveObject() const { return m_activeObject.Get(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hWnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU oleMenu, HWND activeObject) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, WORD id) override;

protected:
    // The frame's window; null when there is none (any more).
    virtual HWND FrameWindow() const { return m_hWnd; }

private:
    HWND m_hWnd;
    ComPtr<IOleInPlaceActiveObject> m_activeObject;
};

} // namespace SkinUI
