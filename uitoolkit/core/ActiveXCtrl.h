#pragma once
// CActiveXCtrl: the OLE site of one CActiveXUI's object. It is the object's client site, its
// windowless-capable in-place site, control site, container and site-holder. It activates the
// object windowless when the object asks for that, otherwise in its own child window
// (CActiveXWnd). The site may outlive its owner (the object holds it); once the owner lets go
// (ClearOwner), every answer that needs the owner is E_UNEXPECTED.
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <memory>
#include <type_traits>

#include "foundation/ComPtr.h"
#include "uitoolkit/core/OleSiteBase.h"

namespace SkinUI {

class CActiveXUI;
class CActiveXWnd;

class CActiveXCtrl
    : public COleSiteBase<IOleInPlaceSiteWindowless, IOleControlSite, IObjectWithSite, IOleContainer> {
public:
    explicit CActiveXCtrl(CActiveXUI* owner);
    ~CActiveXCtrl() override;

    CActiveXUI* GetOwner() const { return m_owner; }
    // The owner lets go: the view and in-place objects and the window go too.
    void ClearOwner();
    void SetViewObject(IViewObject* view) { m_viewObject = view; }
    IViewObject* GetViewObject() const { return m_viewObject.Get(); }
    IOleInPlaceObject* GetInPlaceObject() const { return m_inPlaceObject.Get(); }
    bool IsInPlaceActive() const { return m_inPlaceActive; }
    bool IsWindowless() const { return m_windowless; }
    bool IsUIActivated() const { return m_uiActivated; }
    bool IsCaptured() const { return m_captured; }
    bool IsFocused() const { return m_focused; }
    CActiveXWnd* GetActiveXWindow() const { return m_window.get(); }
    void SetFocused(bool focused) { m_focused = focused; }
    // Draws the view object on the owner's rectangle.
    HRESULT DrawView(HDC hDC);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hWnd) override;
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL noRedraw) override;
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override;
    // IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override;
    HRESULT STDMETHODCALLTYPE GetCapture() override;
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) override;
    HRESULT STDMETHODCALLTYPE GetFocus() override;
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL focus) override;
    HRESULT STDMETHODCALLTYPE GetDC(LPCRECT rect, DWORD flags, HDC* hDC) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
    HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL erase) override;
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN region, BOOL erase) override;
    HRESULT STDMETHODCALLTYPE ScrollRect(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT rect) override;
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override;
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL lock) override;
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** control) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg, DWORD modifiers) override;
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL gotFocus) override;
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override;
    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID riid, void** site) override;
    // IOleContainer
    HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** out) override;
    HRESULT STDMETHODCALLTYPE EnumObjects(DWORD flags, IEnumUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE LockContainer(BOOL lock) override;

private:
    // Makes the child window when there is none; its failure result otherwise.
    HRESULT CreateActiveXWindow();
    void DestroyActiveXWindow();
    // Lets the object stop running once it is no longer active here.
    void UnlockRunning();

    using AcceleratorTable = std::unique_ptr<std::remove_pointer_t<HACCEL>, decltype(&::DestroyAcceleratorTable)>;

    CActiveXUI* m_owner;
    std::unique_ptr<CActiveXWnd> m_window;
    ComPtr<IUnknown> m_siteUnknown;
    ComPtr<IViewObject> m_viewObject;
    ComPtr<IOleInPlaceObject> m_inPlaceObject;  // the windowless interface for a windowless object
    ComPtr<IOleObject> m_runningLock;           // the object, while kept running by the activation
    AcceleratorTable m_accelerators{nullptr, &::DestroyAcceleratorTable};
    bool m_locked = false;
    bool m_focused = false;
    bool m_captured = false;
    bool m_uiActivated = false;
    bool m_inPlaceActive = false;
    bool m_windowless = true;
};

} // namespace SkinUI
