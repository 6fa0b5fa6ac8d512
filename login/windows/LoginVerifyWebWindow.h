#pragma once
// CLoginVerifyWebWindow: the modal verify dialog of a login. It shows the sign-in service's
// verification page in an embedded browser (resource skin "WebWindow", XML 137) and tells its
// handler how the verification ended:
//
//   - "BtnClose": OnVerifyCancelled, the window closes;
//   - the page's window.external.NotifyStartEditContent(json) with "result" "0": the window
//     closes and, once its modal loop has ended, OnVerifyTicket(ticket, randstr); any other
//     page message closes it without a ticket;
//   - a page that cannot be loaded: report 207 with code 1, OnVerifyPageFailed, the window closes.
//
// Only the first of these counts. When the native window is gone the handler hears
// OnVerifyWindowDestroyed and deletes the object (without a handler it deletes itself). A
// request while the window is open makes no second window: the open one comes forward on the
// newer page.
//
//   auto* window = new CLoginVerifyWebWindow();
//   window->SetEventHandler(this);
//   window->ShowVerifyPage(owner, title, url);   // the object may be gone on return
#include <windows.h>

#include <string>

#include "login/windows/ILoginVerifyWebWindowEventHandler.h"
#include "login/windows/SkinWindowWrapper.h"

namespace SkinUI {
class CWebBrowserUI;
}

class CLoginVerifyWebWindow : public CSkinWindowWrapper {
public:
    static constexpr int kSkinResourceId = 137;
    static constexpr int kClientWidth = 310;
    static constexpr int kClientHeight = 290;
    static constexpr UINT kCloseResult = 8;
    // Posted to itself once a page result is taken: the browser goes after the page's call.
    static constexpr UINT kPageResultTakenMessage = WM_APP + 20;

    CLoginVerifyWebWindow() = default;

    void SetEventHandler(ILoginVerifyWebWindowEventHandler* handler) { m_handler = handler; }
    // Reports step 206, creates the window owned by `parent` on the page and runs it modally
    // (the owner disabled meanwhile). The object must not be used after this returns. While
    // the window is already open (a request from inside its loop) it only brings that window
    // forward on the page and returns at once.
    void ShowVerifyPage(HWND parent, const std::wstring& title, const std::wstring& url);

    void Notify(SkinUI::NotifyMessage& msg) override;
    void OnWindowDestroyed(HWND hWnd) override;
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // What the page left for the login; it lives in ShowVerifyPage's frame, so that it is still
    // there after the modal loop, when the object may already be gone.
    struct Outcome {
        bool hasTicket = false;
        std::wstring ticket;
        std::wstring randstr;
    };

    // True for the first outcome of this window only.
    bool Decide();
    void OnCloseClicked();
    void OnPageResult(const wchar_t* text);
    void OnPageFailed();
    void AddBrowser();
    // The open window, forward, on the page (when it is another and no outcome came yet).
    void ShowNewPage(const std::wstring& url);

    SkinUI::CWebBrowserUI* m_browser = nullptr;  // owned by "WebView"
    std::wstring m_url;
    std::wstring m_title;
    ILoginVerifyWebWindowEventHandler* m_handler = nullptr;
    Outcome* m_outcome = nullptr;
    bool m_decided = false;
};
