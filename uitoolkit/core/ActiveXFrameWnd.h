#pragma once
// CActiveXFrameWnd: the in-place frame a CActiveXUI's object gets. Its window is the owner's
// window-host window, asked through the site, so that a frame the object keeps after the owner
// is gone answers E_UNEXPECTED instead of reaching a deleted control.
#include "foundation/ComPtr.h"
#include "uitoolkit/core/AxInPlaceFrame.h"

namespace SkinUI {

class CActiveXCtrl;

class CActiveXFrameWnd : public CAxInPlaceFrame {
public:
    explicit CActiveXFrameWnd(CActiveXCtrl* site);
    ~CActiveXFrameWnd() override;

protected:
    HWND FrameWindow() const override;

private:
    ComPtr<CActiveXCtrl> m_site;
};

} // namespace SkinUI
