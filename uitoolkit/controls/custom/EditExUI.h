#pragma once
// CEditExUI: the single-line field of the program's dialogs. A label that paints its own text
// and, while it is edited, lays a native edit (CEditExWnd) over itself that refuses spaces and
// commas. It can size its width to its text (between its minimum and maximum width, and to the
// activate maximum width while being edited), and announces the native edit's opening and
// closing ("editwndcreate", "editwndclose") besides "textchanged" and "return".
#include "uitoolkit/controls/EditFieldBehaviour.h"
#include "uitoolkit/controls/IEditField.h"
#include "uitoolkit/controls/LabelUI.h"

namespace SkinUI {

class CEditExWnd;

class CEditExUI : public CLabelUI, public IEditField {
public:
    CEditExUI();
    // An open native edit is detached and destroyed with the control.
    ~CEditExUI() override;

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

    // The widths and heights around editing. A setter ignores a negative or unchanged value and
    // otherwise lays the parent out again.
    virtual int GetActivateMinWidth() const { return m_activateMin.cx; }
    virtual void SetActivateMinWidth(int width) { SetActivateValue(m_activateMin.cx, width); }
    virtual int GetActivateMaxWidth() const { return m_activateMax.cx; }
    virtual void SetActivateMaxWidth(int width) { SetActivateValue(m_activateMax.cx, width); }
    virtual int GetActivateMinHeight() const { return m_activateMin.cy; }
    virtual void SetActivateMinHeight(int height) { SetActivateValue(m_activateMin.cy, height); }
    virtual int GetActivateMaxHeight() const { return m_activateMax.cy; }
    virtual void SetActivateMaxHeight(int height) { SetActivateValue(m_activateMax.cy, height); }

    UINT GetMaxChar() const override { return m_maxChar; }
    void SetMaxChar(UINT maxChar);
    bool IsReadOnly() const override { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool IsPasswordMode() const override { return m_password; }
    void SetPasswordMode(bool password);
    wchar_t GetPasswordChar() const override { return m_passwordChar; }
    // 0xFFFFFFFF: the native edit paints its own background.
    DWORD GetNativeBkColor() const override { return m_nativeBkColor; }
    void SetNativeBkColor(DWORD color) { m_nativeBkColor = color; }
    bool IsAutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }
    void SetNormalImage(const wchar_t* image) { m_field.SetNormalImage(image); }
    void SetHotImage(const wchar_t* image) { m_field.SetHotImage(image); }
    void SetFocusedImage(const wchar_t* image) { m_field.SetFocusedImage(image); }
    void SetDisabledImage(const wchar_t* image) { m_field.SetDisabledImage(image); }
    UINT GetState() const { return m_field.GetState(); }

    HWND GetNativeWindow() const override;
    // Where the native edit goes: the text rectangle, narrowed around the font's height.
    RECT GetEditRect() const override;
    // Opens the native edit when none is open: auto-size, "editwndcreate", then the window.
    void OpenNativeWindow() override;

protected:
    CLabelUI& GetFieldLabel() override { return *this; }
    void OnNativeTextChanged(const wchar_t* text) override;
    // Auto-size, then "editwndclose" (last).
    void OnNativeClosed() override;

private:
    // With auto-size on: the activate maximum width while editing, else the text's width plus
    // the text padding within the minimum and maximum width.
    void AutoSize();
    void SetActivateValue(LONG& field, int value);
    void CloseNativeEditWhenHidden();

    CEditExWnd* m_editWnd = nullptr;
    bool m_opening = false;  // between "editwndcreate" and the window's creation
    UINT m_maxChar = 255;
    bool m_readOnly = false;
    bool m_password = false;
    wchar_t m_passwordChar = L'*';
    CEditFieldBehaviour m_field;  // input, state word and state images
    DWORD m_nativeBkColor = 0xFFFFFFFF;
    bool m_autoSize = false;
    SIZE m_activateMin = {0, 0};
    SIZE m_activateMax = {9999, 9999};
};

} // namespace SkinUI
