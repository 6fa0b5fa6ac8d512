#pragma once
// CIEWebBrowser: a child window that hosts the platform's web browser control (in a container
// window of class "AtlAxWin120", through the site CWebBrowserHost). It turns the browser's
// DWebBrowserEvents2 events into IEBrowserEventHandler calls and offers the page window.external
// (ICustomDispatch), whose calls reach the same handler:
//
//   window.external.NotifyPageLoaded()              -> OnScriptCall("NotifyPageLoaded", "")
//   window.external.NotifyStartEditContent("text")  -> OnScriptCall("NotifyStartEditContent", "text")
//   window.external.close()                         -> OnScriptCall("close", "")
//   window.external.TestJsFunc()                    -> resolves and does nothing
//
// Each call answers true. The web-browser control (CWebBrowserUI) makes it through Make.
#include <windows.h>
#include <exdisp.h>

#include <memory>

#include "foundation/ComPtr.h"
#include "login/windows/ICustomDispatch.h"
#include "uitoolkit/controls/custom/IEBrowserEventHandler.h"
#include "uitoolkit/controls/custom/IEmbeddedBrowser.h"
#include "uitoolkit/core/AxContainerWnd.h"
#include "uitoolkit/core/DispEventSink.h"
#include "uitoolkit/core/DispatchTarget.h"

class CIEWebBrowser : public SkinUI::CAxContainerWnd, public IEmbeddedBrowser, public SkinUI::IDispatchTarget {
public:
    CIEWebBrowser() = default;
    ~CIEWebBrowser() override;

    // The factory the web-browser control takes.
    static std::shared_ptr<IEmbeddedBrowser> Make();

    // IEmbeddedBrowser
    void SetEventHandler(IEBrowserEventHandler* handler) override { m_handler = handler; }
    // Once per process this initialises OLE (the container registers its class). The window is a
    // hidden child (WS_CHILD | WS_CLIPCHILDREN); its owner shows it.
    HWND Create(HWND parent, const RECT& rc) override;
    HWND GetHWND() const override { return m_hWnd; }
    void Navigate(const wchar_t* url) override;
    // The page's window ("Shell Embedding" > "Shell DocObject View" > "Internet Explorer_Server"),
    // or a Flash player inside it, gets the keyboard focus; nothing when the chain is broken.
    void FocusBrowserWindow() override;

    IWebBrowser2* GetWebBrowser() const { return m_webBrowser.Get(); }

    // Both dispatch faces, window.external and the browser-event sink: the script's names and
    // calls, and the browser's events.
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) override;
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) override;

protected:
    ComPtr<SkinUI::CAxClientSite> MakeSite() override;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND hWnd) override;

private:
    LRESULT OnCreate();
    HRESULT OnScriptCall(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result);
    HRESULT OnBrowserEvent(DISPID id, DISPPARAMS* params);
    bool IsTopLevel(IDispatch* source) const;

    // One handler per browser event, each reading its arguments in declaration order.
    void OnBeforeNavigate2(DISPPARAMS* params);
    void OnNavigateError(DISPPARAMS* params);
    void OnNavigateComplete2(DISPPARAMS* params);
    void OnDocumentComplete(DISPPARAMS* params);
    void OnTitleChange(DISPPARAMS* params);
    void OnCommandStateChange(DISPPARAMS* params);
    void OnNewWindow3(DISPPARAMS* params);

    struct BrowserEvent {
        DISPID id;
        UINT argCount;
        void (CIEWebBrowser::*handle)(DISPPARAMS* params);
    };
    static const BrowserEvent kBrowserEvents[];

    RECT m_rcPos = {0, 0, 0, 0};
    HWND m_hParent = nullptr;
    ComPtr<IWebBrowser2> m_webBrowser;
    ComPtr<IOleInPlaceActiveObject> m_inPlaceActive;
    IEBrowserEventHandler* m_handler = nullptr;
    ComPtr<SkinUI::CDispEventSink> m_sink;
    ComPtr<ICustomDispatch> m_external;
};
