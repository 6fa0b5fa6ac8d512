#include "login/windows/MessageBoxView.h"

#include <algorithm>
#include <cwchar>

#include "foundation/Folders.h"
#include "foundation/StringUtil.h"
#include "foundation/TraceLog.h"
#include "launcher/LaunchParams.h"
#include "uitoolkit/core/ControlUI.h"

namespace {

// Which state icon each type shows; any other type keeps the skin's (the warning icon).
struct TypeIcons {
    UINT type;
    bool warning;
    bool success;
    bool reminder;
};

constexpr TypeIcons kTypeIcons[] = {
    {CMessageBoxView::kTypeSuccess, false, true, false},
    {CMessageBoxView::kTypeReminder, false, false, true},
};

struct NamedResult {
    const wchar_t* button;
    int result;
};

constexpr NamedResult kButtonResults[] = {
    {L"BtnOK", CMessageBoxView::kResultOk},
    {L"BtnCancel", CMessageBoxView::kResultCancel},
    {L"BtnClose", CMessageBoxView::kResultClose},
};

constexpr DWORD kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
constexpr DWORD kBkColorChars = 64;

} // namespace

CMessageBoxView::CMessageBoxView(const std::wstring& title, const std::wstring& message, UINT type)
    : m_title(title), m_message(message), m_type(type)
{
    // Control timers never take the countdown's id.
    m_host.ReserveTimerId(static_cast<UINT>(kCountdownTimerId));
}

int CMessageBoxView::ShowModal(HWND parent)
{
    m_skin = MAKEINTRESOURCEW(kSkinResourceId);
    m_skinType = L"XML";
    m_className = L"MessageBoxView";
    m_classStyle = kClassStyle;
    if (Create(parent, L"MessageBoxView", WS_DLGFRAME, WS_EX_TOPMOST | WS_EX_TOOLWINDOW) == nullptr) {
        if (IsTraceViewerPresent())
            TraceLog(L"CMessageBoxView::ShowModal() skin %d not built, system message box instead", kSkinResourceId);
        return ShowSystemMessageBox(parent);
    }
    ::SetWindowTextW(m_hWnd, m_title.c_str());
    ApplyBackgroundColor();
    if (m_countdown > 0)
        ::SetTimer(m_hWnd, kCountdownTimerId, kCountdownIntervalMs, nullptr);
    return static_cast<int>(CWindowWnd::ShowModal());
}

int CMessageBoxView::ShowSystemMessageBox(HWND parent) const
{
    UINT style = m_cancelCaption.empty() ? MB_OK : MB_OKCANCEL;
    style |= m_type == kTypeWarning ? MB_ICONWARNING : MB_ICONINFORMATION;
    return ::MessageBoxW(parent, m_message.c_str(), m_title.c_str(), style) == IDCANCEL ? kResultCancel
                                                                                         : kResultOk;
}

void CMessageBoxView::OnWindowDestroyed(HWND /*hWnd*/)
{
    UnhookFromHost();
}

LRESULT CMessageBoxView::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    // Without its skin the box would be an empty window only the system can close: creation
    // fails and ShowModal falls back to the system's message box.
    const LRESULT built = CSkinWindowWrapper::OnCreate(message, wParam, lParam, handled);
    if (built != 0)
        return built;

    // 1. Room for the longest line.
    WidenForLongestLine();

    // 2. Title and message, where given; without a title the window's text is the
    // skin's title too.
    if (SkinUI::CControlUI* title = m_host.FindControlByName(L"lblTitle")) {
        if (m_title.empty())
            m_title = title->GetText().GetData();
        else
            title->SetText(m_title.c_str());
    }
    SkinUI::CControlUI* text = m_host.FindControlByName(L"edtMsg");
    if (text != nullptr && !m_message.empty())
        text->SetText(m_message.c_str());

    // 3. The OK caption defaults to the skin's.
    if (SkinUI::CControlUI* ok = m_host.FindControlByName(L"BtnOK")) {
        if (m_okCaption.empty())
            m_okCaption = ok->GetText().GetData();
        RefreshOkText();
    }

    // 4. A cancel button only with a caption.
    SkinUI::CControlUI* cancel = m_host.FindControlByName(L"BtnCancel");
    if (cancel != nullptr && !m_cancelCaption.empty()) {
        cancel->SetText(m_cancelCaption.c_str());
        cancel->SetVisible(true);
    }

    // 5. The icon of the type.
    ShowTypeIcon();
    return 0;
}

void CMessageBoxView::WidenForLongestLine()
{
    size_t longest = 0;
    for (const std::wstring& line : SplitString(m_message, L'\n'))
        longest = std::max(longest, line.size());
    if (longest <= kLineFitChars)
        return;

    RECT window = {};
    RECT client = {};
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    const long long wanted = static_cast<long long>(window.right - window.left) +
                             static_cast<long long>(kPixelsPerExtraChar) * static_cast<long long>(longest - kLineFitChars);

    // Never wider than the work area of the window's monitor (frame included).
    long long limit = wanted;
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info)) {
        const long long frame = (window.right - window.left) - (client.right - client.left);
        limit = static_cast<long long>(info.rcWork.right - info.rcWork.left) - frame;
    }
    ResizeClient(static_cast<int>(std::min(wanted, limit)), -1);
}

void CMessageBoxView::ShowTypeIcon()
{
    for (const TypeIcons& icons : kTypeIcons) {
        if (icons.type != m_type)
            continue;
        const struct {
            const wchar_t* name;
            bool visible;
        } shown[] = {{L"imgWarnning", icons.warning}, {L"imgSuccess", icons.success}, {L"imgReminder", icons.reminder}};
        for (const auto& icon : shown)
            if (SkinUI::CControlUI* control = m_host.FindControlByName(icon.name))
                control->SetVisible(icon.visible);
        return;
    }
}

void CMessageBoxView::RefreshOkText()
{
    SkinUI::CControlUI* ok = m_host.FindControlByName(L"BtnOK");
    if (ok == nullptr)
        return;
    std::wstring text = m_okCaption;
    if (m_countdown > 0)
        text += L"(" + std::to_wstring(m_countdown) + L")";
    ok->SetText(text.c_str());
}

void CMessageBoxView::ApplyBackgroundColor()
{
    DWORD color = kDefaultBkColor;
    const std::wstring config = LaunchParams::Instance().GetCurrentGameDataDir() + L"config.ini";
    if (IsFile(config)) {
        wchar_t value[kBkColorChars] = {};
        ::GetPrivateProfileStringW(L"Public", L"BkColor", L"", value, kBkColorChars, config.c_str());
        if (value[0] != L'\0')
            color = static_cast<DWORD>(std::wcstoul(value, nullptr, 16));
    }
    if (SkinUI::CControlUI* frame = m_host.FindControlByName(L"frameLayout"))
        frame->SetBkColor(color);
}

LRESULT CMessageBoxView::OnTimer(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/, bool& /*handled*/)
{
    if (wParam != kCountdownTimerId)
        return 0;
    if (m_countdown > 0) {
        RefreshOkText();
        --m_countdown;
    } else {
        ::KillTimer(m_hWnd, kCountdownTimerId);
        Close(kResultTimedOut);
    }
    return 0;
}

void CMessageBoxView::Notify(SkinUI::NotifyMessage& msg)
{
    if (msg.type != L"click" || msg.sender == nullptr)
        return;
    const SkinUI::CUIString name = msg.sender->GetName();
    for (const NamedResult& entry : kButtonResults) {
        if (name == entry.button) {
            Close(static_cast<UINT>(entry.result));
            return;
        }
    }
}
