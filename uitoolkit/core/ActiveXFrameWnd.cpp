#include "uitoolkit/core/ActiveXFrameWnd.h"

#include "uitoolkit/core/ActiveXCtrl.h"
#include "uitoolkit/core/ActiveXUI.h"

namespace SkinUI {

CActiveXFrameWnd::CActiveXFrameWnd(CActiveXCtrl* site) : CAxInPlaceFrame(nullptr), m_site(site) {}

CActiveXFrameWnd::~CActiveXFrameWnd() = default;

HWND CActiveXFrameWnd::FrameWindow() const
{
    const CActiveXUI* owner = m_site ? m_site->GetOwner() : nullptr;
    return owner != nullptr ? owner->GetPaintWindow() : nullptr;
}

} // namespace SkinUI
