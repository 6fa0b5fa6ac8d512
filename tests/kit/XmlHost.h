#pragma once
// The fixture of the control tests: a real window whose tree the dialog builder makes from an XML
// skin, with a notification recorder attached, and what the tests do with it (find controls,
// read their places, send input, read pixels back, ask for the cursor, open an edit's native
// window).
//
//   kit::SkinFolder images;                    // red.png, green.png ... on the resource path
//   kit::XmlHost h;
//   ASSERT_TRUE(h.Open(kit::Skin(L"<Button name=\"b\" float=\"true\" pos=\"0,0,80,30\" normalimage=\"red.png\"/>"), 200, 100));
//   EXPECT_EQ(h.Pixel(10, 10), kit::kRed);
//   h.In().Click(10, 10);
//   EXPECT_EQ(h.rec.Count(L"click"), 1);
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "kit/HostWindow.h"
#include "kit/Input.h"
#include "kit/NotifyRecorder.h"
#include "kit/Pump.h"
#include "kit/SkinDir.h"
#include "kit/Text.h"
#include "uitoolkit/core/IDialogBuilderCallback.h"

namespace kit {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kGrey = 0x808080,
                   kCyan = 0x00FFFF, kWhite = 0xFFFFFF, kBlack = 0x000000;

// Colours as 0xRRGGBB, e.g. the pixels of several points compared in one check.
using Colors = std::vector<uint32_t>;

struct XmlHost {
    // The recorder outlives the window: closing the window (a combo's open drop-down with it, say)
    // still notifies.
    NotifyRecorder rec;
    HostWindow win;
    SkinUI::CControlUI* root = nullptr;

    // Builds the skin into the window's host, attaches it and lays it out; what the first paint
    // notified is cleared.
    bool Open(const std::wstring& xml, int width, int height, SkinUI::IDialogBuilderCallback* callback = nullptr);
    SkinUI::CWindowHostUI* Host() const { return win.Host(); }
    template <class T = SkinUI::CControlUI>
    T* Find(const wchar_t* name) const
    {
        return static_cast<T*>(win.Host()->FindControlByName(name));
    }
    // The controls' rectangles as "l,t,r,b", separated by spaces ("missing" for no such control).
    std::string Pos(const std::vector<const wchar_t*>& names) const;
    std::string Pos(const wchar_t* name) const { return Pos(std::vector<const wchar_t*>{name}); }
    Input In() const { return Input(win.Hwnd()); }
    // Client pixels as painted now: one, several, and those within a distance of 60 of a colour.
    uint32_t Pixel(int x, int y) const;
    int CountNear(const RECT& rc, uint32_t rgb) const;
    Colors Pixels(std::initializer_list<POINT> points) const;
    // Moves the pointer there and lets the host set the cursor.
    HCURSOR CursorAt(int x, int y) const;
    // Takes the control out of its parent container; with atOnce it is deleted before this returns.
    bool Remove(const wchar_t* name, bool atOnce = false) const;
    // Gives the edit-like field the focus and lets its native window open; that window, or null.
    HWND FocusField(const wchar_t* name) const;
};

// "<Window><Container name=\"root\">" + controls + "</Container></Window>".
std::wstring Skin(const std::wstring& controls);

// Each character sent as WM_CHAR, as typing does; the window's text.
void Type(HWND hWnd, const std::wstring& text);
std::wstring WindowText(HWND hWnd);

// A skin folder holding the solid 8 x 8 pictures red.png, green.png, blue.png, yellow.png,
// grey.png and cyan.png.
class SolidImageDir : public SkinDir {
public:
    SolidImageDir();
};

// A builder callback that makes the tags of a table, for controls the toolkit's builder does not
// know:  kit::TagTable tags{{L"Stack", &kit::Make<StackLayout>}};
template <class T>
SkinUI::CControlUI* Make()
{
    return new T();
}

class TagTable : public SkinUI::IDialogBuilderCallback {
public:
    using Factory = SkinUI::CControlUI* (*)();
    TagTable(std::initializer_list<std::pair<const wchar_t*, Factory>> tags) : m_tags(tags) {}
    void Add(const wchar_t* tag, Factory factory) { m_tags.emplace_back(tag, factory); }
    SkinUI::CControlUI* CreateControl(const wchar_t* tag) override;

private:
    std::vector<std::pair<const wchar_t*, Factory>> m_tags;
};

} // namespace kit
