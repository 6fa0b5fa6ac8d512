#include "login/windows/LoginView.h"

#include <cwchar>
#include <new>

#include "launcher/IStartupWindows.h"
#include "launcher/LaunchParams.h"
#include "launcher/LogReport.h"
#include "login/ILoginEventHandler.h"
#include "login/Login.h"
#include "login/LoginConfigStorage.h"
#include "login/LoginInfoBlock.h"
#include "login/SSODataProvider.h"
#include "login/windows/FrameBitmaps.h"
#include "login/windows/FrameView.h"
#include "login/windows/IEWebBrowser.h"
#include "login/windows/LoginVerifyWebWindow.h"
#include "login/windows/LoginViewHelpers.h"
#include "login/windows/PVAListItemEx.h"
#include "login/windows/RoundCorners.h"
#include "uitoolkit/controls/ComboUI.h"
#include "uitoolkit/controls/EditUI.h"
#include "uitoolkit/controls/ListUI.h"
#include "uitoolkit/controls/custom/CheckButtonUI.h"
#include "uitoolkit/controls/custom/ListControl.h"
#include "uitoolkit/controls/custom/WebBrowserUI.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/DialogBuilder.h"

using SkinUI::CControlUI;
using SkinUI::NotifyMessage;
using namespace LoginViewHelpers;

namespace {

// Step reported when the user closes the dialog, with the user-close code.
constexpr uint32_t kStepEnd = 219;
constexpr int32_t kCodeUserClose = -3;

// WM_CREATE turns the popup into a child-styled window of the frame: no caption, no sizing
// border, not yet visible.
constexpr LONG_PTR kCreateStyleOff = 0x10C40000;  // WS_VISIBLE | WS_CAPTION | WS_THICKFRAME
constexpr LONG_PTR kCreateStyleOn = 0x46000000;   // WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN

constexpr wchar_t kPasswordCaption[] = L"密码";
constexpr wchar_t kBackgroundImage[] = L"background.png";
constexpr wchar_t kIconFile[] = L"ico.ico";
constexpr int kIconSize = 64;

} // namespace

// ---- construction -----------------------------------------------------------------------------

LoginView::LoginView()
{
    CLogin::GetInstance().AddHandler(static_cast<ILoginEvent*>(this), 0);
    CLoginConfigStorage::GetInstance().Load(&LoginInfoBlock::GetInstance());
    SkinUI::CWindowHostUI::AddResourcePath(LaunchParams::Instance().GetCurrentSkinDir().c_str(), false);
}

LoginView::~LoginView()
{
    alive_.End();
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
    // 3. A fresh login record, and the skin's controls bound and set up.
    loginRecord_.Clear();
    BindControls();
    // A skin that builds nothing would leave an empty frame that only drags.
    if (frame_ == nullptr || !IsCreated())
        return;
    // 4. Shown and painted before the sign-in library is loaded and asked for its accounts, so
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
    if (CControlUI* root = builder.Create(kLoginSkinFile, nullptr, this, &host_))
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
    // 3. The frame's title; the frame is centred for its picture before the picture goes up:
    // moving a layered window that already shows one costs a repaint of it. (The frame's icon
    // comes once the window shows: the layered frame does not draw it.)
    ::SetWindowTextW(frame_->GetHWND(), LaunchParams::Instance().GetGameInfo(L"GameName").c_str());
    CenterFrame();
    ShowBackground();
    // The frame puts the dialog at its offset when it is shown, as whenever it moves.
    frame_->AttachWindow(m_hWnd);
}

void LoginView::SetFrameIcon()
{
    const std::wstring path = LaunchParams::Instance().GetCurrentSkinDir() + kIconFile;
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
    const SSOAccountTable* table = login.provider->RefreshAccountList();
    if (table != nullptr) {
        if (alive_.Survives([&] { login.FireEvent1(&ILoginEvent::OnAccountListChanged, &table); }))
            ShowQuickLoginPage();
        return;
    }
    if (alive_.Survives([&] { login.FireEvent0(&ILoginEvent::OnAccountListEmpty); }))
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
    const bool survived = alive_.Survives([this] {
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
    });
    if (survived && frame != nullptr && ::IsWindow(frame))
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
    case WM_WINDOWPOSCHANGED:
        // Hidden (with its frame) under the pointer: no control stays hot or pushed until the
        // window shows again somewhere the pointer may no longer be.
        if ((reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) != 0) {
            LRESULT ignored = 0;
            if (!alive_.Survives([&] { host_.MessageHandler(WM_MOUSELEAVE, 0, 0, ignored); }))
                return 0;
        }
        break;
    case WM_KEYDOWN:
        // Enter on the failure page goes back wherever on the page the player clicked last: the
        // reason's text, its scroll bar or the empty page take the keyboard focus from 返回.
        if (wParam == VK_RETURN && FailurePageHasKeys()) {
            LeaveFailurePage();
            return 0;
        }
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

void LoginView::OnErrorOkClick(NotifyMessage&) { LeaveFailurePage(); }

bool LoginView::FailurePageHasKeys() const
{
    if (!IsShown(controls_.errorContainer))
        return false;
    for (CControlUI* c = host_.GetFocus(); c != nullptr; c = c->GetParent()) {
        if (c == controls_.errorContainer)
            return true;
    }
    return host_.GetFocus() == nullptr;
}

void LoginView::LeaveFailurePage()
{
    BackToLoginPage();
    if (controls_.loginContainer != nullptr)
        controls_.loginContainer->SetEnabled(true);
    loginInProgress_ = 0;
}

void LoginView::OnPvaLoginClick(NotifyMessage&)
{
    StopAutoLogin();
    LoginFromSelectedRow();
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
    if (controls_.accountEdit != nullptr) {
        // "textchanged" is reported here.
        if (!alive_.Survives([&] { controls_.accountEdit->SetText(text.c_str()); }))
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
