#pragma once
// A sample game-data folder for the layered frame: skin\Button.ini, skin\Display.ini, a sprite
// sheet and a background picture, plus the helpers that the frame tests share (GDI+ running, a
// click recorder, a window that records what is posted to it).
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kit/FileBytes.h"
#include "kit/PngWriter.h"
#include "kit/TempDir.h"
#include "login/windows/ButtonEvent.h"
#include "login/windows/FrameBitmaps.h"
#include "login/windows/FrameButton.h"

namespace frame_test {

// Sprite sheet "skin\buttons.png": three 20 x 20 cells side by side, normal red, hot green,
// pushed blue, every one opaque.
constexpr int kCell = 20;
constexpr uint32_t kCellColor[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
// Background "skin\background.png", 160 x 80: translucent orange (alpha 0x80) with a fully
// transparent band of 10 pixels on the left.
constexpr int kBackWidth = 160;
constexpr int kBackHeight = 80;
constexpr uint32_t kBackColor = 0x80FF8040;
constexpr int kClearBand = 10;

// A Button.ini with both buttons on the sheet: MinSize at (100, 10) with all three states and a
// tooltip, Close at (130, 10) without a hot state.
constexpr char kButtonIni[] =
    "[MinSize]\r\n"
    "Pos=100,10\r\n"
    "NormalImage=skin\\buttons.png\r\nNormalImageSource=0,0,20,20\r\n"
    "HotImage=skin\\buttons.png\r\nHotImageSource=20,0,40,20\r\n"
    "PushedImage=skin\\buttons.png\r\nPushedImageSource=40,0,60,20\r\n"
    "ToolTip=Minimise\r\n"
    "[Close]\r\n"
    "Pos=130,10\r\n"
    "NormalImage=skin\\buttons.png\r\nNormalImageSource=0,0,20,20\r\n"
    "PushedImage=skin\\buttons.png\r\nPushedImageSource=40,0,60,20\r\n"
    "ToolTip=Close\r\n";

class GameDataDir {
public:
    // The folder with its skin subfolder, the sprite sheet and the background.
    GameDataDir() : m_base(m_dir.Path() + L"\\")
    {
        ::CreateDirectoryW((m_base + L"skin").c_str(), nullptr);
        std::vector<uint32_t> sheet(3 * kCell * kCell);
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < 3 * kCell; ++x) sheet[y * 3 * kCell + x] = kCellColor[x / kCell];
        WriteSkinFile(L"buttons.png", kit::EncodePng(3 * kCell, kCell, sheet));
        std::vector<uint32_t> back(kBackWidth * kBackHeight, kBackColor);
        for (int y = 0; y < kBackHeight; ++y)
            for (int x = 0; x < kClearBand; ++x) back[y * kBackWidth + x] = 0;
        WriteSkinFile(L"background.png", kit::EncodePng(kBackWidth, kBackHeight, back));
    }

    // The folder, ending in a backslash.
    const std::wstring& Base() const { return m_base; }
    void WriteSkinFile(const std::wstring& name, const std::string& bytes) const
    {
        ASSERT_TRUE(kit::WriteBytesToFile(m_base + L"skin\\" + name, bytes));
    }

private:
    kit::TempDir m_dir;
    std::wstring m_base;
};

// Starts GDI+ for one test and shuts it down afterwards.
struct GdiplusSession {
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        EXPECT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token); }
    ULONG_PTR token = 0;
};

// The background as the login dialog hands it over: decoded and turned into a GDI+ bitmap.
inline std::unique_ptr<Gdiplus::Bitmap> LoadBackground(const GameDataDir& dir)
{
    const auto entry = LoadBmpFileToDib(dir.Base() + L"skin\\background.png");
    return entry ? HBitmapToGdiplusBitmap(entry->hBitmap) : nullptr;
}

// Records every click (names in order, and the events); onClick runs afterwards.
struct ClickRecorder : IButtonEvent {
    void OnButtonEvent(ButtonEvent& event) override
    {
        names.push_back(event.button->name);
        events.push_back(event);
        if (onClick) onClick(event);
    }
    std::vector<std::wstring> names;
    std::vector<ButtonEvent> events;
    std::function<void(ButtonEvent&)> onClick;
};

// A hidden popup ("STATIC") that records the key downs and the messages from WM_USER on that
// reach it.
struct RecordingWindow {
    RecordingWindow()
        : hWnd(::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 50, 30, nullptr, nullptr, nullptr,
                                 nullptr))
    {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~RecordingWindow() { ::DestroyWindow(hWnd); }
    POINT TopLeft() const
    {
        RECT rc{};
        ::GetWindowRect(hWnd, &rc);
        return POINT{rc.left, rc.top};
    }
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<RecordingWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (message >= WM_USER || message == WM_KEYDOWN) self->messages.push_back(MSG{hWnd, message, wParam, lParam, 0, {}});
        return ::CallWindowProcW(self->old, hWnd, message, wParam, lParam);
    }

    HWND hWnd;
    WNDPROC old = nullptr;
    std::vector<MSG> messages;
};

} // namespace frame_test
