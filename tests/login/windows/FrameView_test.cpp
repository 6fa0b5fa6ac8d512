// The login dialog's layered frame: its skin files (Button.ini, the button state rules, the
// picture conversions, randomly damaged Button.ini / Display.ini), and the frame on a real
// window: its picture read back from the screen, button states by mouse messages, clicks on
// press, tooltips, and the windows attached to it (placed, hidden and shown with the frame).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/Fuzz.h"
#include "kit/GdiplusSession.h"
#include "kit/GuardedHeap.h"
#include "kit/HostWindow.h"
#include "kit/Input.h"
#include "kit/PngWriter.h"
#include "kit/Probe.h"
#include "kit/Pump.h"
#include "kit/Stacking.h"
#include "kit/TempDir.h"
#include "kit/Text.h"
#include "login/windows/ButtonSkinIni.h"
#include "login/windows/FrameBitmaps.h"
#include "login/windows/FrameView.h"
#include "uitoolkit/core/RenderKit.h"

namespace {

// Sprite sheet: three opaque 20 x 20 cells, normal red, hot green, pushed blue. Background:
// 160 x 80 translucent orange with a transparent band of 10 pixels on the left and an opaque blue
// band of 10 pixels at the bottom (a picture turned upside down would show).
constexpr int kCell = 20, kBackWidth = 160, kBackHeight = 80;
constexpr uint32_t kCellColor[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
constexpr uint32_t kBackPremultiplied = 0x80804020, kBottomBlue = 0xFF2040C0;  // 0x80FF8040 premultiplied
constexpr POINT kOnMinSize{105, 15}, kOnClose{135, 15}, kOnBackground{50, 40};

// MinSize at (100, 10) with all three states, Close at (130, 10) without a hot state.
constexpr char kButtonIni[] =
    "[MinSize]\r\nPos=100,10\r\n"
    "NormalImage=skin\\buttons.png\r\nNormalImageSource=0,0,20,20\r\n"
    "HotImage=skin\\buttons.png\r\nHotImageSource=20,0,40,20\r\n"
    "PushedImage=skin\\buttons.png\r\nPushedImageSource=40,0,60,20\r\nToolTip=Minimise\r\n"
    "[Close]\r\nPos=130,10\r\n"
    "NormalImage=skin\\buttons.png\r\nNormalImageSource=0,0,20,20\r\n"
    "PushedImage=skin\\buttons.png\r\nPushedImageSource=40,0,60,20\r\nToolTip=Close\r\n";

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// A game-data folder with skin\buttons.png and skin\background.png.
class GameDataDir {
public:
    GameDataDir() : m_base(m_dir.Path() + L"\\")
    {
        ::CreateDirectoryW((m_base + L"skin").c_str(), nullptr);
        Write(L"buttons.png", kit::EncodePng(3 * kCell, kCell, [](int x, int) { return kCellColor[x / kCell]; }));
        Write(L"background.png", kit::EncodePng(kBackWidth, kBackHeight, [](int x, int y) {
                  return x < 10 ? 0u : y >= kBackHeight - 10 ? kBottomBlue : 0x80FF8040u;
              }));
    }
    const std::wstring& Base() const { return m_base; }  // ends in a backslash
    void Write(const std::wstring& name, const std::string& bytes) const
    {
        ASSERT_TRUE(kit::WriteBytesToFile(m_base + L"skin\\" + name, bytes));
    }

private:
    kit::TempDir m_dir;
    std::wstring m_base;
};

// "name frame-rect | image source per state | tooltip", image paths without the base folder.
std::vector<std::string> LoadButtons(const GameDataDir& dir)
{
    std::vector<std::string> lines;
    for (const auto& b : LoadButtonSkinIni(dir.Base())) {
        std::string text = Narrow(b->name) + " " + kit::Text(b->FrameRect());
        for (UINT s = 0; s < FrameButton::kStateCount; ++s)
            text += " | " + Narrow(b->image[s].rfind(dir.Base(), 0) == 0 ? b->image[s].substr(dir.Base().size())
                                                                         : b->image[s]) +
                    " " + kit::Text(b->source[s]);
        lines.push_back(text + " | " + Narrow(b->toolTip));
    }
    return lines;
}

// Records every click; onClick runs afterwards.
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

// A hidden popup that records the key downs and the messages from WM_USER on that reach it;
// owned by `owner` when given, as the login dialog is by its frame.
struct RecordingWindow {
    explicit RecordingWindow(HWND owner = nullptr)
        : hWnd(::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 50, 30, owner, nullptr, nullptr,
                                 nullptr))
    {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~RecordingWindow() { ::DestroyWindow(hWnd); }
    std::string TopLeft() const
    {
        RECT rc{};
        ::GetWindowRect(hWnd, &rc);
        return kit::Text(SIZE{rc.left, rc.top});
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

} // namespace

TEST(ButtonSkinIni, ButtonsComeFromTheKnownSectionsInFileOrder)
{
    const struct {
        const char* ini;
        std::vector<std::string> buttons;
    } cases[] = {
        {"[Close]\r\nPos=1,2\r\n[Help]\r\nPos=3,4\r\n[MinSize]\r\nPos=5,6\r\nToolTip=Min\r\n",
         {"Close 1,2,1,2 |  0,0,0,0 |  0,0,0,0 |  0,0,0,0 | ", "MinSize 5,6,5,6 |  0,0,0,0 |  0,0,0,0 |  0,0,0,0 | Min"}},
        {"[Close]\r\nPos=10,20\r\nNormalImage=skin\\a.png\r\nNormalImageSource=0,0,30,20\r\n",
         {"Close 10,20,40,40 | skin\\a.png 0,0,30,20 |  0,0,0,0 |  0,0,0,0 | "}},
        // "0x" reads hexadecimal, a leading 0 octal.
        {"[MinSize]\r\nPos=0x10,010\r\nNormalImage=n.png\r\nNormalImageSource=0x0,0,0x1E,024\r\n"
         "HotImage=h.png\r\nHotImageSource=1,2,3,4\r\nPushedImage=p.png\r\nPushedImageSource=5,6,7,8\r\n",
         {"MinSize 16,8,46,28 | n.png 0,0,30,20 | h.png 1,2,3,4 | p.png 5,6,7,8 | "}},
        // A number out of range leaves its key's field alone; missing numbers are 0; an empty
        // value changes nothing.
        {"[Close]\r\nPos=99999999999,5\r\nNormalImageSource=1,2,3,0x100000000\r\nHotImageSource=7\r\n"
         "PushedImage=\r\nToolTip=x\r\n",
         {"Close 0,0,0,0 |  0,0,0,0 |  7,0,0,0 |  0,0,0,0 | x"}},
        {"[close]\r\nPos=1,2\r\n[Help]\r\n", {}},
        {"", {}},
    };
    GameDataDir none;
    EXPECT_TRUE(LoadButtons(none).empty());
    for (const auto& c : cases) {
        GameDataDir dir;
        dir.Write(L"Button.ini", c.ini);
        EXPECT_EQ(LoadButtons(dir), c.buttons) << c.ini;
    }
}

TEST(FrameButton, StateChangesOnlyToAStateWithImageAndSourceArea)
{
    FrameButton b;
    b.image[FrameButton::kNormal] = b.image[FrameButton::kPushed] = L"x.png";
    b.source[FrameButton::kNormal] = RECT{0, 0, 20, 20};
    b.source[FrameButton::kHot] = RECT{20, 0, 40, 20};     // no image
    b.source[FrameButton::kPushed] = RECT{40, 0, 40, 20};  // no width
    for (UINT to : {FrameButton::kHot, FrameButton::kPushed, FrameButton::kNormal}) {
        b.dirty = false;
        EXPECT_FALSE(b.SetState(to)) << to;
        EXPECT_EQ(b.state, FrameButton::kNormal);
        EXPECT_FALSE(b.dirty);
    }
    b.source[FrameButton::kPushed].right = 60;
    EXPECT_TRUE(b.SetState(FrameButton::kPushed));
    EXPECT_TRUE(b.dirty);
    EXPECT_EQ(kit::Text(b.FrameRect()), "0,0,20,20");
    EXPECT_TRUE(b.HitTest(POINT{19, 19}));
    EXPECT_FALSE(b.HitTest(POINT{20, 5}));
}

TEST(FrameBitmaps, FilesDecodeToPremultipliedDibsOrNothing)
{
    kit::GdiplusSession gdiplus;
    GameDataDir dir;
    const std::vector<uint32_t> premultiplied = {0xFF102030, 0x80804020, 0x00000000, 0x40404040};
    dir.Write(L"p.png", kit::EncodePng(2, 2, std::vector<uint32_t>{0xFF102030, 0x80FF8040, 0x00000000, 0x40FFFFFF}));
    auto entry = LoadBmpFileToDib(dir.Base() + L"skin\\p.png");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->hasAlpha);
    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectW(entry->hBitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    EXPECT_EQ(std::vector<uint32_t>(bits, bits + 4), premultiplied);

    // (The GDI+ bitmap's alpha and orientation show in the frame's picture on the screen.)
    // Missing, empty, undecodable and oversized pictures give nothing.
    dir.Write(L"empty.png", "");
    dir.Write(L"junk.png", "not a picture");
    dir.Write(L"huge.png", kit::EncodePngClaiming(20000, 1, 1, 1, {0xFF000000}));
    for (const wchar_t* name : {L"none.png", L"empty.png", L"junk.png", L"huge.png"})
        EXPECT_EQ(LoadBmpFileToDib(dir.Base() + L"skin\\" + name), nullptr) << Narrow(name);
    void* wideBits = nullptr;
    SkinUI::CGdiBitmap wide = SkinUI::CreateDib32(SkinUI::CRenderKit::kMaxImageSide + 1, 1, &wideBits);
    EXPECT_EQ(HBitmapToGdiplusBitmap(wide.Get()), nullptr);
    EXPECT_EQ(HBitmapToGdiplusBitmap(nullptr), nullptr);
}

TEST(FrameSkinFuzz, DamagedSkinFilesLoadWithoutHarm)
{
    kit::GdiplusSession gdiplus;
    GameDataDir dir;
    CFrameView frame(dir.Base());
    kit::FuzzRun fuzz;
    for (int i = 0; i < 150; ++i) {
        dir.Write(L"Button.ini", fuzz.Mutate(std::string(kButtonIni), 6));
        for (const auto& b : LoadButtonSkinIni(dir.Base())) {
            ASSERT_TRUE(b->name == L"MinSize" || b->name == L"Close");
            b->HitTest(POINT{b->x, b->y});
        }
        dir.Write(L"Display.ini", fuzz.Mutate(std::string("[Display]\r\nLoginWindowOffset_X=12\r\nLoginWindowOffset_Y=-4\r\n"), 4));
        ASSERT_TRUE(frame.AttachWindow(frame.GetHWND()));
    }
}

namespace {

// A frame over the sample skin at (100, 100), painted and shown, with a click recorder; the
// Display.ini offsets are (12, 40).
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write(L"Button.ini", kButtonIni);
        dir.Write(L"Display.ini", "[Display]\r\nLoginWindowOffset_X=12\r\nLoginWindowOffset_Y=40\r\n");
        const auto entry = LoadBmpFileToDib(dir.Base() + L"skin\\background.png");
        ASSERT_NE(entry, nullptr);
        background = HBitmapToGdiplusBitmap(entry->hBitmap);
        Open();
    }
    // A new frame over the skin as it is now, replacing any earlier one; no button hot.
    void Open()
    {
        ::SetCursorPos(kit::HostWindow::kParkX, kit::HostWindow::kParkY);
        frame = std::make_unique<CFrameView>(dir.Base());
        ASSERT_NE(Frame(), nullptr);
        ::SetWindowPos(Frame(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        frame->SetBackgroundImage(background.get());
        frame->Paint();
        frame->Redraw();
        frame->AddButtonListener(&clicks);
        ::ShowWindow(Frame(), SW_SHOWNOACTIVATE);
        kit::Drain();
    }
    HWND Frame() const { return frame ? frame->GetHWND() : nullptr; }
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
    // Whether the screen shows the frame's pixel as 0xAARRGGBB (premultiplied), read until it
    // does for at most a second: the screen takes a moment to show a new picture.
    testing::AssertionResult ScreenShows(POINT pt, uint32_t expected) const
    {
        uint32_t seen = 0;
        kit::PumpUntil([&] {
            RECT rc{};
            ::GetWindowRect(Frame(), &rc);
            return (seen = kit::CaptureScreen(RECT{rc.left + pt.x, rc.top + pt.y, rc.left + pt.x + 1, rc.top + pt.y + 1})
                               ->Bits()[0]) == expected;
        }, 1000);
        if (seen == expected) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "pixel " << pt.x << "," << pt.y << " is " << std::hex << seen
                                           << ", expected " << expected;
    }

    kit::GdiplusSession gdiplus;
    GameDataDir dir;
    std::unique_ptr<Gdiplus::Bitmap> background;
    std::unique_ptr<CFrameView> frame;
    ClickRecorder clicks;
};

using StateList = std::vector<UINT>;
constexpr UINT kNormal = FrameButton::kNormal, kHot = FrameButton::kHot;

} // namespace

TEST_F(FrameTest, PictureShowsTheBackgroundAndTheSpriteOfEachButtonState)
{
    RECT rc{};
    ::GetWindowRect(Frame(), &rc);
    EXPECT_EQ(kit::Text(SIZE{rc.right - rc.left, rc.bottom - rc.top}), kit::Text(SIZE{kBackWidth, kBackHeight}));
    const struct {
        POINT at;
        uint32_t argb;
    } cases[] = {{{5, 40}, 0},           {{60, 60}, kBackPremultiplied}, {{60, 75}, kBottomBlue},
                 {{100, 10}, kCellColor[0]}, {{119, 29}, kCellColor[0]}, {{120, 30}, kBackPremultiplied},
                 {{139, 20}, kCellColor[0]}};
    for (const auto& c : cases) EXPECT_TRUE(ScreenShows(c.at, c.argb));

    // Hot only where a hot sprite exists: from MinSize straight onto Close, MinSize goes back.
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    MoveTo(kOnMinSize);
    EXPECT_EQ(States(), (StateList{kHot, kNormal}));
    EXPECT_TRUE(ScreenShows(kOnMinSize, kCellColor[1]));
    EXPECT_EQ(::GetCursor(), hand);
    MoveTo(kOnClose);
    EXPECT_EQ(States(), (StateList{kNormal, kNormal}));
    EXPECT_TRUE(ScreenShows(kOnMinSize, kCellColor[0]));
    MoveTo(kOnMinSize);
    MoveTo(kOnBackground);
    EXPECT_EQ(States(), (StateList{kNormal, kNormal}));
    EXPECT_NE(::GetCursor(), hand);
    // The pointer leaves for real: resting on the button, it would bring the system's hover after
    // the leave, and the button would rightly be hot again.
    MoveTo(kOnMinSize);
    ::SetCursorPos(kit::HostWindow::kParkX, kit::HostWindow::kParkY);
    Post(WM_MOUSELEAVE);
    EXPECT_EQ(States(), (StateList{kNormal, kNormal}));
    EXPECT_TRUE(ScreenShows(kOnMinSize, kCellColor[0]));
}

TEST_F(FrameTest, PressReportsTheClickToEveryListenerAndShowsThePushedSprite)
{
    ClickRecorder second;
    frame->AddButtonListener(&second);
    Press(kOnClose);
    EXPECT_EQ(frame->GetButtons()[1]->state, FrameButton::kPushed);
    EXPECT_TRUE(ScreenShows(kOnClose, kCellColor[2]));
    Press(kOnMinSize);
    EXPECT_EQ(clicks.names, (std::vector<std::wstring>{L"Close", L"MinSize"}));
    EXPECT_EQ(second.names, clicks.names);
    ASSERT_EQ(clicks.events.size(), 2u);
    EXPECT_EQ(clicks.events[1].type, L"click");
    EXPECT_EQ(clicks.events[1].button, frame->GetButtons()[0]);
    EXPECT_EQ(clicks.events[1].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(clicks.events[1].lParam, MAKELPARAM(kOnMinSize.x, kOnMinSize.y));

    // A button whose picture is missing is not drawn but still clicks.
    dir.Write(L"Button.ini", "[Close]\r\nPos=130,10\r\nNormalImage=skin\\none.png\r\nNormalImageSource=0,0,20,20\r\n");
    Open();
    EXPECT_TRUE(ScreenShows(kOnClose, kBackPremultiplied));
    clicks.names.clear();
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

TEST_F(FrameTest, CloseAndKeysGoToTheAttachedWindowsAndActivationRestores)
{
    ::ShowWindow(Frame(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Frame()));
    Post(WM_ACTIVATEAPP, FALSE);
    EXPECT_TRUE(::IsIconic(Frame()));
    Post(WM_ACTIVATEAPP, TRUE);
    EXPECT_FALSE(::IsIconic(Frame()));

    RecordingWindow dialog;
    EXPECT_FALSE(frame->AttachWindow(nullptr));
    ASSERT_TRUE(frame->AttachWindow(dialog.hWnd));
    Post(WM_SYSCOMMAND, SC_CLOSE);
    Post(WM_KEYDOWN, VK_RETURN, 0x001C0001);
    ASSERT_EQ(dialog.messages.size(), 2u);
    EXPECT_EQ(dialog.messages[0].message, WM_USER + 100u);
    EXPECT_EQ(dialog.messages[1].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(dialog.messages[1].wParam, static_cast<WPARAM>(VK_RETURN));
    EXPECT_EQ(dialog.messages[1].lParam, 0x001C0001);
    EXPECT_TRUE(::IsWindow(Frame()));
    // Without an attached window, close closes the frame.
    Open();
    Post(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(Frame(), nullptr);
}

TEST_F(FrameTest, AttachedWindowsFollowMovesAndDragsAtTheSkinOffsets)
{
    RecordingWindow dialog, second;
    GameDataDir bare;  // no Display.ini: offsets 0, 0
    CFrameView other(bare.Base());
    ASSERT_TRUE(frame->AttachWindow(dialog.hWnd));
    ASSERT_TRUE(other.AttachWindow(second.hWnd));
    ::SetWindowPos(Frame(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetWindowPos(other.GetHWND(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(dialog.TopLeft(), "312,240");
    EXPECT_EQ(second.TopLeft(), "50,60");

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
    EXPECT_EQ(kit::Text(SIZE{rc.left, rc.top}), "330,220");
    EXPECT_EQ(dialog.TopLeft(), "342,260");
    EXPECT_TRUE(clicks.names.empty());
}

TEST_F(FrameTest, HoverShowsTheButtonsTooltipFromOneTooltipWindow)
{
    MoveTo(kOnBackground);
    Post(WM_MOUSEHOVER);
    EXPECT_EQ(frame->GetToolTipWindow(), nullptr);
    const std::pair<POINT, const wchar_t*> hovers[] = {{kOnMinSize, L"Minimise"}, {kOnClose, L"Close"},
                                                       {kOnMinSize, L"Minimise"}};
    HWND tip = nullptr;
    for (const auto& [at, expected] : hovers) {
        MoveTo(at);
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
        EXPECT_STREQ(text, expected);
    }
    EXPECT_EQ(States(), (StateList{kHot, kNormal}));
}

// However the frame goes (minimised by its menu command or directly, or hidden) its attached
// window goes with it, and comes back with it: at its offset, right above the frame, without
// being activated, and with the caption buttons and their tooltip at rest.
TEST_F(FrameTest, AttachedWindowsHideAndShowWithTheFrame)
{
    const auto send = [](UINT command) { return [command](HWND f) { ::SendMessageW(f, WM_SYSCOMMAND, command, 0); }; };
    const auto show = [](int how) { return [how](HWND f) { ::ShowWindow(f, how); }; };
    const struct {
        const char* name;
        std::function<void(HWND)> away;
        std::function<void(HWND)> back;
        bool iconic;
    } roads[] = {
        {"menu minimise, menu restore", send(SC_MINIMIZE), send(SC_RESTORE), true},
        {"minimise, restore", show(SW_MINIMIZE), show(SW_RESTORE), true},
        {"menu minimise, restore", send(SC_MINIMIZE), show(SW_RESTORE), true},
        {"hide, show", show(SW_HIDE), show(SW_SHOWNOACTIVATE), false},
    };
    RecordingWindow dialog(Frame());
    ASSERT_TRUE(frame->AttachWindow(dialog.hWnd));
    kit::HostWindow elsewhere;  // holds the activation before the frame comes back
    ASSERT_TRUE(elsewhere.Open(new kit::Box(L"elsewhere"), 50, 50));
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        ::ShowWindow(Frame(), SW_SHOWNORMAL);
        ::ShowWindow(dialog.hWnd, SW_SHOWNOACTIVATE);
        MoveTo(kOnMinSize);
        Post(WM_MOUSEHOVER);
        ASSERT_NE(frame->GetToolTipWindow(), nullptr);
        ASSERT_TRUE(::IsWindowVisible(frame->GetToolTipWindow()));
        Press(kOnMinSize);  // pushed, as when the button minimises the frame
        ::SetCursorPos(kit::HostWindow::kParkX, kit::HostWindow::kParkY);

        road.away(Frame());
        kit::Drain();
        EXPECT_EQ(::IsIconic(Frame()) != FALSE, road.iconic);
        EXPECT_FALSE(::IsWindowVisible(dialog.hWnd));
        EXPECT_FALSE(::IsWindowVisible(frame->GetToolTipWindow()));

        ::SetActiveWindow(elsewhere.Hwnd());
        road.back(Frame());
        const HWND active = ::GetActiveWindow();
        kit::Drain();
        EXPECT_FALSE(::IsIconic(Frame()));
        EXPECT_TRUE(::IsWindowVisible(dialog.hWnd));
        EXPECT_EQ(dialog.TopLeft(), "112,140");
        EXPECT_TRUE(kit::SettlesRightAbove(dialog.hWnd, Frame())) << "not right above the frame";
        EXPECT_EQ(::GetActiveWindow(), active) << "showing the attached window moved the activation";
        EXPECT_NE(::GetActiveWindow(), dialog.hWnd);
        EXPECT_FALSE(::IsWindowVisible(frame->GetToolTipWindow()));
        EXPECT_EQ(States(), (StateList{kNormal, kNormal}));
        EXPECT_TRUE(ScreenShows(kOnMinSize, kCellColor[0])) << "the pushed sprite stayed";
    }
}
