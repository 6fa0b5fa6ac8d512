#include "login/windows/LoginVerifyWebWindow.h"

#include <cwchar>
#include <memory>
#include <new>

#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"
#include "login/windows/IEWebBrowser.h"
#include "login/windows/VerifyPageResult.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"
#include "uitoolkit/core/ControlUI.h"

namespace {

constexpr uint32_t kReportShown = 206;
constexpr uint32_t kReportPage = 207;
constexpr DWORD kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
constexpr wchar_t kCaptionIconFile[] = L"caption_ico.png";

} // namespace

void CLoginVerifyWebWindow::ShowVerifyPage(HWND parent, const std::wstring& title, const std::wstring& url)
{
    // A request while the window is open: one window a verification, brought forward on the
    // newest page. A second window on this object would share its host and spin both loops.
    if (m_hWnd != nullptr) {
        ShowNewPage(url);
        return;
    }
    // 1. Reported as shown; the page and title are kept for the window's creation.
    LogReport::Instance().Report(kReportShown, 0, "web verify");
    m_url = url;
    m_title = title;

    // 2. A failed creation has already told the handler (which deletes the object).
    m_skin = MAKEINTRESOURCEW(kSkinResourceId);
    m_skinType = L"XML";
    m_className = L"WebWindow";
    m_classStyle = kClassStyle;
    if (Create(parent, L"WebWindow", WS_POPUP, WS_EX_TOPMOST) == nullptr)
        return;
    ResizeClient(kClientWidth, kClientHeight);
    ::SetWindowTextW(m_hWnd, m_title.c_str());

    // 3. The modal loop. Its end destroys the window, and the handler deletes the object then
    // or later: from there on only locals.
    Outcome outcome;
    m_outcome = &outcome;
    ILoginVerifyWebWindowEventHandler* handler = m_handler;
    CWindowWnd::ShowModal();
    if (outcome.hasTicket && handler != nullptr)
        handler->OnVerifyTicket(outcome.ticket, outcome.randstr);
}

void CLoginVerifyWebWindow::ShowNewPage(const std::wstring& url)
{
    if (!url.empty() && url != m_url && !m_decided) {
        m_url = url;
        if (m_browser != nullptr) {
            m_browser->SetUrl(m_url.c_str());
            m_browser->SetPageFinished(false);
        }
    }
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(m_hWnd);
}

LRESULT CLoginVerifyWebWindow::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    const LRESULT built = CSkinWindowWrapper::OnCreate(message, wParam, lParam, handled);
    if (built != 0)
        return built;

    // 1. The game's own caption icon, when it has one; else the skin's stays.
    if (SkinUI::CControlUI* icon = m_host.FindControlByName(L"captionIcon")) {
        const std::wstring skinDir = LaunchParams::Instance().GetCurrentSkinDir();
        if (m_host.AddImageFromDirFile(skinDir.c_str(), kCaptionIconFile) != nullptr)
            icon->SetBkImage(kCaptionIconFile);
    }
    // 2. The title.
    SkinUI::CControlUI* label = m_host.FindControlByName(L"lblTitle");
    if (label != nullptr && !m_title.empty())
        label->SetText(m_title.c_str());
    // 3. The page.
    AddBrowser();
    return 0;
}

void CLoginVerifyWebWindow::AddBrowser()
{
    SkinUI::CControlUI* view = m_host.FindControlByName(L"WebView");
    auto* layout = view != nullptr ? static_cast<SkinUI::CVerticalLayoutUI*>(view->GetInterface(L"VerticalLayout"))
                                   : nullptr;
    if (layout == nullptr)
        return;
    std::unique_ptr<SkinUI::CWebBrowserUI> browser(new (std::nothrow) SkinUI::CWebBrowserUI(&CIEWebBrowser::Make));
    if (browser == nullptr || !layout->Add(browser.get()))
        return;
    m_browser = browser.release();
    // The browser window itself comes with the control's first placement, on this address.
    if (!m_url.empty()) {
        m_browser->SetUrl(m_url.c_str());
        m_browser->SetPageFinished(false);
    }
}

bool CLoginVerifyWebWindow::Decide()
{
    if (m_decided)
        return false;
    m_decided = true;
    return true;
}

void CLoginVerifyWebWindow::Notify(SkinUI::NotifyMessage& msg)
{
    if (msg.type == L"click") {
        if (msg.sender != nullptr && msg.sender->GetName() == L"BtnClose")
            OnCloseClicked();
    } else if (msg.type == L"WebCallClient") {
        const auto* method = reinterpret_cast<const wchar_t*>(msg.wParam);
        if (method != nullptr && std::wcscmp(method, L"NotifyStartEditContent") == 0)
            OnPageResult(reinterpret_cast<const wchar_t*>(msg.lParam));
    } else if (msg.type == L"WebBrowserMsg") {
        if (msg.wParam == SkinUI::kWebBrowserNavigateError)
            OnPageFailed();
        else if (msg.wParam == SkinUI::kWebBrowserDocumentComplete)
            LogReport::Instance().Report(kReportPage, 0, "");
    }
}

void CLoginVerifyWebWindow::OnCloseClicked()
{
    if (!Decide())
        return;
    const mjz::AliveToken::Life life = m_host.GetAliveToken();
    if (m_handler != nullptr)
        m_handler->OnVerifyCancelled();
    if (!life.Ended())
        Close(kCloseResult);
}

void CLoginVerifyWebWindow::OnPageFailed()
{
    if (!Decide())
        return;
    LogReport::Instance().Report(kReportPage, 1, "");
    const mjz::AliveToken::Life life = m_host.GetAliveToken();
    if (m_handler != nullptr)
        m_handler->OnVerifyPageFailed();
    if (!life.Ended())
        Close(kCloseResult);
}

void CLoginVerifyWebWindow::OnPageResult(const wchar_t* text)
{
    if (!Decide())
        return;
    // 1. The ticket is kept for the login, which gets it after the modal loop.
    VerifyPageResult result;
    if (text != nullptr && VerifyPageResult::Parse(text, result) && result.IsSuccess() && m_outcome != nullptr) {
        m_outcome->hasTicket = true;
        m_outcome->ticket = std::move(result.ticket);
        m_outcome->randstr = std::move(result.randstr);
    }
    // 2. This runs inside the page's own script call: the browser is only hidden now, and
    // destroyed with the window once the call has returned.
    if (m_browser != nullptr)
        m_browser->SetVisible(false);
    PostMessage(kPageResultTakenMessage);
}

LRESULT CLoginVerifyWebWindow::HandleCustomMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/, bool& handled)
{
    if (message != kPageResultTakenMessage)
        return 0;
    handled = true;
    IEmbeddedBrowser* browser = m_browser != nullptr ? m_browser->GetBrowser() : nullptr;
    if (browser != nullptr && ::IsWindow(browser->GetHWND()))
        ::DestroyWindow(browser->GetHWND());
    Close(kCloseResult);
    return 0;
}

void CLoginVerifyWebWindow::OnWindowDestroyed(HWND /*hWnd*/)
{
    m_outcome = nullptr;
    UnhookFromHost();
    if (IsBeingDestroyed())
        return;  // its owner is deleting it right now
    // Last: the handler deletes the object.
    if (m_handler != nullptr)
        m_handler->OnVerifyWindowDestroyed();
    else
        delete this;
}
