#include "login/windows/LoginView.h"

#include <cwchar>
#include <new>

#include "launcher/LaunchParams.h"
#include "login/DecimalText.h"
#include "login/ILoginEventHandler.h"
#include "login/Login.h"
#include "login/LoginInfoBlock.h"
#include "login/OmbrelLauncherAccountStorager.h"
#include "login/SSODataProvider.h"
#include "login/windows/LoginViewHelpers.h"
#include "login/windows/PVAListItemEx.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/EditUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/core/ControlUI.h"

using SkinUI::CControlUI;
using SkinUI::NotifyMessage;
using namespace LoginViewHelpers;

namespace {

// The account text of the password page is filled only once per process.
bool g_accountComboFilled = false;

} // namespace

// ---- pages ------------------------------------------------------------------------------------

void LoginView::ShowQuickLoginPage()
{
    if (controls_.pvaLogin == nullptr || controls_.pwdLogin == nullptr)
        return;
    controls_.pvaLogin->SetVisible(true);
    controls_.pwdLogin->SetVisible(false);
    Focus(controls_.btnPvaLogin);
    if (IsSelected(controls_.agree2) && !autoLoginArmed_ && m_hWnd != nullptr) {
        ::SetTimer(m_hWnd, kAutoLoginTimerId, kAutoLoginIntervalMs, nullptr);
        autoLoginArmed_ = true;
        autoLoginTicks_ = 0;
    }
}

void LoginView::ShowPasswordPage()
{
    Show(controls_.pvaLogin, false);
    StopAutoLogin();
    Show(controls_.pwdLogin, true);
    if (!g_accountComboFilled) {
        g_accountComboFilled = true;
        if (!alive_.Survives([this] { FillAccountCombo(); }))
            return;
        if (controls_.accountEdit != nullptr && controls_.accountCombo != nullptr) {
            const std::wstring text = TextOf(controls_.accountCombo);
            if (!text.empty())
                controls_.accountEdit->SetText(text.c_str());
        }
    }
    Focus(controls_.loginBtn);
}

void LoginView::FillAccountCombo()
{
    SkinUI::CComboUI* combo = controls_.accountCombo;
    if (combo == nullptr)
        return;
    const uint32_t appId = LaunchParams::Instance().appId;
    for (const UsedAccount& account : OmbrelLauncherAccountStorager::GetInstance().GetAccounts(appId)) {
        const std::wstring text = FormatUInt64W(account.accountNumber);
        if (text.empty())
            continue;
        auto* item = new (std::nothrow) SkinUI::CListLabelElementUI();
        if (item == nullptr)
            continue;
        item->SetText(text.c_str());
        item->SetVisible(true);
        if (!combo->Add(item))
            delete item;
    }
    if (!alive_.Survives([combo] { combo->SelectItem(0, true); }))
        return;
    const std::wstring text = TextOf(combo);
    if (controls_.accountEdit != nullptr)
        controls_.accountEdit->SetText(text.c_str());
    if (LoginInfoBlock::GetInstance().SetLoginInput(text.c_str(), false) != 0)
        ShowSavedPassword();
    combo->SelectItem(-1, true);
}

void LoginView::ShowSavedPassword()
{
    if (controls_.pwdEdit == nullptr)
        return;
    const AccountSlot* slot = LoginInfoBlock::GetInstance().currentSlot;
    if (slot != nullptr && slot->rememberPassword != 0) {
        passwordEdited_ = 0;
        controls_.pwdEdit->SetText(kSavedPasswordMask);
    } else {
        controls_.pwdEdit->SetText(L"");
    }
}

void LoginView::RefreshAccountPlaceholder()
{
    SkinUI::CEditUI* edit = controls_.accountEdit;
    if (!IsShown(controls_.pwdLogin) || edit == nullptr)
        return;
    const std::wstring text = TextOf(edit);
    if (text.empty() && !edit->IsFocused()) {
        edit->SetText(kAccountPlaceholder);
        edit->SetEnableCaption(true);
    } else if (text != kAccountPlaceholder) {
        edit->SetEnableCaption(false);
    }
}

void LoginView::ShowErrorText(const wchar_t* text)
{
    if (text == nullptr || text[0] == L'\0' || controls_.lblError == nullptr)
        return;
    controls_.lblError->SetText(text);
    controls_.lblError->SetVisible(true);
}

void LoginView::HideErrorLabel()
{
    Show(controls_.lblError, false);
}

void LoginView::ShowPage(CControlUI* shown)
{
    CControlUI* pages[] = {controls_.errorContainer, controls_.verifyContainer, controls_.loginContainer};
    for (CControlUI* page : pages) {
        if (page == nullptr)
            return;  // a page switch needs all three
    }
    for (CControlUI* page : pages)
        page->SetVisible(page == shown);
}

void LoginView::BackToLoginPage()
{
    ShowPage(controls_.loginContainer);
    if (controls_.loginContainer != nullptr)
        controls_.loginContainer->SetEnabled(true);
    if (IsShown(controls_.loginBtn))
        Focus(controls_.loginBtn);
    else if (IsShown(controls_.btnPvaLogin))
        Focus(controls_.btnPvaLogin);
}

CPVAListItemEx* LoginView::FindRow(CControlUI* root) const
{
    const auto found = rows_.find(root);
    return found != rows_.end() ? found->second.get() : nullptr;
}

void LoginView::ClearRows()
{
    // The list deletes the rows' controls; the row objects must not delete them again.
    for (auto& row : rows_)
        row.second->ReleaseRoot();
    if (controls_.listPva != nullptr)
        controls_.listPva->RemoveAll();
    rows_.clear();
}

void LoginView::RebuildRows(const SSOAccountTable& table)
{
    const uint32_t count = table.count < SSOAccountTable::kMaxEntries ? table.count : SSOAccountTable::kMaxEntries;
    for (uint32_t i = 0; i < count; ++i) {
        const SSOAccountEntry& entry = table.entries[i];
        PVAAccountRecord record;
        record.accountNumber = entry.accountNumber;
        record.value = entry.reserved;
        record.accountText.assign(entry.accountValue, wcsnlen(entry.accountValue, SSOAccountEntry::kAccountValueUnits));
        record.faceImage = kDefaultFace;
        record.nickName.assign(entry.nickName, wcsnlen(entry.nickName, SSOAccountEntry::kNickNameUnits));
        auto row = std::make_unique<CPVAListItemEx>(&host_, record);
        CControlUI* root = row->Build();
        if (root == nullptr)
            continue;
        row->FormatFaceImageAttr(record.faceImage.c_str());
        rows_[root] = std::move(row);
        if (!controls_.listPva->Add(root))
            rows_.erase(root);  // the row still owns (and deletes) its controls
    }
    // The first row stands selected, so that its button and the automatic login have a row.
    if (controls_.listPva->GetCount() > 0 && controls_.listPva->GetCurSel() < 0)
        controls_.listPva->SelectItem(0, false);
}
