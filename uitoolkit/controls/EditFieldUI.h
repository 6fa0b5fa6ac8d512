#pragma once
// CEditFieldUI: what the edit-like fields (the edit box, the extended edit, and the hot-key field
// through the edit box) share. A label that paints its own text (password characters in
// password mode) and, while it is edited, lays a native window over itself: opened on focus and
// on a click, placed over the field, closed by dropping the host's focus once the field cannot
// be seen, and detached and destroyed with the field. It keeps the hot / focused / disabled state
// word with its four state images, and the edit settings its native edit takes (limit,
// read-only, password character, background colour). Typed changes come back as "textchanged".
#include <string>

#include "uitoolkit/controls/ButtonBehaviour.h"
#include "uitoolkit/controls/IEditWndOwner.h"
#include "uitoolkit/controls/LabelUI.h"

namespace SkinUI {

class CEditWnd;

class CEditFieldUI : public CLabelUI, public IEditWndOwner {
public:
    // An open native edit is detached and destroyed with the field.
    ~CEditFieldUI() override;

    UINT GetBehaviourFlags() const override;
    void SetText(const wchar_t* text) override;
    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;
    // "readonly", "password", "maxchar", the four state images and "nativebkcolor"; anything
    // else goes to the label.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE GetDesiredSize(SIZE available) override;
    void PaintStateImage(HDC hDC) override;

    UINT GetMaxChar() const override { return m_maxChar; }
    void SetMaxChar(UINT maxChar);
    bool IsReadOnly() const override { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool IsPasswordMode() const override { return m_password; }
    void SetPasswordMode(bool password);
    wchar_t GetPasswordChar() const override { return m_passwordChar; }
    void SetPasswordChar(wchar_t ch);
    // 0xFFFFFFFF: the native edit paints its own background.
    DWORD GetNativeBkColor() const override { return m_nativeBkColor; }
    void SetNativeBkColor(DWORD color) { m_nativeBkColor = color; }
    void SetNormalImage(const wchar_t* image) { SetImage(m_normalImage, image); }
    void SetHotImage(const wchar_t* image) { SetImage(m_hotImage, image); }
    void SetFocusedImage(const wchar_t* image) { SetImage(m_focusedImage, image); }
    void SetDisabledImage(const wchar_t* image) { SetImage(m_disabledImage, image); }
    UINT GetState() const { return m_state.GetState(); }

    // The native window over the field while it is open, else null.
    virtual HWND GetNativeWindow() const;
    // Where the native edit goes: the text rectangle, narrowed around the font's height.
    RECT GetEditRect() const override;

protected:
    CEditFieldUI();

    // Opens the native window when none is open. It may notify: callers watch the field.
    virtual void OpenNativeWindow();
    // The native edit a field of this kind opens.
    virtual CEditWnd* NewNativeEdit() = 0;
    // Where the native window goes.
    virtual RECT GetNativeRect() const { return GetEditRect(); }
    // The text as painted changed (text, password mode or character); before an open native
    // edit is told.
    virtual void OnShownTextChanged() {}

    CLabelUI& GetFieldLabel() override { return *this; }
    void OnNativeTextChanged(const wchar_t* text) override;
    void OnNativeClosed() override { m_editWnd = nullptr; }

    // The text as the field shows it: one password character per character in password mode.
    std::wstring GetShownText() const;
    CEditWnd* GetNativeEdit() const { return m_editWnd; }

private:
    void SetImage(CUIString& field, const wchar_t* image);
    // EM_SETSEL over the whole text (to 1 for an empty text).
    void SelectAll();
    // Drops the host's focus (which closes the native window) once the field cannot be seen.
    void CloseNativeWindowWhenHidden();

    CEditWnd* m_editWnd = nullptr;
    UINT m_maxChar = 255;
    bool m_readOnly = false;
    bool m_password = false;
    wchar_t m_passwordChar = L'*';
    CButtonBehaviour m_state;  // the state word only: focused, disabled, hot
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    DWORD m_nativeBkColor = 0xFFFFFFFF;
};

} // namespace SkinUI
