#include "uitoolkit/controls/custom/WebBrowserUI.h"

#include <objbase.h>
#include <shellapi.h>

#include <atomic>
#include <cwchar>
#include <new>
#include <string>

#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

constexpr wchar_t kWebBrowserMsg[] = L"WebBrowserMsg";
constexpr wchar_t kWebCallClient[] = L"WebCallClient";
constexpr wchar_t kBlankPage[] = L"about:blank";
constexpr wchar_t kSecureScheme[] = L"https://";
constexpr LONG kCommandForward = 1;  // CSC_NAVIGATEFORWARD
constexpr LONG kCommandBack = 2;     // CSC_NAVIGATEBACK

void OpenInShell(const wchar_t* url)
{
    ::ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

std::atomic<CWebBrowserUI::ShellOpener> g_shellOpener{&OpenInShell};

// Events about no page at all are not reported.
bool IsPageAddress(const wchar_t* url)
{
    return url != nullptr && url[0] != L'\0' && std::wcscmp(url, kBlankPage) != 0;
}

// Only a secure address goes to the shell, and only one that cannot break out of the quotes a
// protocol handler's command line puts around it.
bool IsShellSafeAddress(const wchar_t* url)
{
    const size_t schemeLength = std::wcslen(kSecureScheme);
    if (url == nullptr || std::wcsncmp(url, kSecureScheme, schemeLength) != 0 || url[schemeLength] == L'\0')
        return false;
    for (const wchar_t* p = url; *p != L'\0'; ++p) {
        if (*p < 0x20 || *p == 0x7F || *p == L'"' || *p == L'\'')
            return false;
    }
    return true;
}

struct ShellOpenJob {
    std::wstring url;
    CWebBrowserUI::ShellOpener open;
};

DWORD WINAPI RunShellOpen(LPVOID param)
{
    std::unique_ptr<ShellOpenJob> job(static_cast<ShellOpenJob*>(param));
    // The shell may start COM servers for the protocol handler.
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    job->open(job->url.c_str());
    if (SUCCEEDED(hr))
        ::CoUninitialize();
    return 0;
}

void QueueShellOpen(const wchar_t* url)
{
    std::unique_ptr<ShellOpenJob> job(new (std::nothrow) ShellOpenJob);
    if (!job)
        return;
    try {
        job->url = url;
    } catch (const std::bad_alloc&) {
        return;
    }
    job->open = g_shellOpener.load();
    if (::QueueUserWorkItem(&RunShellOpen, job.get(), WT_EXECUTEDEFAULT))
        job.release();  // the work item owns it now
}

} // namespace

CWebBrowserUI::CWebBrowserUI(EmbeddedBrowserFactory makeBrowser) : m_makeBrowser(makeBrowser) {}

// The browser reports nothing more to a control that is going away.
CWebBrowserUI::~CWebBrowserUI()
{
    if (m_browser) {
        m_browser->SetEventHandler(nullptr);
        m_browser.reset();
    }
}

const wchar_t* CWebBrowserUI::GetClass() const { return L"WebBrowserUI"; }

void* CWebBrowserUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"WebBrowser") == 0)
        return static_cast<CWebBrowserUI*>(this);
    return CControlUI::GetInterface(name);
}

void CWebBrowserUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    if (!m_browser) {
        CreateBrowser();
        return;
    }
    HWND hWnd = m_browser->GetHWND();
    if (hWnd == nullptr)
        return;
    const UINT show = ::IsWindowVisible(hWnd) ? SWP_SHOWWINDOW : 0;
    ::SetWindowPos(hWnd, nullptr, m_rcItem.left, m_rcItem.top, m_rcItem.right - m_rcItem.left,
                   m_rcItem.bottom - m_rcItem.top, SWP_NOZORDER | SWP_NOACTIVATE | show);
}

void CWebBrowserUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    HWND hWnd = m_browser ? m_browser->GetHWND() : nullptr;
    if (hWnd != nullptr)
        ::ShowWindow(hWnd, visible ? SW_SHOW : SW_HIDE);
}

void CWebBrowserUI::SetFocus()
{
    if (!Survives([this] { CControlUI::SetFocus(); }))  // focus notifications run here
        return;
    if (m_browser)
        m_browser->FocusBrowserWindow();
}

void CWebBrowserUI::Paint(HDC, const RECT&) {}

