#pragma once
// CEditUI: the single-line text box. A label that paints its own text (password characters in
// password mode) and, only while it has the focus, lays a native edit window (CEditWnd) over
// itself for typing. Every change typed there is copied back and sent as "textchanged"; Return
// sends "return".
#include "uitoolkit/controls/EditFieldBehaviour.h"
#include "uitoolkit/controls/IEditField.h"
#include "uitoolkit/controls/LabelUI.h"

namespace SkinUI {

class CEditWnd;

class CEditUI : public CLabelUI, public IEditField {
public:
    CEditUI();
    // A native edit still open is detached and destroyed with the control.
    ~CEditUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    void SetText(const wchar_t* text) override;
    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE GetDesiredSize(SIZE available) override;
    void PaintStateImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    UINT GetMaxChar() const override { return m_maxChar; }
    void SetMaxChar(UINT maxChar);
    bool IsReadOnly() const override { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool IsPasswordMode() const override { return m_password; }
    void SetPasswordMode(bool password);
    wchar_t GetPasswordChar() const override { return m_passwordChar; }
    void SetPasswordChar(wchar_t ch);
    bool IsEnableCaption() const { return m_enableCaption; }
    void SetEnableCaption(bool enable);
    DWORD GetCaptionTextColor() const { return m_captionTextColor; }
    void SetCaptionTextColor(DWORD color) { m_captionTextColor = color; }
    // 0xFFFFFFFF: the native edit paints its own background.
    DWORD GetNativeBkColor() const override { return m_nativeBkColor; }
    void SetNativeBkColor(DWORD color) { m_nativeBkColor = color; }
    void SetNormalImage(const wchar_t* image) { m_field.SetNormalImage(image); }
    void SetHotImage(const wchar_t* image) { m_field.SetHotImage(image); }
    void SetFocusedImage(const wchar_t* image) { m_field.SetFocusedImage(image); }
    void SetDisabledImage(const wchar_t* image) { m_field.SetDisabledImage(image); }
    UINT GetState() const { return m_field.GetState(); }

    // The native edit while it is open, else null.
    HWND GetNativeWindow() const override;
    // Where the native edit goes: the text rectangle, narrowed around the font's height.
    RECT GetEditRect() const override;

protected:
    CLabelUI& GetFieldLabel() override { return *this; }
    void OpenNativeWindow() override;
    // From the native edit: its text changed; the control takes it and sends "textchanged".
    void OnNativeTextChanged(const wchar_t* text) override;
    // From the native edit: it is being destroyed.
    void OnNativeClosed() override { m_editWnd = nullptr; }

private:
    // Closes the native edit (by dropping the host's focus) once the control cannot be seen.
    void CloseNativeEditWhenHidden();

    CEditWnd* m_editWnd = nullptr;
    UINT m_maxChar = 255;
    bool m_readOnly = false;
    bool m_password = false;
    wchar_t m_passwordChar = L'*';
    CEditFieldBehaviour m_field;  // input, state word and state images
    DWORD m_nativeBkColor = 0xFFFFFFFF;
    bool m_enableCaption = false;
    DWORD m_captionTextColor = 0xFFA4A4A4;
};

} // namespace SkinUI
