#include "login/windows/LoginView.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "foundation/StringUtil.h"
#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"
#include "login/DecimalText.h"
#include "login/ILoginEventHandler.h"
#include "login/Login.h"
#include "login/LoginConfigStorage.h"
#include "login/LoginInfoBlock.h"
#include "login/OmbrelLauncherAccountStorager.h"
#include "login/SSODataProvider.h"
#include "login/windows/FrameBitmaps.h"
#include "login/windows/FrameView.h"
#include "login/windows/IEWebBrowser.h"
#include "login/windows/LoginFailureText.h"
#include "login/windows/LoginVerifyWebWindow.h"
#include "login/windows/MessageBoxView.h"
#include "login/windows/PVAListItemEx.h"
#include "login/windows/RoundCorners.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/EditUI.h"
#include "uitoolkit/controls/ListLabelElementUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/controls/OptionUI.h"
#include "uitoolkit/controls/custom/CheckButtonUI.h"
#include "uitoolkit/controls/custom/ListControl.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/DialogBuilder.h"

using SkinUI::CControlUI;
using SkinUI::NotifyMessage;

namespace {

// Steps reported from here.
constexpr uint32_t kStepLoginRequest = 205;
constexpr uint32_t kStepLoginFailed = 208;
constexpr uint32_t kStepLoginResult = 209;
constexpr uint32_t kStepEnd = 219;
constexpr int32_t kCodeUserClose = -3;

// WM_CREATE turns the popup into a child-styled window of the frame: no caption, no sizing
// border, not yet visible.
constexpr LONG_PTR kCreateStyleOff = 0x10C40000;  // WS_VISIBLE | WS_CAPTION | WS_THICKFRAME
constexpr LONG_PTR kCreateStyleOn = 0x46000000;   // WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
// Posted to itself: verify windows whose modal loops have returned may be deleted.
constexpr UINT kDeleteRetiredVerifyWindows = WM_APP + 28;

constexpr wchar_t kTrimSet[] = L" \t\n\v\f\r";
constexpr wchar_t kPasswordCaption[] = L"密码";
constexpr wchar_t kWrongAccount[] = L"请输入正确的帐号！";
constexpr wchar_t kNoPassword[] = L"请输入密码！";
constexpr wchar_t kAgreementTitle[] = L"温馨提示(1.0.0.196)";
constexpr wchar_t kAgreementText[] =
    L"请详细阅读并同意下方的用户协议、隐私政策和儿童隐私政策，方可进入游戏哦。";
constexpr wchar_t kVerifyTitle[] = L"为了您的账号安全，本次登陆需输验证码";
constexpr wchar_t kBackgroundImage[] = L"background.png";
constexpr wchar_t kIconFile[] = L"ico.ico";
constexpr int kIconSize = 64;

// The account text of the password page is filled only once per process.
bool g_accountComboFilled = false;

std::wstring TextOf(CControlUI* control)
{
    return control != nullptr ? std::wstring(control->GetText().GetData()) : std::wstring();
}

std::wstring Trimmed(std::wstring text)
{
    WStringTrimLeft(text, kTrimSet);
    WStringTrimRight(text, kTrimSet);
    return text;
}

bool IsShown(CControlUI* control) { return control != nullptr && control->IsVisible(); }
bool IsSelected(SkinUI::COptionUI* option) { return option != nullptr && option->IsSelected(); }
void Select(SkinUI::COptionUI* option, bool selected)
{
    if (option != nullptr)
        option->SetSelected(selected);
}
void Show(CControlUI* control, bool visible)
{
    if (control != nullptr)
        control->SetVisible(visible);
}
void Focus(CControlUI* control)
{
    if (control != nullptr)
        control->SetFocus();
}

// A typed account as a number: decimal, "0x" hexadecimal or leading-0 octal; 0 for anything that
// is no number (an e-mail address, other text) or out of range.
uint64_t AccountNumberOf(const std::wstring& text)
{
    uint64_t number = 0;
    return TryParseUInt64W(text.c_str(), 0, number) ? number : 0;
}

} // namespace

// ---- construction -----------------------------------------------------------------------------

LoginView::LoginView()
{
    CLogin::GetInstance().AddHandler(static_cast<ILoginEvent*>(this), 0);
    CLoginConfigStorage::GetInstance().Load(&LoginInfoBlock::GetInstance());
    const std::wstring skinDir = LaunchParams::Instance().GetCurrentGameDataDir() + L"skin\\";
    SkinUI::CWindowHostUI::AddResourcePath(skinDir.c_str(), false);
}

