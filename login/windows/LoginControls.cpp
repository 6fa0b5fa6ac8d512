#include "login/windows/LoginControls.h"

#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace {

template <class T>
struct Binding {
    const wchar_t* name;
    T* LoginControls::*field;
};

// The skin's names, by the kind of control the dialog needs behind each.
const Binding<SkinUI::CControlUI> kPlain[] = {
    {L"PVALogin", &LoginControls::pvaLogin},
    {L"PWDLogin", &LoginControls::pwdLogin},
    {L"LoginContainter", &LoginControls::loginContainer},
    {L"LoginErrorContainer", &LoginControls::errorContainer},
    {L"VerifyCodeContainer", &LoginControls::verifyContainer},
    {L"btnPVALogin", &LoginControls::btnPvaLogin},
    {L"loginBtn", &LoginControls::loginBtn},
    {L"lblError", &LoginControls::lblError},
    {L"redtErrorInfo", &LoginControls::errorInfo},
    {L"btnErrorOK", &LoginControls::btnErrorOk},
};
const Binding<SkinUI::CEditUI> kEdits[] = {
    {L"accountedit", &LoginControls::accountEdit},
    {L"pwdedit", &LoginControls::pwdEdit},
    {L"edtVerifyCode", &LoginControls::verifyCode},
};
// A "CheckButton" is an option too.
const Binding<SkinUI::COptionUI> kOptions[] = {
    {L"btnSavePWD", &LoginControls::savePwd},
    {L"btnAutoLogin", &LoginControls::autoLogin},
    {L"checkboxAgreeLicense", &LoginControls::agree},
    {L"checkboxAgreeLicense2", &LoginControls::agree2},
};
const Binding<SkinUI::CComboUI> kCombos[] = {{L"accountcombo", &LoginControls::accountCombo}};
const Binding<SkinUI::CListUI> kLists[] = {{L"ListPVA", &LoginControls::listPva}};

// `iface`: the interface the control must answer; null takes any control.
template <class T, size_t N>
void BindAll(SkinUI::CWindowHostUI& host, LoginControls& controls, const Binding<T> (&table)[N],
             const wchar_t* iface)
{
    for (const Binding<T>& binding : table) {
        SkinUI::CControlUI* control = host.FindControlByName(binding.name);
        void* typed = control;
        if (control != nullptr && iface != nullptr)
            typed = control->GetInterface(iface);
        controls.*binding.field = static_cast<T*>(typed);
    }
}

} // namespace

void LoginControls::Bind(SkinUI::CWindowHostUI& host)
{
    BindAll(host, *this, kPlain, nullptr);
    BindAll(host, *this, kEdits, L"Edit");
    BindAll(host, *this, kOptions, L"Option");
    BindAll(host, *this, kCombos, L"Combo");
    BindAll(host, *this, kLists, L"List");
}
