#pragma once
// CTxtWinHost: the host side of a windowless Rich Edit text-services object ("Riched20.dll",
// "CreateTextServices") for one CRichEditUI. It answers the text services' questions (DC,
// client rectangle, formats, property bits) and carries out their requests (caret, timers,
// capture, scroll bars, invalidation) through the rich edit control and its window host.
//
// The text-host and text-services methods use the thiscall convention (the platform's
// declarations compiled with GCC give exactly that), so the vtables match what the system's
// text services expect.
#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <textserv.h>

#include <memory>
#include <type_traits>

#include "foundation/ComImpl.h"
#include "foundation/ComPtr.h"
#include "uitoolkit/core/TxtCaret.h"
#include "uitoolkit/core/UIRect.h"

namespace SkinUI {

// The platform's text-host and text-services contracts under the toolkit's names.
using ITextHost = ::ITextHost;
using ITextServices = ::ITextServices;

class CRichEditUI;

class CTxtWinHost : public ComImpl<ITextHost> {
public:
    // Loads the text-services library. The creator holds the first reference
    // (ComPtr<CTxtWinHost>::Adopt); the last Release destroys the host.
    CTxtWinHost();

    // Builds the default formats from the owner's font, colour and style (the creation record's
    // style and window name, when given) and creates the text services. False when the library
    // or its entry point is missing or the text services refuse; the caller then drops the host.
    bool Init(CRichEditUI* owner, const CREATESTRUCTW* create);

    // The text rectangle in client pixels; the extent follows in HIMETRIC. Kept within GDI's
    // range and never negative; no word wrap while it is narrower than a character. A change is
    // announced to the text services as a new client rectangle: they wrap the text again at once.
    // The caret shows only inside it.
    void SetClientRect(const RECT& rc);
    const CUIRect& GetControlRect() const { return m_rcClient; }
    // The character format takes the font's size, face, character set and effects.
    void SetFont(HFONT hFont);
    void SetColor(DWORD argb);
    void SetTransparent(bool transparent);
    void SetRichText(bool rich);
    HRESULT OnTxInPlaceActivate(LPCRECT rcClient);
    // Lets the text services set the cursor when the point lies in the rectangle (the client
    // rectangle for null); false when it lies outside.
    bool DoSetCursor(const RECT* rc, const POINT* pt);
    bool IsCaptured() const { return (m_flags & kCaptured) != 0; }
    ITextServices* GetTextServices() const { return m_services.Get(); }

    // The library the text services come from, looked up in the system directory. Tests name
    // another file to exercise a system without it.
    static void SetLibraryName(const wchar_t* name);

    // IUnknown (the reference count is ComImpl's)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;

    // ITextHost
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC hDC) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
    WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
    void TxInvalidateRect(LPCRECT rc, WINBOOL mode) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT rcScroll, LPCRECT rcClip, HRGN update,
                          LPRECT rcUpdate, UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT pt) override;
    WINBOOL TxClientToScreen(LPPOINT pt) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rc) override;
    HRESULT TxGetViewInset(LPRECT rc) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** cf) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** pf) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* cf) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* pf) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC himc) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

protected:
    // Deactivates and releases the text services, then frees the library. Reached through the
    // last Release only.
    ~CTxtWinHost() override;

private:
    // Flag bits.
    enum : DWORD {
        kAutoWordSel = 0x001,
        kWordWrap = 0x002,
        kAllowBeep = 0x004,
        kRichText = 0x008,
        kSaveSelection = 0x010,
        kInPlaceActive = 0x020,
        kTransparent = 0x040,
        kTimer = 0x080,
        kCaptured = 0x100,
    };

    struct ModuleDeleter {
        void operator()(HMODULE module) const { ::FreeLibrary(module); }
    };

    // Size, face, character set and effects of the character format from a font.
    void ApplyFont(HFONT hFont);
    // Pixels per logical inch of the window host's paint DC along LOGPIXELSX / LOGPIXELSY.
    int PixelsPerInch(int axis) const;
    // The character height of the text's font, in pixels.
    int EmPixels() const;
    bool WordWraps() const { return (m_flags & kWordWrap) != 0 && !m_narrow; }
    HDC PaintDC() const;
    HWND PaintWindow() const;
    void NotifyPropertyChange(DWORD bit, DWORD value);
    // Tells the text services that the character format changed.
    void AnnounceCharFormat();
    // Where the text's first line would start, in client coordinates: the client rectangle's
    // corner less the text services' scroll position.
    POINT TextOrigin() const;

    CRichEditUI* m_owner = nullptr;
    // Declared before the services so that the library outlives them.
    std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter> m_module;
    ComPtr<ITextServices> m_services;
    DWORD m_style = ES_MULTILINE;
    DWORD m_flags = 0;
    LONG m_selBarWidth = 0;
    LONG m_maxLength = 32767;
    CUIRect m_rcClient;
    bool m_narrow = false;  // the client rectangle is narrower than a character
    SIZEL m_extent = {0, 0};
    CHARFORMAT2W m_cf{};
    PARAFORMAT2 m_pf{};
    LONG m_accelPos = -1;
    wchar_t m_passwordChar = 0;
    CTxtCaret m_caret;
};

} // namespace SkinUI
