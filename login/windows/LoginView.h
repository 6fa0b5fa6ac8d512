#pragma once
// LoginView: the launcher's login dialog. Its face is the game's skin "LoginWindowEx.xml" (in the
// skin folder of the game data); its window sits on a layered frame (CFrameView) that shows the
// skin's "background.png" with soft edges and the caption buttons, and keeps the dialog at the
// offset of skin\Display.ini. Two pages: quick login with the accounts the sign-in library
// remembers (rows of "PVAListItem.xml"), and a password page. The dialog checks the input, signs
// in through the login controller's provider, shows the failure page or the verification steps,
// reports its steps, remembers the account, and tells its owner (ILoginEventHandler).
//
//   LoginView* view = new LoginView();   // owned by the launcher's login handler
//   view->SetOwner(handler);
//   view->CreateLoginWindow();           // shows frame and dialog
//
// The dialog's window is a popup owned by the frame that takes the child style once created, so
// that it moves with the frame and stays above it. Every control of the skin is optional.
// When the window is gone the owner hears CloseLoginView and deletes the dialog.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/AliveToken.h"
#include "login/LoginEvent.h"
#include "login/windows/ButtonEvent.h"
#include "login/windows/ILoginVerifyWebWindowEventHandler.h"
#include "login/windows/LoginControls.h"
#include "login/windows/LoginRecord.h"
#include "login/windows/LoginSiteLinks.h"
#include "login/windows/PasswordDigest.h"
#include "uitoolkit/core/IDialogBuilderCallback.h"
#include "uitoolkit/core/NotifyMessage.h"
#include "uitoolkit/core/WindowHostUI.h"
#include "uitoolkit/core/WindowWnd.h"

class CFrameView;
class CLoginVerifyWebWindow;
class CPVAListItemEx;
class ILoginEventHandler;

