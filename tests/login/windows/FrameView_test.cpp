// The layered frame on a real window: its picture read back from the screen, button states by
// mouse messages, clicks on press, tooltips, and the windows attached to it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FrameSkin.h"
#include "kit/DibCanvas.h"
#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/Input.h"
#include "kit/Pump.h"
#include "login/windows/FrameView.h"

using namespace frame_test;

namespace {

constexpr POINT kFramePos{100, 100};
constexpr POINT kOnMinSize{105, 15};
constexpr POINT kOnClose{135, 15};
constexpr POINT kOnBackground{50, 40};

// A frame over the sample skin at kFramePos, painted and shown, with a click recorder, and a
// recording window attached at the Display.ini offsets (12, 40).
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.WriteSkinFile(L"Button.ini", kButtonIni);
        dir.WriteSkinFile(L"Display.ini", "[Display]\r\nLoginWindowOffset_X=12\r\nLoginWindowOffset_Y=40\r\n");
        background = LoadBackground(dir);
        ASSERT_NE(background, nullptr);
        Open();
    }

    // A new frame over the skin as it is now, replacing any earlier one.
    void Open()
    {
        // The pointer away from the frame: no button is hot before a test moves there.
        ::SetCursorPos(kit::HostWindow::kParkX, kit::HostWindow::kParkY);
        frame = std::make_unique<CFrameView>(dir.Base());
        ASSERT_NE(Frame(), nullptr);
        ::SetWindowPos(Frame(), nullptr, kFramePos.x, kFramePos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        frame->SetBackgroundImage(background.get());
        frame->Paint();
        frame->Redraw();
        frame->AddButtonListener(&clicks);
        ::ShowWindow(Frame(), SW_SHOWNOACTIVATE);
        kit::Drain();
    }

    HWND Frame() const { return frame ? frame->GetHWND() : nullptr; }
    FrameButton* Button(int i) const { return frame->GetButtons()[static_cast<size_t>(i)]; }
    std::vector<UINT> States() const
    {
        std::vector<UINT> states;
        for (const FrameButton* b : frame->GetButtons()) states.push_back(b->state);
        return states;
    }
    void MoveTo(POINT pt) { kit::Input(Frame()).Move(pt.x, pt.y); }
    void Press(POINT pt)
    {
        MoveTo(pt);
        kit::Input(Frame()).LeftDown(pt.x, pt.y);
    }
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { kit::Input(Frame()).Post(message, wParam, lParam); }

    // Whether the screen shows the frame's pixel as 0xAARRGGBB (premultiplied colour). The screen
    // takes a moment to show a new picture: the pixel is read until it matches, for at most a
    // second.
    testing::AssertionResult ScreenShows(POINT pt, uint32_t expected) const
    {
        kit::DibCanvas canvas(1, 1, 0x123456);
        kit::PumpUntil(
            [&] {
                const SkinUI::CWindowDC screen(nullptr);
                RECT rc{};
                ::GetWindowRect(Frame(), &rc);
                ::BitBlt(canvas.DC(), 0, 0, 1, 1, screen.Get(), rc.left + pt.x, rc.top + pt.y, SRCCOPY);
                return canvas.Bits()[0] == expected;
            },
            1000);
        if (canvas.Bits()[0] == expected) return testing::AssertionSuccess();
        return testing::AssertionFailure() << std::hex << "pixel " << std::dec << pt.x << "," << pt.y << " is "
                                           << std::hex << canvas.Bits()[0] << ", expected " << expected;
    }

    GdiplusSession gdiplus;
    GameDataDir dir;
    std::unique_ptr<Gdiplus::Bitmap> background;
    std::unique_ptr<CFrameView> frame;
    ClickRecorder clicks;
};

} // namespace

TEST_F(FrameTest, PictureIsTheBackgroundWithPremultipliedAlphaAndTheNormalSprites)
{
    RECT rc{};
    ::GetWindowRect(Frame(), &rc);
    EXPECT_EQ(rc.right - rc.left, kBackWidth);
    EXPECT_EQ(rc.bottom - rc.top, kBackHeight);
    const struct {
        POINT at;
        uint32_t argb;
    } cases[] = {
        {{5, 40}, 0x00000000},      // transparent band
        {{60, 60}, 0x80804020},     // 0x80FF8040 premultiplied
        {{100, 10}, kCellColor[0]}, // MinSize, normal
        {{119, 29}, kCellColor[0]},
        {{120, 30}, 0x80804020},
        {{139, 20}, kCellColor[0]}, // Close, normal
    };
    for (const auto& c : cases)
        EXPECT_TRUE(ScreenShows(c.at, c.argb));
}

