#pragma once
// CMenuButton: a button drawn in layers: its normal image as the background, the image of its
// first state that has one (disabled, pushed, hot, focused) over it, and a logo (a hot logo
// while hot) at a position of its own. It handles input as the push button does.
#include "uitoolkit/controls/ButtonLikeUI.h"

namespace SkinUI {

class CMenuButton : public CButtonLikeUI {
public:
    CMenuButton();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStateImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // The image texts, in the order the menu button keeps them.
    enum ImageSlot { kLogo, kHotLogo, kNormal, kHot, kPushed, kFocused, kDisabled, kImageSlots };
    const wchar_t* GetImage(ImageSlot slot) const { return m_images[slot]; }
    void SetImage(ImageSlot slot, const wchar_t* image);
    // The program's dialogs keep the target of a menu button's link in its focused image.
    const wchar_t* GetFocusedImage() const { return m_images[kFocused]; }
    // The logo's place, relative to the control's top-left; empty draws no logo.
    RECT GetLogoRect() const;

private:
    CUIString m_images[kImageSlots];
    int m_logoX = 0;
    int m_logoY = 0;
    int m_logoWidth = 0;
    int m_logoHeight = 0;
};

} // namespace SkinUI
