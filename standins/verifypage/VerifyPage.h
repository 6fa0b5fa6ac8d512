#pragma once
// Stand-in for the sign-in service's verification page, for tests of the real launcher. Wine has
// no HTML engine, so no page script runs in the verify window's browser. A test hooks this
// library into the launcher's UI thread and posts kPassMessage to the verify window; the hook
// then does what the page's script does once the user has passed the check: it calls
// window.external.NotifyStartEditContent on the window's browser with
//   {"result":"0","ticket":"<kTicket>","randstr":"<kRandStr>"}
//
//   HMODULE page = LoadLibraryW(L"VerifyPage.dll");
//   HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, (HOOKPROC)GetProcAddress(page, kHookName), page, uiThread);
//   PostMessageW(verifyWindow, RegisterWindowMessageW(kPassMessage), 0, 0);
namespace verifypage {

constexpr wchar_t kPassMessage[] = L"OmbrelVerifyPagePass";
constexpr char kHookName[] = "VerifyPageHook";
constexpr wchar_t kTicket[] = L"e2e-ticket-7f3a";
constexpr wchar_t kRandStr[] = L"e2e-rand-51c9";

} // namespace verifypage
