#pragma once
// Helpers shared by the toolkit's OLE control hosts.
#include <windows.h>
#include <unknwn.h>

namespace SkinUI {

// A class id from text: "{...}" through CLSIDFromString, anything else as a ProgID. On failure
// the id is all zero and the result false.
bool ClassIdFromText(const wchar_t* text, CLSID& clsid);

// A size in screen pixels as HIMETRIC units (0.01 mm), the unit of IOleObject::SetExtent.
SIZE PixelsToHimetric(SIZE pixels);

// Navigates a web browser control (any interface of it) to the address.
HRESULT NavigateWebBrowser(IUnknown* browser, const wchar_t* url);

} // namespace SkinUI
