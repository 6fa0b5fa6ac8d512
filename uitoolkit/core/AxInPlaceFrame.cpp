#include "uitoolkit/core/AxInPlaceFrame.h"

namespace SkinUI {

HRESULT CAxInPlaceFrame::QueryInterface(REFIID riid, void** out)
{
    IOleInPlaceFrame* self = this;
    return Answer(riid, out, {{&IID_IUnknown, self}, {&IID_IOleWindow, self}, {&IID_IOleInPlaceUIWindow, self},
                              {&IID_IOleInPlaceFrame, self}});
}

HRESULT CAxInPlaceFrame::GetWindow(HWND* hWnd)
{
    if (hWnd == nullptr)
        return E_POINTER;
    *hWnd = FrameWindow();
    return *hWnd != nullptr ? S_OK : E_UNEXPECTED;
}

HRESULT CAxInPlaceFrame::ContextSensitiveHelp(BOOL) { return S_OK; }

// The whole client area is the control's; nothing is reserved around it.
HRESULT CAxInPlaceFrame::GetBorder(LPRECT border)
{
    if (border == nullptr)
        return E_POINTER;
    if (!::GetClientRect(FrameWindow(), border))
        ::SetRectEmpty(border);
    return S_OK;
}

HRESULT CAxInPlaceFrame::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
HRESULT CAxInPlaceFrame::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

HRESULT CAxInPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    m_activeObject = object;
    return S_OK;
}

HRESULT CAxInPlaceFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
HRESULT CAxInPlaceFrame::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT CAxInPlaceFrame::RemoveMenus(HMENU) { return S_OK; }
HRESULT CAxInPlaceFrame::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT CAxInPlaceFrame::EnableModeless(BOOL) { return S_OK; }
HRESULT CAxInPlaceFrame::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

} // namespace SkinUI