class LoginView : public SkinUI::CWindowWnd,
                  public SkinUI::INotifyUI,
                  public SkinUI::IDialogBuilderCallback,
                  public ILoginEvent,
                  public IButtonEvent,
                  public ILoginVerifyWebWindowEventHandler {
public:
    static constexpr DWORD kWindowStyle = 0x96C80000;  // popup, visible, clip, caption, system menu
    static constexpr UINT_PTR kAutoLoginTimerId = 28;
    static constexpr UINT kAutoLoginIntervalMs = 1000;
    static constexpr uint32_t kAutoLoginTicks = 5;
    static constexpr UINT kCloseRequest = WM_USER + 100;  // the frame's close
    static constexpr UINT kShowRequest = WM_USER + 101;
    static constexpr wchar_t kAccountPlaceholder[] = L"Kwi号/手机/邮箱";
    static constexpr wchar_t kSavedPasswordMask[] = L"************";
    static constexpr wchar_t kDefaultFace[] = L"default_face.png";
    // The failure code of a login that could not even be sent (no sign-in library).
    static constexpr int32_t kErrorLoginNotSent = -1;

    LoginView();
    ~LoginView() override;

    void SetOwner(ILoginEventHandler* owner) { owner_ = owner; }
    // Makes the frame and the window, binds the skin's controls, starts the sign-in provider,
    // picks the page and shows frame and dialog. Nothing shows when the skin gave no window
    // (IsCreated() tells).
    void CreateLoginWindow();
    // Whether the window stands, built from the skin.
    bool IsCreated() const { return m_hWnd != nullptr && host_.GetRoot() != nullptr; }

    // ---- window ----
    const wchar_t* GetWindowClass() const override { return L"LoginDlg"; }
    // The dialog's message handling; what it leaves goes to the host, then to the window base.
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Leaves the host's listeners, makes the exit request after the user's close, and asks the
    // owner to delete the dialog (last: the object is gone afterwards).
    void OnWindowDestroyed(HWND hWnd) override;
    // The skin's "background.png" as a premultiplied GDI+ bitmap, made once; null without one.
    virtual Gdiplus::Bitmap* GetBackgroundBitmap();

    // ---- skin ----
    void Notify(SkinUI::NotifyMessage& msg) override;
    SkinUI::CControlUI* CreateControl(const wchar_t* tagName) override;

    // ---- login events ----
    void OnLoginSuccess(const wchar_t* account, const _tagKwiSERVERLOGININFO* server,
                        const _tagKwiBASEUSERINFO* user) override;
    void OnLoginFailed(const wchar_t* account, int32_t code, const wchar_t* reason, uint32_t reserved) override;
    void OnEvent2(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override {}
    void OnAccountListChanged(const SSOAccountTable* table) override;
    void OnAccountListEmpty() override {}
    void OnAccountListReloaded(const SSOAccountTable* table) override { OnAccountListChanged(table); }
    // Runs the verify web window modally; the ticket it brings goes to the provider afterwards.
    void OnVerifyCodeRequired(const wchar_t* pageUrl, uint64_t accountNumber) override;

    // ---- frame buttons ----
    void OnButtonEvent(ButtonEvent& event) override;

    // ---- verify web window ----
    void OnVerifyWindowDestroyed() override;
    void OnVerifyCancelled() override;
    void OnVerifyTicket(const std::wstring& ticket, const std::wstring& randstr) override;
    void OnVerifyPageFailed() override {}

    // ---- state, for the owner and tests ----
    SkinUI::CWindowHostUI& GetHost() { return host_; }
    CFrameView* GetFrame() const { return frame_.get(); }
    const LoginControls& GetControls() const { return controls_; }
    const LoginRecord& GetLoginRecord() const { return loginRecord_; }
    bool IsLoginInProgress() const { return loginInProgress_ != 0; }
    bool IsAutoLoginArmed() const { return autoLoginArmed_; }
    uint32_t GetAutoLoginTicks() const { return autoLoginTicks_; }
    bool IsPasswordEdited() const { return passwordEdited_ != 0; }
    // The row object of a quick-login row's root control; null for anything else.
    CPVAListItemEx* FindRow(SkinUI::CControlUI* root) const;

private:
    using RowMap = std::map<SkinUI::CControlUI*, std::unique_ptr<CPVAListItemEx>>;
    struct NotifyRoute {
        const wchar_t* type;
        const wchar_t* sender;  // null: any sender
        void (LoginView::*handle)(SkinUI::NotifyMessage& msg);
    };
    static const NotifyRoute kNotifyRoutes[];

    // ---- creation ----
    void OnCreate();
    void SetFrameIcon();
    void ShowBackground();
    void CenterFrame();
    void BindControls();
    void StartProvider();
    void BringToFront();
    // Destroys the dialog's window (the owner may delete the dialog then), then the frame's.
    void DestroyWindows();

    // ---- pages ----
    void ShowQuickLoginPage();
    void ShowPasswordPage();
    void FillAccountCombo();
    void ShowSavedPassword();
    void RefreshAccountPlaceholder();
    void ShowErrorText(const wchar_t* text);
    void HideErrorLabel();
    void BackToLoginPage();
    // The failure page is shown and the keyboard focus lies on it (or nowhere).
    bool FailurePageHasKeys() const;
    // Back from the failure page to the login page, by 返回 or by Enter.
    void LeaveFailurePage();
    void ShowPage(SkinUI::CControlUI* shown);  // one of the error, code and login pages
    void RebuildRows(const SSOAccountTable& table);
    void ClearRows();

    // ---- logins ----
    void StopAutoLogin();
    void OnAutoLoginTimer();
    bool CheckInput();
    void StartLogin();
    void LoginFromRow(CPVAListItemEx* row);
    // Logs in with the quick-login row that stands selected, if any.
    void LoginFromSelectedRow();
    void ConfirmAgreement();
    void FinishLogin(const _tagKwiSERVERLOGININFO& server, const _tagKwiBASEUSERINFO& user);
    void SaveLoginSettings(const _tagKwiSERVERLOGININFO& server);
    void CancelVerify();
    void SubmitVerifyCode();
    void LoginNotSent();
    void UserClose();
    void DeleteRetiredVerifyWindows();

    // ---- notifications ----
    void OnCloseClick(SkinUI::NotifyMessage& msg);
    void OnLinkClick(SkinUI::NotifyMessage& msg);
    void OnHomeClick(SkinUI::NotifyMessage& msg);
    void OnLoginClick(SkinUI::NotifyMessage& msg);
    void OnUsedAccountClick(SkinUI::NotifyMessage& msg);
    void OnMinimizeClick(SkinUI::NotifyMessage& msg);
    void OnRegetCodeClick(SkinUI::NotifyMessage& msg);
    void OnVerifyOkClick(SkinUI::NotifyMessage& msg);
    void OnVerifyCancelClick(SkinUI::NotifyMessage& msg);
    void OnErrorOkClick(SkinUI::NotifyMessage& msg);
    void OnPvaLoginClick(SkinUI::NotifyMessage& msg);
    void OnRowClick(SkinUI::NotifyMessage& msg);
    void OnAccountSelected(SkinUI::NotifyMessage& msg);
    void OnRowSelected(SkinUI::NotifyMessage& msg);
    void OnAccountTextChanged(SkinUI::NotifyMessage& msg);
    void OnPasswordTextChanged(SkinUI::NotifyMessage& msg);
    void OnAccountFocus(SkinUI::NotifyMessage& msg);
    void OnOtherFocus(SkinUI::NotifyMessage& msg);
    void OnAutoLoginChanged(SkinUI::NotifyMessage& msg);
    void OnSavePasswordChanged(SkinUI::NotifyMessage& msg);
    void OnAgreementChanged(SkinUI::NotifyMessage& msg);
    void OnReturn(SkinUI::NotifyMessage& msg);

    bool autoLoginArmed_ = false;
    uint32_t autoLoginTicks_ = 0;
    LoginControls controls_;
    LoginSiteLinks links_;
    uint32_t loginInProgress_ = 0;
    uint32_t exitOnDestroy_ = 0;
    uint32_t passwordEdited_ = 0;
    uint32_t failedOnPasswordPage_ = 0;
    uint32_t succeeded_ = 0;
    uint64_t pendingVerifyAccount_ = 0;
    RowMap rows_;
    LoginRecord loginRecord_;
    // The digest the last password login sent (zero when the remembered password was used).
    PasswordDigestBytes sentDigest_{};
    SkinUI::CWindowHostUI host_;
    std::unique_ptr<Gdiplus::Bitmap> background_;
    ILoginEventHandler* owner_ = nullptr;
    uint32_t rememberFlag_ = 0;
    uint32_t usedAccountChosen_ = 0;
    // Destroyed after the frame that shows it.
    std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&::DestroyIcon)> icon_{nullptr, &::DestroyIcon};
    std::unique_ptr<CFrameView> frame_;
    CLoginVerifyWebWindow* verifyWindow_ = nullptr;
    // Verify windows whose native window is gone, deleted once their modal loops have returned.
    std::vector<CLoginVerifyWebWindow*> retiredVerifyWindows_;
    // The ticket and random string of a passed verification, sent once the verify window's
    // modal loop has returned.
    std::optional<std::pair<std::wstring, std::wstring>> pendingTicket_;
    // Ends with the dialog: code after a call that may delete it checks this.
    mjz::AliveToken alive_;
};