// The navigation comes last: its first events reach the listeners at once and may delete this
// control.
bool CWebBrowserUI::CreateBrowser()
{
    if (m_browser || m_host == nullptr || !::IsWindow(m_host->GetPaintWindow()) || m_makeBrowser == nullptr)
        return false;
    m_browser = m_makeBrowser();
    if (!m_browser)
        return false;
    m_browser->SetEventHandler(this);
    HWND hWnd = m_browser->Create(m_host->GetPaintWindow(), m_rcItem);
    if (hWnd == nullptr)
        return false;  // kept, so that a failing browser is not made again at every placement
    ::ShowWindow(hWnd, SW_SHOW);
    const bool navigate = !m_url.IsEmpty();
    if (navigate)
        m_pageFinished = false;
    m_host->SendNotify(this, kWebBrowserMsg, kWebBrowserCreated, 1, true);
    if (navigate)
        m_browser->Navigate(m_url);
    return true;
}

void CWebBrowserUI::SetUrl(const wchar_t* url)
{
    m_url = url != nullptr ? url : L"";
    if (m_browser)
        m_browser->Navigate(m_url);
}

void CWebBrowserUI::SetShellOpener(ShellOpener open)
{
    g_shellOpener = open != nullptr ? open : &OpenInShell;
}

// ---- browser events ---------------------------------------------------------------------------

void CWebBrowserUI::NotifyNavigation(WPARAM code, bool topLevel, const wchar_t* url, LONG status)
{
    if (m_host == nullptr)
        return;
    WebNavigateRecord record = {url, topLevel ? 1 : 0, status};
    m_host->SendNotify(this, kWebBrowserMsg, code, reinterpret_cast<LPARAM>(&record));
}

// The navigation is never refused.
void CWebBrowserUI::OnBeforeNavigate(IEmbeddedBrowser*, bool topLevel, const wchar_t* url, bool&)
{
    if (IsPageAddress(url))
        NotifyNavigation(kWebBrowserBeforeNavigate, topLevel, url, 0);
}

void CWebBrowserUI::OnNavigateError(IEmbeddedBrowser*, bool topLevel, const wchar_t* url, LONG status)
{
    if (!IsPageAddress(url))
        return;
    if (topLevel)
        m_pageFinished = true;
    NotifyNavigation(kWebBrowserNavigateError, topLevel, url, status);
}

void CWebBrowserUI::OnNavigateComplete(IEmbeddedBrowser*, bool topLevel, const wchar_t* url)
{
    if (IsPageAddress(url))
        NotifyNavigation(kWebBrowserNavigateComplete, topLevel, url, 0);
}

void CWebBrowserUI::OnDocumentComplete(IEmbeddedBrowser*, bool topLevel, const wchar_t* url)
{
    if (!IsPageAddress(url))
        return;
    if (topLevel)
        m_pageFinished = true;
    NotifyNavigation(kWebBrowserDocumentComplete, topLevel, url, 0);
}

void CWebBrowserUI::OnCommandStateChange(IEmbeddedBrowser*, LONG command, LONG enabled)
{
    if (command == kCommandBack)
        m_backEnabled = enabled != 0 ? 1 : 0;
    else if (command == kCommandForward)
        m_forwardEnabled = enabled != 0 ? 1 : 0;
    else
        return;
    if (m_host == nullptr)
        return;
    WebHistoryRecord record = {m_forwardEnabled, m_backEnabled};
    m_host->SendNotify(this, kWebBrowserMsg, kWebBrowserCommandState, reinterpret_cast<LPARAM>(&record));
}

void CWebBrowserUI::OnTitleChange(IEmbeddedBrowser*, const wchar_t* title)
{
    if (title != nullptr && m_host != nullptr)
        m_host->SendNotify(this, kWebBrowserMsg, kWebBrowserTitleChange, reinterpret_cast<LPARAM>(title));
}

// No browser window ever opens: the request is refused, and a secure address goes to the shell.
ComPtr<IDispatch> CWebBrowserUI::OnNewWindow(IEmbeddedBrowser*, DWORD, const wchar_t*, const wchar_t* url)
{
    if (IsPageAddress(url) && IsShellSafeAddress(url))
        QueueShellOpen(url);
    return nullptr;
}

void CWebBrowserUI::OnScriptCall(IEmbeddedBrowser*, const wchar_t* method, const wchar_t* argument)
{
    if (method == nullptr || method[0] == L'\0' || m_host == nullptr)
        return;
    m_host->SendNotify(this, kWebCallClient, reinterpret_cast<WPARAM>(method),
                       reinterpret_cast<LPARAM>(argument != nullptr ? argument : L""));
}

} // namespace SkinUI