LoginView::~LoginView()
{
    alive_.reset();
    CLogin::GetInstance().RemoveHandler(static_cast<ILoginEvent*>(this));
    // Detached first, so that destroying the window (here or with the frame that owns it) no
    // longer reaches this object.
    if (m_hWnd != nullptr) {
        HWND hWnd = m_hWnd;
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        host_.RemoveNotifyListener(this);
        ::DestroyWindow(hWnd);
    }
    if (verifyWindow_ != nullptr) {
        verifyWindow_->SetEventHandler(nullptr);
        retiredVerifyWindows_.push_back(verifyWindow_);
        verifyWindow_ = nullptr;
    }
    DeleteRetiredVerifyWindows();
    frame_.reset();
    ClearRows();
}

void LoginView::CreateLoginWindow()
{
    // 1. A frame of its own (an earlier one goes).
    frame_.reset();
    frame_ = std::make_unique<CFrameView>(LaunchParams::Instance().GetCurrentGameDataDir());
    // 2. The window; WM_CREATE builds the skin and puts the frame in place. WM_CREATE takes
    // WS_VISIBLE away so that the window shows only with its frame, at the end; Wine would still
    // show it by the style it was created with, so it is created without.
    Create(frame_->GetHWND(), L"LoginDlg", kWindowStyle & ~WS_VISIBLE, 0);
    // 3. and 4.
    loginRecord_.Clear();
    BindControls();
    if (frame_ == nullptr || m_hWnd == nullptr)
        return;
    // 5. Shown and painted before the sign-in library is loaded and asked for its accounts, so
    // that the window never waits for the library; the page follows a moment later.
    ::ShowWindow(frame_->GetHWND(), SW_SHOWNORMAL);
    ShowWindow(true, true);
    BringToFront();
    ::UpdateWindow(m_hWnd);
    SetFrameIcon();
    StartProvider();
}

void LoginView::OnCreate()
{
    // 1. The skin, its listeners.
    host_.Init(m_hWnd);
    SkinUI::CDialogBuilder builder;
    if (CControlUI* root = builder.Create(kSkinFile, nullptr, this, &host_))
        host_.AttachRoot(root);
    host_.AddNotifyListener(this);
    host_.ReserveTimerId(static_cast<UINT>(kAutoLoginTimerId));
    if (frame_ != nullptr)
        frame_->AddButtonListener(this);
    // 2. A child of the frame from now on.
    const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~kCreateStyleOff) | kCreateStyleOn);
    if (frame_ == nullptr)
        return;
    // 3., 5. and 6. The frame is centred for its picture before the picture goes up: moving a
    // layered window that already shows one costs a repaint of it. (4., the frame's icon, comes
    // once the window shows: the layered frame does not draw it.)
    ::SetWindowTextW(frame_->GetHWND(), LaunchParams::Instance().GetGameInfo(L"GameName").c_str());
    CenterFrame();
    ShowBackground();
    // The frame puts the dialog at its offset when it is shown, as whenever it moves.
    frame_->AttachWindow(m_hWnd);
}

