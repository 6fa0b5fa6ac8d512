#pragma once
// IEBrowserEventHandler: what an embedded browser reports to its owner, each with the calling
// browser first. "Top level" is true when the event comes from the hosted page itself, not from
// a frame inside it. Any call may destroy the browser and its owner; the browser touches nothing
// of its own after a call returns.
#include <windows.h>
#include <oaidl.h>

#include "foundation/ComPtr.h"

class IEmbeddedBrowser;

class IEBrowserEventHandler {
public:
    // Setting cancel refuses the navigation.
    virtual void OnBeforeNavigate(IEmbeddedBrowser* browser, bool topLevel, const wchar_t* url, bool& cancel) = 0;
    virtual void OnNavigateError(IEmbeddedBrowser* browser, bool topLevel, const wchar_t* url, LONG status) = 0;
    virtual void OnNavigateComplete(IEmbeddedBrowser* browser, bool topLevel, const wchar_t* url) = 0;
    // enabled: 0 or non-zero.
    virtual void OnCommandStateChange(IEmbeddedBrowser* browser, LONG command, LONG enabled) = 0;
    virtual void OnTitleChange(IEmbeddedBrowser* browser, const wchar_t* title) = 0;
    // The dispatch interface of a browser that shows the new window; none refuses the window.
    virtual ComPtr<IDispatch> OnNewWindow(IEmbeddedBrowser* browser, DWORD flags, const wchar_t* referrer,
                                          const wchar_t* url) = 0;
    virtual void OnDocumentComplete(IEmbeddedBrowser* browser, bool topLevel, const wchar_t* url) = 0;
    // A call from the page's script through window.external.
    virtual void OnScriptCall(IEmbeddedBrowser* browser, const wchar_t* method, const wchar_t* argument) = 0;

protected:
    ~IEBrowserEventHandler() = default;
};
