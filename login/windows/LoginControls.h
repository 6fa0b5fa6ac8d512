#pragma once
// The controls of "LoginWindowEx.xml" that the login dialog works with, looked up by name once the
// skin is built. Every one may be missing (null): a skin names only what it shows. A control of
// the wrong kind for its name counts as missing.
namespace SkinUI {
class CComboUI;
class CControlUI;
class CEditUI;
class CListUI;
class COptionUI;
class CWindowHostUI;
} // namespace SkinUI

struct LoginControls {
    // Pages and containers.
    SkinUI::CControlUI* pvaLogin = nullptr;          // "PVALogin": quick-login page
    SkinUI::CControlUI* pwdLogin = nullptr;          // "PWDLogin": password page
    SkinUI::CControlUI* loginContainer = nullptr;    // "LoginContainter": both pages
    SkinUI::CControlUI* errorContainer = nullptr;    // "LoginErrorContainer": failure page
    SkinUI::CControlUI* verifyContainer = nullptr;   // "VerifyCodeContainer": code page
    // Quick login.
    SkinUI::CListUI* listPva = nullptr;              // "ListPVA"
    SkinUI::CControlUI* btnPvaLogin = nullptr;       // "btnPVALogin"
    // Password login.
    SkinUI::CComboUI* accountCombo = nullptr;        // "accountcombo"
    SkinUI::CEditUI* accountEdit = nullptr;          // "accountedit"
    SkinUI::CEditUI* pwdEdit = nullptr;              // "pwdedit"
    SkinUI::COptionUI* savePwd = nullptr;            // "btnSavePWD"
    SkinUI::COptionUI* autoLogin = nullptr;          // "btnAutoLogin"
    SkinUI::CControlUI* loginBtn = nullptr;          // "loginBtn"
    SkinUI::CControlUI* lblError = nullptr;          // "lblError"
    // Agreement accepted: for the password login, for the quick login.
    SkinUI::COptionUI* agree = nullptr;              // "checkboxAgreeLicense"
    SkinUI::COptionUI* agree2 = nullptr;             // "checkboxAgreeLicense2"
    // Failure and verification.
    SkinUI::CControlUI* errorInfo = nullptr;         // "redtErrorInfo"
    SkinUI::CControlUI* btnErrorOk = nullptr;        // "btnErrorOK"
    SkinUI::CEditUI* verifyCode = nullptr;           // "edtVerifyCode"

    // Looks every name up in the host's tree (null when absent or of another kind).
    void Bind(SkinUI::CWindowHostUI& host);
};
