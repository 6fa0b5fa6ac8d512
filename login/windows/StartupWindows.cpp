#include "login/windows/StartupWindows.h"

#include "login/OmbrelLauncherLoginEventHandler.h"
#include "login/windows/LoginView.h"
#include "login/windows/MessageBoxView.h"

bool CStartupWindows::OpenLogin()
{
    OmbrelLauncherLoginEventHandler& handler = OmbrelLauncherLoginEventHandler::GetInstance();
    handler.Login();
    const LoginView* view = handler.GetLoginView();
    if (view != nullptr && view->IsCreated())
        return true;
    handler.CloseLoginView();
    return false;
}

void CStartupWindows::ShowStartupError(const std::wstring& text)
{
    // No title of its own: the box keeps its skin's.
    CMessageBoxView box(L"", text, CMessageBoxView::kTypeWarning);
    box.ShowModal(nullptr);
}
