#include "uitoolkit/core/OleControlUtil.h"

#include <exdisp.h>
#include <objbase.h>

#include "foundation/BStr.h"
#include "foundation/ComPtr.h"

#include "uitoolkit/core/GdiObject.h"

namespace SkinUI {

bool ClassIdFromText(const wchar_t* text, CLSID& clsid)
{
    clsid = CLSID{};
    if (text == nullptr || text[0] == L'\0')
        return false;
    CLSID parsed = {};
    const HRESULT hr = text[0] == L'{' ? ::CLSIDFromString(text, &parsed) : ::CLSIDFromProgID(text, &parsed);
    if (FAILED(hr))
        return false;  // the out value may hold partial data then: keep the zero id
    clsid = parsed;
    return true;
}

SIZE PixelsToHimetric(SIZE pixels)
{
    constexpr int kHimetricPerInch = 2540;
    CWindowDC screen(nullptr);
    const int dpiX = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
    const int dpiY = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    return SIZE{::MulDiv(pixels.cx, kHimetricPerInch, dpiX), ::MulDiv(pixels.cy, kHimetricPerInch, dpiY)};
}

// The browser may report the navigation to code that drops the caller's reference meanwhile; the
// call holds its own.
HRESULT NavigateWebBrowser(IUnknown* browser, const wchar_t* url)
{
    if (browser == nullptr || url == nullptr)
        return E_POINTER;
    ComPtr<IWebBrowser2> web;
    HRESULT hr = browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(web.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    try {
        BStr text(url);
        VARIANT target = {};
        target.vt = VT_BSTR;
        target.bstrVal = text.Get();
        VARIANT empty = {};
        return web->Navigate2(&target, &empty, &empty, &empty, &empty);
    } catch (const ComError& error) {
        return error.Code();
    }
}

} // namespace SkinUI