TEST_F(FrameTest, MouseMovesMakeButtonsHotOnlyWhereAHotSpriteExists)
{
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    MoveTo(kOnMinSize);
    EXPECT_EQ(States(), (std::vector<UINT>{FrameButton::kHot, FrameButton::kNormal}));
    EXPECT_TRUE(ScreenShows(kOnMinSize, kCellColor[1]));
    EXPECT_EQ(::GetCursor(), hand);
    // From one button straight onto the other: Close has no hot sprite and stays normal.
    MoveTo(kOnClose);
    EXPECT_EQ(States(), (std::vector<UINT>{FrameButton::kNormal, FrameButton::kNormal}));
    EXPECT_TRUE(ScreenShows(kOnMinSize, kCellColor[0]));
    MoveTo(kOnMinSize);
    MoveTo(kOnBackground);
    EXPECT_EQ(States(), (std::vector<UINT>{FrameButton::kNormal, FrameButton::kNormal}));
    EXPECT_NE(::GetCursor(), hand);
    MoveTo(kOnMinSize);
    Post(WM_MOUSELEAVE);
    EXPECT_EQ(States(), (std::vector<UINT>{FrameButton::kNormal, FrameButton::kNormal}));
    EXPECT_TRUE(ScreenShows(kOnMinSize, kCellColor[0]));
}

