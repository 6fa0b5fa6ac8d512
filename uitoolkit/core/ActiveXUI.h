#pragma once
// CActiveXUI: an OLE control (ActiveX object) inside a skin, tag "ActiveX":
//
//   <ActiveX clsid="{...}" modulename="C:\Game\data\1\plugin.dll" delaycreate="false" />
//
// "clsid" is a class id in braces or a ProgID; "modulename" names the DLL that serves it (only a
// full path inside the program's folder or an allowed game folder is loaded, see
// CActiveXModuleLoader), else the registered server is used. The object is made at the first
// placement (or at once without delayed creation), gets a site (CActiveXCtrl) and is activated in
// place: windowless when it can be, drawn by the control through its view object and fed the
// window's mouse and keyboard messages as a message filter of the window host; otherwise inside a
// child window (CActiveXWnd) that follows the control's place and visibility. Creation sends the
// notification "showactivex".
#include <windows.h>
#include <ole2.h>

#include "foundation/ComPtr.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/NotifyMessage.h"

namespace SkinUI {

class CActiveXCtrl;

class CActiveXUI : public CControlUI, public IMessageFilterUI {
public:
    CActiveXUI();
    ~CActiveXUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // Draws a windowless object; a windowed one paints its own window.
    void Paint(HDC hDC, const RECT& rcDirty) override;
    // Mouse and keyboard messages for a windowless object.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // An all-zero id is refused. Otherwise the object is made at once unless creation is delayed.
    bool SetClsid(const CLSID& clsid);
    const CLSID& GetClsid() const { return m_clsid; }
    void SetModuleName(const wchar_t* module);
    const CUIString& GetModuleName() const { return m_moduleName; }
    void SetDelayCreate(bool delay);
    bool IsDelayCreate() const { return m_delayCreate; }

    // Makes the object afresh; false when it cannot be made or activated.
    bool CreateControl();
    // Closes the object and lets go of it and of the site.
    void ReleaseControl();
    // An interface of the object: E_POINTER for a null out pointer, E_PENDING while there is none.
    HRESULT GetControl(REFIID riid, void** out);

    // The site's side: the object, the window it draws in, the control rectangle in that window.
    IOleObject* GetOleObject() const { return m_object.Get(); }
    HWND GetHostWindow() const { return m_hostWindow; }
    void SetHostWindow(HWND hWnd) { m_hostWindow = hWnd; }
    RECT GetObjectRect() const;
    HWND GetPaintWindow() const;

private:
    CLSID m_clsid = {};
    CUIString m_moduleName;
    bool m_created = false;
    bool m_delayCreate = true;
    ComPtr<IOleObject> m_object;
    ComPtr<CActiveXCtrl> m_site;
    HWND m_hostWindow = nullptr;
};

} // namespace SkinUI