void LoginView::SetFrameIcon()
{
    const std::wstring path = LaunchParams::Instance().GetCurrentGameDataDir() + L"skin\\" + kIconFile;
    HANDLE icon = ::LoadImageW(nullptr, path.c_str(), IMAGE_ICON, kIconSize, kIconSize, LR_LOADFROMFILE);
    if (icon == nullptr)
        return;
    icon_.reset(static_cast<HICON>(icon));
    ::SendMessageW(frame_->GetHWND(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void LoginView::ShowBackground()
{
    Gdiplus::Bitmap* background = GetBackgroundBitmap();
    if (background == nullptr)
        return;
    frame_->SetBackgroundImage(background);
    // With caption buttons the frame's redraw puts up the whole picture (its buttons are all
    // still to be drawn); painting the background alone first would only be covered again.
    if (frame_->GetButtons().empty())
        frame_->Paint();
    frame_->Redraw();
}

Gdiplus::Bitmap* LoginView::GetBackgroundBitmap()
{
    if (background_ != nullptr)
        return background_.get();
    const SkinUI::ImageEntry* image = host_.GetOrLoadImage(kBackgroundImage, nullptr, 0);
    if (image == nullptr || image->hBitmap == nullptr)
        return nullptr;
    background_ = HBitmapToGdiplusBitmap(image->hBitmap);
    return background_.get();
}

void LoginView::CenterFrame()
{
    // The frame takes its picture's size; without a picture it keeps its own.
    HWND frame = frame_->GetHWND();
    RECT rc = {};
    if (!::GetWindowRect(frame, &rc))
        return;
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    if (Gdiplus::Bitmap* background = GetBackgroundBitmap()) {
        width = static_cast<int>(background->GetWidth());
        height = static_cast<int>(background->GetHeight());
    }
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::MoveWindow(frame, left, top, width, height, FALSE);
}

void LoginView::BindControls()
{
    controls_.Bind(host_);
    links_.Capture(host_);
    if (LaunchParams::Instance().GetCheckAgreeBoxSelected()) {
        Select(controls_.agree, true);
        Select(controls_.agree2, true);
    }
    if (controls_.accountCombo != nullptr)
        controls_.accountCombo->SetClearSelectionOnPress(true);
    Select(controls_.savePwd, true);
}

void LoginView::StartProvider()
{
    CLogin& login = CLogin::GetInstance();
    if (loginInProgress_ != 0 || !login.InitSSO() || login.provider == nullptr) {
        ShowPasswordPage();
        return;
    }
    const std::weak_ptr<char> alive = alive_;
    const SSOAccountTable* table = login.provider->RefreshAccountList();
    if (table != nullptr) {
        login.FireEvent1(&ILoginEvent::OnAccountListChanged, &table);
        if (!alive.expired())
            ShowQuickLoginPage();
        return;
    }
    login.FireEvent0(&ILoginEvent::OnAccountListEmpty);
    if (!alive.expired())
        ShowPasswordPage();
}

void LoginView::BringToFront()
{
    HWND frame = frame_ != nullptr ? frame_->GetHWND() : nullptr;
    if (frame != nullptr && ::IsIconic(frame))
        ::ShowWindow(frame, SW_RESTORE);
    if (::IsIconic(m_hWnd))
        ::ShowWindow(m_hWnd, SW_RESTORE);
    const bool topmost = (::GetWindowLongW(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (!::SetForegroundWindow(m_hWnd) && !topmost) {
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    }
}

void LoginView::DestroyWindows()
{
    // The dialog first: the frame owns it, and destroying the frame first would take the dialog
    // (and with it, through the owner, this object and its frame) down from inside the frame's
    // own destruction.
    HWND frame = frame_ != nullptr ? frame_->GetHWND() : nullptr;
    const std::weak_ptr<char> alive = alive_;
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
    if (!alive.expired() && frame != nullptr && ::IsWindow(frame))
        ::DestroyWindow(frame);
}

SkinUI::CControlUI* LoginView::CreateControl(const wchar_t* tagName)
{
    if (tagName == nullptr)
        return nullptr;
    if (std::wcscmp(tagName, L"ListControl") == 0)
        return new (std::nothrow) SkinUI::CListControl(&host_);
    if (std::wcscmp(tagName, L"CheckButton") == 0)
        return new (std::nothrow) SkinUI::CCheckButtonUI();
    if (std::wcscmp(tagName, L"WebBrowser") == 0)
        return new (std::nothrow) SkinUI::CWebBrowserUI(&CIEWebBrowser::Make);
    return nullptr;
}

// ---- messages ---------------------------------------------------------------------------------

LRESULT LoginView::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        if (!::IsIconic(m_hWnd))
            ApplyRoundCorners(m_hWnd, host_.GetRoundCorner());
        break;
    case WM_CLOSE:
        // Closed by anything but a success: the user's close, so that the program ends.
        if (succeeded_ == 0 && exitOnDestroy_ == 0)
            UserClose();
        else
            DestroyWindows();
        return 0;
    case WM_NCCALCSIZE:
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_NCACTIVATE:
        if (::IsIconic(m_hWnd))
            break;
        return wParam == 0 ? 1 : 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            UserClose();
        return 0;
    case WM_TIMER:
        if (wParam == kAutoLoginTimerId) {
            OnAutoLoginTimer();
            return 0;
        }
        // The controls' own timers still reach the host.
        if (!host_.IsControlTimer(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_DESTROY:
        StopAutoLogin();
        break;
    case kCloseRequest:
        UserClose();
        return 0;
    case kShowRequest:
        if (frame_ != nullptr)
            ::ShowWindow(frame_->GetHWND(), SW_SHOWNORMAL);
        ShowWindow(true, true);
        return 0;
    case kDeleteRetiredVerifyWindows:
        DeleteRetiredVerifyWindows();
        return 0;
    default:
        break;
    }
    LRESULT result = 0;
    if (host_.MessageHandler(message, wParam, lParam, result))
        return result;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void LoginView::OnWindowDestroyed(HWND hWnd)
{
    CWindowWnd::OnWindowDestroyed(hWnd);
    host_.RemoveNotifyListener(this);
    if (exitOnDestroy_ != 0)
        LogReport::Instance().RequestExit(0);
    if (owner_ != nullptr)
        owner_->CloseLoginView();  // deletes this
}

void LoginView::OnButtonEvent(ButtonEvent& event)
{
    if (event.type != L"click" || event.button == nullptr)
        return;
    if (event.button->name == L"MinSize") {
        if (frame_ != nullptr)
            ::SendMessageW(frame_->GetHWND(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (event.button->name == L"Close") {
        UserClose();
    }
}

void LoginView::UserClose()
{
    LogReport& reporter = LogReport::Instance();
    reporter.Report(kStepLoginResult, 1, "");
    reporter.Report(kStepEnd, kCodeUserClose, "user close");
    exitOnDestroy_ = 1;
    DestroyWindows();
}

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
        const std::weak_ptr<char> alive = alive_;
        FillAccountCombo();
        if (alive.expired())
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
    const std::weak_ptr<char> alive = alive_;
    combo->SelectItem(0, true);
    if (alive.expired())
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

// ---- logins -----------------------------------------------------------------------------------

void LoginView::StopAutoLogin()
{
    if (!autoLoginArmed_)
        return;
    autoLoginArmed_ = false;
    autoLoginTicks_ = 0;
    if (m_hWnd != nullptr)
        ::KillTimer(m_hWnd, kAutoLoginTimerId);
}

void LoginView::OnAutoLoginTimer()
{
    if (++autoLoginTicks_ != kAutoLoginTicks)
        return;
    if (autoLoginArmed_) {
        autoLoginArmed_ = false;
        autoLoginTicks_ = 0;
        ::KillTimer(m_hWnd, kAutoLoginTimerId);
    }
    if (controls_.listPva == nullptr)
        return;
    const int selected = controls_.listPva->GetCurSel();
    if (selected < 0)
        return;
    if (CPVAListItemEx* row = FindRow(controls_.listPva->GetItemAt(selected)))
        LoginFromRow(row);
}

bool LoginView::CheckInput()
{
    if (controls_.accountCombo == nullptr || controls_.accountEdit == nullptr || controls_.pwdEdit == nullptr)
        return false;
    const std::wstring account = Trimmed(TextOf(controls_.accountEdit));
    if (account.empty()) {
        controls_.accountEdit->SetFocus();
        return false;
    }
    if (LoginInfoBlock::GetInstance().SetLoginInput(account.c_str(), false) == 0) {
        ShowErrorText(kWrongAccount);
        return false;
    }
    if (TextOf(controls_.pwdEdit).empty()) {
        ShowErrorText(kNoPassword);
        controls_.pwdEdit->SetFocus();
        return false;
    }
    return true;
}

void LoginView::StartLogin()
{
    // 1. and 2.
    if (!IsSelected(controls_.agree)) {
        ConfirmAgreement();
        return;
    }
    if (!CheckInput())
        return;
    // 3. to 5.
    if (controls_.loginContainer != nullptr)
        controls_.loginContainer->SetEnabled(false);
    const std::wstring account = Trimmed(TextOf(controls_.accountEdit));
    const bool remember = IsSelected(controls_.savePwd);
    // 6. The digest of what was typed; zero while the remembered password's mask stands.
    const std::wstring password = TextOf(controls_.pwdEdit);
    sentDigest_.fill(0);
    if (passwordEdited_ != 0)
        sentDigest_ = PasswordDigest(password);
    // 7. to 9.
    LoginInfoBlock& block = LoginInfoBlock::GetInstance();
    loginRecord_.Fill(block, passwordEdited_ != 0, password);
    LaunchParams::Instance().accountNumber = AccountNumberOf(account);
    LogReport::Instance().Report(kStepLoginRequest, 0, "");
    // 10. and 11.
    CLogin& login = CLogin::GetInstance();
    const bool sent = login.InitSSO() && login.provider != nullptr &&
                      login.provider->LoginByHashedPassword(account.c_str(), sentDigest_.data(),
                                                            static_cast<uint32_t>(sentDigest_.size()),
                                                            remember ? 1 : 0, nullptr);
    rememberFlag_ = remember ? 1 : 0;
    loginInProgress_ = 1;
    if (owner_ != nullptr)
        owner_->SetStatus(0);
    if (!sent)
        LoginNotSent();
}

void LoginView::LoginFromRow(CPVAListItemEx* row)
{
    // 1.
    if (!IsSelected(controls_.agree2)) {
        ConfirmAgreement();
        return;
    }
    // 2.
    const PVAAccountRecord* record = row != nullptr ? &row->GetRecord() : nullptr;
    LoginInfoBlock& block = LoginInfoBlock::GetInstance();
    if (record != nullptr && !record->accountText.empty()) {
        block.SetLoginInput(record->accountText.c_str(), true);
        // 3.
        if (controls_.loginContainer != nullptr)
            controls_.loginContainer->SetEnabled(false);
        loginRecord_.Fill(block, passwordEdited_ != 0, L"");
        sentDigest_.fill(0);
        LaunchParams::Instance().accountNumber =
            static_cast<uint64_t>(std::wcstoll(record->accountText.c_str(), nullptr, 10));
        LogReport::Instance().Report(kStepLoginRequest, 0, "");
        CLogin& login = CLogin::GetInstance();
        const bool sent = login.InitSSO() && login.provider != nullptr &&
                          login.provider->LoginFromPVAList(record->accountText.c_str(), nullptr);
        loginInProgress_ = 1;
        if (owner_ != nullptr)
            owner_->SetStatus(1);
        if (!sent)
            LoginNotSent();
        return;
    }
    // 4.
    if (owner_ != nullptr)
        owner_->SetStatus(1);
}

void LoginView::LoginNotSent()
{
    // Without the library no answer would ever come: fail at once instead of waiting.
    const std::wstring account = LoginInfoBlock::GetInstance().typedText;
    OnLoginFailed(account.c_str(), kErrorLoginNotSent, nullptr, 0);
}

void LoginView::ConfirmAgreement()
{
    CMessageBoxView box(kAgreementTitle, kAgreementText, CMessageBoxView::kTypeReminder);
    box.ShowModal(m_hWnd);
}

// ---- login events -----------------------------------------------------------------------------

void LoginView::OnLoginSuccess(const wchar_t* /*account*/, const _tagKwiSERVERLOGININFO* server,
                               const _tagKwiBASEUSERINFO* user)
{
    const _tagKwiSERVERLOGININFO serverCopy = server != nullptr ? *server : _tagKwiSERVERLOGININFO{};
    const _tagKwiBASEUSERINFO userCopy = user != nullptr ? *user : _tagKwiBASEUSERINFO{};
    LaunchParams::Instance().accountNumber = userCopy.accountNumber;
    LogReport::Instance().Report(kStepLoginResult, 0, "");
    FinishLogin(serverCopy, userCopy);
}

void LoginView::FinishLogin(const _tagKwiSERVERLOGININFO& server, const _tagKwiBASEUSERINFO& user)
{
    CLogin::GetInstance().RemoveHandler(static_cast<ILoginEvent*>(this));
    SaveLoginSettings(server);
    loginInProgress_ = 0;
    succeeded_ = 1;

    UsedAccount account;
    account.accountNumber = user.accountNumber;
    account.nickName.assign(user.nickName, wcsnlen(user.nickName, _tagKwiBASEUSERINFO::kNickNameUnits));
    if (IsSelected(controls_.savePwd) && loginRecord_.loginType != kAccountTextOther)
        OmbrelLauncherAccountStorager::GetInstance().AddAccount(LaunchParams::Instance().appId, account);
    const std::weak_ptr<char> alive = alive_;
    if (owner_ != nullptr)
        owner_->OnLoginSuccess(&account, rememberFlag_ != 0 ? 1 : 0);
    if (!alive.expired())
        DestroyWindows();
}

void LoginView::SaveLoginSettings(const _tagKwiSERVERLOGININFO& server)
{
    const uint32_t type = loginRecord_.loginType;
    if (type != kAccountTextNumber && type != kAccountTextEmail && type != kAccountTextOther)
        return;
    AccountSlot slot;
    slot.size = AccountSlot::kFilledSize;
    slot.loginType = type;
    slot.accountNumber = server.accountNumber;
    CopyAccountText(slot.email, type == kAccountTextOther ? loginRecord_.otherText : loginRecord_.email);
    // Only a remembered password keeps its digest: the typed one, or the one used again.
    const bool remember = IsSelected(controls_.savePwd);
    slot.rememberPassword = remember ? 1 : 0;
    if (remember) {
        if (loginRecord_.passwordGiven != 0)
            std::memcpy(slot.passwordDigest, sentDigest_.data(), sizeof(slot.passwordDigest));
        else
            std::memcpy(slot.passwordDigest, loginRecord_.secret.digest, sizeof(slot.passwordDigest));
    }
    CLoginConfigStorage::GetInstance().SaveAccount(&slot);
}

void LoginView::OnLoginFailed(const wchar_t* /*account*/, int32_t code, const wchar_t* reason, uint32_t /*reserved*/)
{
    // 1. and 2.
    loginInProgress_ = 0;
    failedOnPasswordPage_ = IsShown(controls_.pwdLogin) ? 1 : 0;
    ShowPage(controls_.errorContainer);
    Focus(controls_.btnErrorOk);
    // 3. and 4.
    const LoginFailureText failure = LoginFailureText::For(code, reason);
    if (controls_.errorInfo != nullptr)
        controls_.errorInfo->SetText(failure.text.c_str());
    LogReport::Instance().Report(kStepLoginFailed, code, failure.reportText.c_str());
}

void LoginView::OnAccountListChanged(const SSOAccountTable* table)
{
    // 1.
    if (table == nullptr) {
        ShowPasswordPage();
        return;
    }
    // 2.
    if (controls_.listPva == nullptr)
        return;
    ClearRows();
    // 3.
    if (loginInProgress_ != 0 || usedAccountChosen_ != 0)
        return;
    if (failedOnPasswordPage_ == 0)
        ShowQuickLoginPage();
    RebuildRows(*table);
}

void LoginView::OnVerifyCodeRequired(const wchar_t* pageUrl, uint64_t accountNumber)
{
    pendingVerifyAccount_ = accountNumber;
    if (verifyWindow_ == nullptr)
        verifyWindow_ = new (std::nothrow) CLoginVerifyWebWindow();
    if (verifyWindow_ == nullptr)
        return;
    verifyWindow_->SetEventHandler(this);
    pendingTicket_.reset();
    const std::weak_ptr<char> alive = alive_;
    // Modal: the window only keeps what the page brings; the rest of the login runs here,
    // after its loop has returned.
    verifyWindow_->ShowVerifyPage(m_hWnd, kVerifyTitle, pageUrl != nullptr ? pageUrl : L"");
    if (alive.expired() || !pendingTicket_)
        return;
    const auto [ticket, randstr] = *pendingTicket_;
    pendingTicket_.reset();
    CLogin& login = CLogin::GetInstance();
    if (login.InitSSO() && login.provider != nullptr)
        login.provider->WebVerifyTicket(ticket.c_str(), randstr.c_str(), pendingVerifyAccount_);
}

// ---- verification -----------------------------------------------------------------------------

void LoginView::OnVerifyWindowDestroyed()
{
    if (controls_.loginContainer != nullptr)
        controls_.loginContainer->SetEnabled(true);
    // Its ShowVerifyPage is still on the stack: deleted once that has returned.
    if (verifyWindow_ != nullptr) {
        retiredVerifyWindows_.push_back(verifyWindow_);
        verifyWindow_ = nullptr;
    }
    if (m_hWnd != nullptr)
        ::PostMessageW(m_hWnd, kDeleteRetiredVerifyWindows, 0, 0);
}

void LoginView::DeleteRetiredVerifyWindows()
{
    std::vector<CLoginVerifyWebWindow*> retired;
    retired.swap(retiredVerifyWindows_);
    for (CLoginVerifyWebWindow* window : retired)
        delete window;
}

void LoginView::OnVerifyCancelled()
{
    CancelVerify();
}

void LoginView::OnVerifyTicket(const std::wstring& ticket, const std::wstring& randstr)
{
    if (ticket.empty() || randstr.empty())
        return;
    pendingTicket_.emplace(ticket, randstr);
}

void LoginView::CancelVerify()
{
    std::wstring account;
    switch (loginRecord_.loginType) {
    case kAccountTextEmail:
        account = loginRecord_.email;
        break;
    case kAccountTextOther:
        account = loginRecord_.otherText;
        break;
    default:
        account = FormatUInt64W(loginRecord_.accountNumber);
        break;
    }
    CLogin& login = CLogin::GetInstance();
    if (login.InitSSO() && login.provider != nullptr)
        login.provider->CancelVerify(account.c_str());
    loginInProgress_ = 0;
}

void LoginView::SubmitVerifyCode()
{
    if (controls_.verifyCode == nullptr)
        return;
    const std::wstring code = TextOf(controls_.verifyCode);
    CLogin& login = CLogin::GetInstance();
    if (login.InitSSO() && login.provider != nullptr)
        login.provider->EnterVerifyCode(code.c_str(), pendingVerifyAccount_);
}

// ---- notifications ----------------------------------------------------------------------------

const LoginView::NotifyRoute LoginView::kNotifyRoutes[] = {
    {L"click", L"btnClose", &LoginView::OnCloseClick},
    {L"click", L"loginBtn", &LoginView::OnLoginClick},
    {L"click", L"btnUsedAccount", &LoginView::OnUsedAccountClick},
    {L"click", L"btnMinisize", &LoginView::OnMinimizeClick},
    {L"click", L"btnRegetCode", &LoginView::OnRegetCodeClick},
    {L"click", L"btnVerifyOK", &LoginView::OnVerifyOkClick},
    {L"click", L"btnVerifyCancel", &LoginView::OnVerifyCancelClick},
    {L"click", L"btnErrorOK", &LoginView::OnErrorOkClick},
    {L"click", L"btnHomeWeb", &LoginView::OnHomeClick},
    {L"click", L"btnPVALogin", &LoginView::OnPvaLoginClick},
    {L"click", nullptr, &LoginView::OnLinkClick},
    {L"itemclick", nullptr, &LoginView::OnRowClick},
    {L"itemselect", L"accountcombo", &LoginView::OnAccountSelected},
    {L"itemselect", L"ListPVA", &LoginView::OnRowSelected},
    {L"textchanged", L"accountedit", &LoginView::OnAccountTextChanged},
    {L"textchanged", L"pwdedit", &LoginView::OnPasswordTextChanged},
    {L"setfocus", L"accountedit", &LoginView::OnAccountFocus},
    {L"setfocus", nullptr, &LoginView::OnOtherFocus},
    {L"selectchanged", L"btnAutoLogin", &LoginView::OnAutoLoginChanged},
    {L"selectchanged", L"btnSavePWD", &LoginView::OnSavePasswordChanged},
    {L"selectchanged", L"checkboxAgreeLicense", &LoginView::OnAgreementChanged},
    {L"selectchanged", L"checkboxAgreeLicense2", &LoginView::OnAgreementChanged},
    {L"return", L"accountedit", &LoginView::OnReturn},
    {L"return", L"pwdedit", &LoginView::OnReturn},
    {L"return", L"edtVerifyCode", &LoginView::OnVerifyOkClick},
};

void LoginView::Notify(NotifyMessage& msg)
{
    if (msg.sender == nullptr)
        return;
    const SkinUI::CUIString name = msg.sender->GetName();
    for (const NotifyRoute& route : kNotifyRoutes) {
        if (msg.type != route.type)
            continue;
        if (route.sender != nullptr && std::wcscmp(name.GetData(), route.sender) != 0)
            continue;
        (this->*route.handle)(msg);  // may delete this: nothing after it
        return;
    }
}

void LoginView::OnCloseClick(NotifyMessage&)
{
    UserClose();
}

void LoginView::OnLinkClick(NotifyMessage& msg)
{
    LoginSiteLinks::Open(links_.TargetOf(msg.sender->GetName()));
}

void LoginView::OnHomeClick(NotifyMessage&)
{
    LoginSiteLinks::Open(LoginSiteLinks::kHomePage);
}

void LoginView::OnLoginClick(NotifyMessage&)
{
    StopAutoLogin();
    StartLogin();
}

void LoginView::OnUsedAccountClick(NotifyMessage&)
{
    usedAccountChosen_ = 1;
    ShowPasswordPage();
}

void LoginView::OnMinimizeClick(NotifyMessage&)
{
    if (frame_ != nullptr)
        ::SendMessageW(frame_->GetHWND(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void LoginView::OnRegetCodeClick(NotifyMessage&)
{
    CLogin& login = CLogin::GetInstance();
    if (login.InitSSO() && login.provider != nullptr)
        login.provider->ReGetVerifyCode(pendingVerifyAccount_);
}

void LoginView::OnVerifyOkClick(NotifyMessage&)
{
    SubmitVerifyCode();
}

void LoginView::OnVerifyCancelClick(NotifyMessage&)
{
    CancelVerify();
    BackToLoginPage();
}

void LoginView::OnErrorOkClick(NotifyMessage&)
{
    BackToLoginPage();
    if (controls_.loginContainer != nullptr)
        controls_.loginContainer->SetEnabled(true);
    loginInProgress_ = 0;
}

void LoginView::OnPvaLoginClick(NotifyMessage&)
{
    StopAutoLogin();
    if (controls_.listPva == nullptr)
        return;
    const int selected = controls_.listPva->GetCurSel();
    if (selected < 0)
        return;
    if (CPVAListItemEx* row = FindRow(controls_.listPva->GetItemAt(selected)))
        LoginFromRow(row);
}

void LoginView::OnRowClick(NotifyMessage& msg)
{
    if (CPVAListItemEx* row = FindRow(msg.sender))
        LoginFromRow(row);
}

void LoginView::OnAccountSelected(NotifyMessage&)
{
    passwordEdited_ = 0;
    const std::wstring text = TextOf(controls_.accountCombo);
    const std::weak_ptr<char> alive = alive_;
    if (controls_.accountEdit != nullptr) {
        controls_.accountEdit->SetText(text.c_str());  // may report "textchanged"
        if (alive.expired())
            return;
        controls_.accountEdit->SetEnableCaption(false);
    }
    HideErrorLabel();
    if (LoginInfoBlock::GetInstance().SetLoginInput(text.c_str(), false) != 0)
        ShowSavedPassword();
    Select(controls_.savePwd, true);
}

void LoginView::OnRowSelected(NotifyMessage& msg)
{
    SkinUI::CListUI* list = controls_.listPva;
    if (list == nullptr)
        return;
    CPVAListItemEx* row = FindRow(list->GetItemAt(static_cast<int>(msg.wParam)));
    CPVAListItemEx* previous = FindRow(list->GetItemAt(list->GetPrevSel()));
    if (previous != nullptr && previous != row)
        previous->ShowSelected(false);
    if (row != nullptr)
        row->ShowSelected(true);
}

void LoginView::OnAccountTextChanged(NotifyMessage&)
{
    SkinUI::CEditUI* pwd = controls_.pwdEdit;
    if (pwd != nullptr && TextOf(pwd) != kPasswordCaption) {
        if (controls_.accountEdit != nullptr && controls_.accountEdit->IsFocused())
            pwd->SetText(L"");
        pwd->SetPasswordMode(true);
        pwd->SetPasswordChar(L'*');
        if (controls_.accountCombo != nullptr)
            controls_.accountCombo->SelectItem(-1, false);
        LoginInfoBlock& block = LoginInfoBlock::GetInstance();
        block.currentSlot = nullptr;
        block.workingAccount = AccountSlotBase{};
        const std::wstring text = TextOf(controls_.accountEdit);
        if (!text.empty() && text != kAccountPlaceholder)
            HideErrorLabel();
    }
    RefreshAccountPlaceholder();
}

void LoginView::OnPasswordTextChanged(NotifyMessage&)
{
    HideErrorLabel();
    passwordEdited_ = 1;
}

void LoginView::OnAccountFocus(NotifyMessage&)
{
    if (TextOf(controls_.accountEdit) == kAccountPlaceholder) {
        controls_.accountEdit->SetText(L"");
        controls_.accountEdit->SetEnableCaption(false);
    }
}

void LoginView::OnOtherFocus(NotifyMessage&)
{
    RefreshAccountPlaceholder();
}

void LoginView::OnAutoLoginChanged(NotifyMessage&)
{
    if (IsSelected(controls_.autoLogin))
        Select(controls_.savePwd, true);
}

void LoginView::OnSavePasswordChanged(NotifyMessage&)
{
    if (controls_.savePwd != nullptr && !controls_.savePwd->IsSelected())
        Select(controls_.autoLogin, false);
}

void LoginView::OnAgreementChanged(NotifyMessage&)
{
    if (IsSelected(controls_.agree) || IsSelected(controls_.agree2))
        LaunchParams::Instance().SetCheckAgreeBoxSelected();
    if (!IsSelected(controls_.agree2))
        StopAutoLogin();
}

void LoginView::OnReturn(NotifyMessage&)
{
    StartLogin();
}
