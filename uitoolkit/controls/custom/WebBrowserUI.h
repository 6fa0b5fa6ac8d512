#pragma once
// CWebBrowserUI: a web page in a toolkit window. The control owns an embedded browser window
// (made by the factory it is given, on its first placement inside a live window), keeps that
// window on the control's rectangle and visibility, and turns the browser's events and the page's
// script calls into notifications of the window host:
//
//   "WebBrowserMsg"  wParam: a WebBrowserMsgCode; lParam: as the code says
//   "WebCallClient"  wParam: the method name (const wchar_t*); lParam: the argument text
//
// Events about no page ("about:blank" or no address) are not reported. Pages never open browser
// windows: a new-window request is refused, and an "https://" address goes to the system shell.
// The records behind lParam live only during the (synchronous) notification.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "uitoolkit/controls/custom/IEBrowserEventHandler.h"
#include "uitoolkit/controls/custom/IEmbeddedBrowser.h"
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

// wParam of "WebBrowserMsg".
enum WebBrowserMsgCode : WPARAM {
    kWebBrowserCreated = 0,           // queued once the browser window exists; lParam 1
    kWebBrowserBeforeNavigate = 2,    // lParam: WebNavigateRecord*
    kWebBrowserTitleChange = 3,       // lParam: the title text
    kWebBrowserNavigateComplete = 4,  // lParam: WebNavigateRecord*
    kWebBrowserNavigateError = 6,     // lParam: WebNavigateRecord* with the status code
    kWebBrowserCommandState = 7,      // lParam: WebHistoryRecord*
    kWebBrowserDocumentComplete = 10, // lParam: WebNavigateRecord*
};

struct WebNavigateRecord {
    const wchar_t* url;
    int32_t topLevel;  // 0 or 1
    int32_t status;    // 0 unless a navigation error
};

struct WebHistoryRecord {
    int32_t forwardEnabled;
    int32_t backEnabled;
};

class CWebBrowserUI : public CControlUI, public IEBrowserEventHandler {
public:
    explicit CWebBrowserUI(EmbeddedBrowserFactory makeBrowser);
    ~CWebBrowserUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetFocus() override;
    // The browser window paints itself.
    void Paint(HDC hDC, const RECT& rcDirty) override;

    // Makes the browser window once the control is in a live window; false when a browser exists
    // already or there is no live window yet (the next SetPos tries again).
    bool CreateBrowser();
    // The page address; navigated at once when the browser exists.
    void SetUrl(const wchar_t* url);
    const CUIString& GetUrl() const { return m_url; }
    // Set when the top-level page completes or fails; cleared when a page is asked for.
    bool IsPageFinished() const { return m_pageFinished; }
    void SetPageFinished(bool finished) { m_pageFinished = finished; }
    IEmbeddedBrowser* GetBrowser() const { return m_browser.get(); }

    // Opens a secure new-window address outside the program; runs on a thread-pool thread with
    // COM initialised. The system shell by default; tests put their own.
    using ShellOpener = void (*)(const wchar_t* url);
    static void SetShellOpener(ShellOpener open);

    // IEBrowserEventHandler
    void OnBeforeNavigate(IEmbeddedBrowser* browser, bool topLevel, const wchar_t* url, bool& cancel) override;
    void OnNavigateError(IEmbeddedBrowser* browser, bool topLevel, const wchar_t* url, LONG status) override;
    void OnNavigateComplete(IEmbeddedBrowser* browser, bool topLevel, const wchar_t* url) override;
    void OnCommandStateChange(IEmbeddedBrowser* browser, LONG command, LONG enabled) override;
    void OnTitleChange(IEmbeddedBrowser* browser, const wchar_t* title) override;
    ComPtr<IDispatch> OnNewWindow(IEmbeddedBrowser* browser, DWORD flags, const wchar_t* referrer,
                                  const wchar_t* url) override;
    void OnDocumentComplete(IEmbeddedBrowser* browser, bool topLevel, const wchar_t* url) override;
    void OnScriptCall(IEmbeddedBrowser* browser, const wchar_t* method, const wchar_t* argument) override;

private:
    void NotifyNavigation(WPARAM code, bool topLevel, const wchar_t* url, LONG status);

    EmbeddedBrowserFactory m_makeBrowser;
    std::shared_ptr<IEmbeddedBrowser> m_browser;
    CUIString m_url;
    int32_t m_backEnabled = 0;
    int32_t m_forwardEnabled = 0;
    bool m_pageFinished = false;
};

} // namespace SkinUI