TEST_F(FrameTest, PressReportsTheClickToEveryListenerAndShowsThePushedSprite)
{
    ClickRecorder second;
    frame->AddButtonListener(&second);
    Press(kOnClose);
    EXPECT_EQ(Button(1)->state, FrameButton::kPushed);
    EXPECT_TRUE(ScreenShows(kOnClose, kCellColor[2]));
    Press(kOnMinSize);
    EXPECT_EQ(clicks.names, (std::vector<std::wstring>{L"Close", L"MinSize"}));
    EXPECT_EQ(second.names, clicks.names);
    ASSERT_EQ(clicks.events.size(), 2u);
    EXPECT_EQ(clicks.events[1].type, L"click");
    EXPECT_EQ(clicks.events[1].button, Button(0));
    EXPECT_EQ(clicks.events[1].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(clicks.events[1].lParam, MAKELPARAM(kOnMinSize.x, kOnMinSize.y));
    EXPECT_TRUE(::IsWindow(Frame()));
}

TEST_F(FrameTest, ButtonWithoutItsPictureIsNotDrawnButStillClicks)
{
    dir.WriteSkinFile(L"Button.ini", "[Close]\r\nPos=130,10\r\nNormalImage=skin\\none.png\r\n"
                                     "NormalImageSource=0,0,20,20\r\n");
    Open();
    EXPECT_TRUE(ScreenShows(kOnClose, 0x80804020u));
    Press(kOnClose);
    EXPECT_EQ(clicks.names, std::vector<std::wstring>{L"Close"});
}

TEST_F(FrameTest, ListenerThatDeletesTheFrameEndsTheReport)
{
    kit::GuardedScope guard;
    ClickRecorder second;
    clicks.onClick = [&](ButtonEvent&) { frame.reset(); };
    frame->AddButtonListener(&second);
    const HWND hWnd = Frame();
    Press(kOnMinSize);
    EXPECT_EQ(frame, nullptr);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(clicks.names.size(), 1u);
    EXPECT_TRUE(second.names.empty());
}

TEST_F(FrameTest, CloseAndKeysGoToTheAttachedWindows)
{
    RecordingWindow dialog;
    EXPECT_FALSE(frame->AttachWindow(nullptr));
    ASSERT_TRUE(frame->AttachWindow(dialog.hWnd));
    Post(WM_SYSCOMMAND, SC_CLOSE);
    Post(WM_KEYDOWN, VK_RETURN, 0x001C0001);
    ASSERT_EQ(dialog.messages.size(), 2u);
    EXPECT_EQ(dialog.messages[0].message, CFrameView::kCloseRequest);
    EXPECT_EQ(dialog.messages[0].message, WM_USER + 100u);
    EXPECT_EQ(dialog.messages[1].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(dialog.messages[1].wParam, static_cast<WPARAM>(VK_RETURN));
    EXPECT_EQ(dialog.messages[1].lParam, 0x001C0001);
    EXPECT_TRUE(::IsWindow(Frame()));
}

TEST_F(FrameTest, ActivatingTheProgramRestoresAMinimisedFrame)
{
    ::ShowWindow(Frame(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Frame()));
    Post(WM_ACTIVATEAPP, FALSE);
    EXPECT_TRUE(::IsIconic(Frame()));
    Post(WM_ACTIVATEAPP, TRUE);
    EXPECT_FALSE(::IsIconic(Frame()));
}

TEST_F(FrameTest, WithoutAttachedWindowCloseClosesTheFrame)
{
    Post(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(Frame(), nullptr);
}

TEST_F(FrameTest, AttachedWindowsFollowMovesAndDragsAtTheSkinOffsets)
{
    RecordingWindow dialog;
    GameDataDir bare;  // no Display.ini: offsets 0, 0
    CFrameView other(bare.Base());
    RecordingWindow second;
    ASSERT_TRUE(frame->AttachWindow(dialog.hWnd));
    ASSERT_TRUE(other.AttachWindow(second.hWnd));
    ::SetWindowPos(Frame(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetWindowPos(other.GetHWND(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(dialog.TopLeft().x, 312);
    EXPECT_EQ(dialog.TopLeft().y, 240);
    EXPECT_EQ(second.TopLeft().x, 50);
    EXPECT_EQ(second.TopLeft().y, 60);

    // A press on the background runs the system's drag loop: the pointer moves by (30, 20), then
    // the button goes up. Everything is queued before the press is handled.
    MoveTo(kOnBackground);
    const LPARAM to = MAKELPARAM(kOnBackground.x + 30, kOnBackground.y + 20);
    ::PostMessageW(Frame(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kOnBackground.x, kOnBackground.y));
    ::SetCursorPos(300 + kOnBackground.x + 30, 200 + kOnBackground.y + 20);
    ::PostMessageW(Frame(), WM_MOUSEMOVE, MK_LBUTTON, to);
    ::PostMessageW(Frame(), WM_LBUTTONUP, 0, to);
    kit::Drain();
    RECT rc{};
    ::GetWindowRect(Frame(), &rc);
    EXPECT_EQ(rc.left, 330);
    EXPECT_EQ(rc.top, 220);
    EXPECT_EQ(dialog.TopLeft().x, 342);
    EXPECT_EQ(dialog.TopLeft().y, 260);
    EXPECT_TRUE(clicks.names.empty());
}

TEST_F(FrameTest, HoverShowsTheButtonsTooltipFromOneTooltipWindow)
{
    MoveTo(kOnBackground);
    Post(WM_MOUSEHOVER);
    EXPECT_EQ(frame->GetToolTipWindow(), nullptr);

    const struct {
        POINT at;
        const wchar_t* text;
    } hovers[] = {{kOnMinSize, L"Minimise"}, {kOnClose, L"Close"}, {kOnMinSize, L"Minimise"}};
    HWND tip = nullptr;
    for (const auto& hover : hovers) {
        MoveTo(hover.at);
        Post(WM_MOUSEHOVER);
        if (tip == nullptr) tip = frame->GetToolTipWindow();
        ASSERT_NE(tip, nullptr);
        EXPECT_EQ(frame->GetToolTipWindow(), tip);
        EXPECT_EQ(::GetWindow(tip, GW_OWNER), Frame());
        EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
        wchar_t text[32] = {};
        TOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = Frame();
        info.uId = reinterpret_cast<UINT_PTR>(Frame());
        info.lpszText = text;
        ::SendMessageW(tip, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(text, hover.text);
    }
    EXPECT_EQ(States(), (std::vector<UINT>{FrameButton::kHot, FrameButton::kNormal}));
}
