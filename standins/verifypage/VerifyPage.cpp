// The verification page's script call, played inside the launcher (see VerifyPage.h).
#include "standins/verifypage/VerifyPage.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "login/windows/IEWebBrowser.h"
#include "login/windows/SkinWindowWrapper.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"
#include "uitoolkit/core/ControlUI.h"

namespace {

SkinUI::CControlUI* CALLBACK IsBrowser(SkinUI::CControlUI* control, void*)
{
    return control->GetInterface(L"WebBrowser") != nullptr ? control : nullptr;
}

// The browser control of a verify window (a skinned dialog, its object in the user data).
SkinUI::CWebBrowserUI* BrowserOf(HWND verifyWindow)
{
    auto* window = reinterpret_cast<SkinUI::CShadowWindowWnd*>(::GetWindowLongPtrW(verifyWindow, GWLP_USERDATA));
    if (window == nullptr)
        return nullptr;
    SkinUI::CControlUI* root = static_cast<CSkinWindowWrapper*>(window)->GetHost().GetRoot();
    SkinUI::CControlUI* found = root != nullptr ? root->FindControl(&IsBrowser, nullptr, 0) : nullptr;
    return found != nullptr ? static_cast<SkinUI::CWebBrowserUI*>(found->GetInterface(L"WebBrowser")) : nullptr;
}

// What the page's script does: window.external.NotifyStartEditContent(json).
void PassPage(HWND verifyWindow)
{
    SkinUI::CWebBrowserUI* control = BrowserOf(verifyWindow);
    if (control == nullptr)
        return;
    const std::wstring json = std::wstring(L"{\"result\":\"0\",\"ticket\":\"") + verifypage::kTicket +
                              L"\",\"randstr\":\"" + verifypage::kRandStr + L"\"}";
    auto* browser = static_cast<CIEWebBrowser*>(control->GetBrowser());
    if (browser == nullptr) {
        // No browser window could be made: the call reaches the control as the browser hands it on.
        control->OnScriptCall(nullptr, L"NotifyStartEditContent", json.c_str());
        return;
    }
    wchar_t method[] = L"NotifyStartEditContent";
    LPOLESTR names[] = {method};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(browser->GetIDsOfNames(names, 1, &id)))
        return;
    VARIANT arg;
    ::VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = ::SysAllocString(json.c_str());
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    VARIANT result;
    ::VariantInit(&result);
    browser->Invoke(id, DISPATCH_METHOD, &params, &result);
    ::VariantClear(&result);
    ::VariantClear(&arg);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK VerifyPageHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT pass = ::RegisterWindowMessageW(verifypage::kPassMessage);
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg != nullptr && msg->message == pass) {
        msg->message = WM_NULL;
        PassPage(msg->hwnd);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
