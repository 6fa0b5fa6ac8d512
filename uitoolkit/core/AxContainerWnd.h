#pragma once
// CAxContainerWnd: the OLE control container window, class "AtlAxWin120". A window of this class
// created with a text hosts the control that the text names (a class id, a ProgID, or an address
// for the platform's web browser control): it makes a site (CAxClientSite), creates the control
// and activates it in place on the client area, keeps it sized with the window and closes it when
// the window is destroyed.
//
// Windows created by class name (CreateWindowExW(0, L"AtlAxWin120", L"{...}", ...)) get an object
// of their own that lives as long as the window. A derived class hosts its control through
// its own site (MakeSite) and handles the window's messages (ProcessMessage).
#include <windows.h>

#include "foundation/ComPtr.h"
#include "uitoolkit/core/AxClientSite.h"
#include "uitoolkit/core/WindowWnd.h"

namespace SkinUI {

class CAxContainerWnd : public CWindowWnd {
public:
    static constexpr wchar_t kClassName[] = L"AtlAxWin120";

    CAxContainerWnd() = default;
    ~CAxContainerWnd() override;

    // Registers the window class; true when it is registered (now or before).
    static bool RegisterContainerClass();

    const wchar_t* GetWindowClass() const override { return kClassName; }
    // Creates a window of the class bound to this object; the text names the control (or none).
    HWND CreateContainer(HWND parent, const wchar_t* text, DWORD style, DWORD exStyle, const RECT& rc);

    // Hosts the control named by the text through a new site (MakeSite).
    HRESULT CreateControl(const wchar_t* name);
    // An interface of the hosted control; E_PENDING while there is none.
    HRESULT QueryControl(REFIID riid, void** out);
    // The site of the hosted control; null before CreateControl and after the window is gone.
    CAxClientSite* GetSite() const { return m_site.Get(); }

protected:
    // The site for a new control. Hosts that shape the control's user interface give their own.
    virtual ComPtr<CAxClientSite> MakeSite();
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND hWnd) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    ComPtr<CAxClientSite> m_site;
    bool m_ownedByWindow = false;
};

} // namespace SkinUI
