#pragma once
// CEditExUI: the single-line field of the program's dialogs. An edit field (CEditFieldUI) whose
// native edit (CEditExWnd) refuses spaces and commas. It can size its width to its text (between
// its minimum and maximum width, and to the activate maximum width while being edited), and
// announces the native edit's opening and closing ("editwndcreate", "editwndclose") besides
// "textchanged" and "return".
#include "uitoolkit/controls/EditFieldUI.h"

namespace SkinUI {

class CEditExUI : public CEditFieldUI {
public:
    CEditExUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // "autosize" and the four activate values; anything else goes to the field.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
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

    bool IsAutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }

protected:
    // Auto-size, "editwndcreate", then the native edit.
    void OpenNativeWindow() override;
    CEditWnd* NewNativeEdit() override;
    void OnShownTextChanged() override { AutoSize(); }
    // Auto-size, then "editwndclose" (last).
    void OnNativeClosed() override;

private:
    // With auto-size on: the activate maximum width while editing, else the text's width plus
    // the text padding within the minimum and maximum width.
    void AutoSize();
    void SetActivateValue(LONG& field, int value);

    bool m_opening = false;  // between "editwndcreate" and the native edit's creation
    bool m_autoSize = false;
    SIZE m_activateMin = {0, 0};
    SIZE m_activateMax = {9999, 9999};
};

} // namespace SkinUI
