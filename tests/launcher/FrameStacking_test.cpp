// The login dialog on its frame under the player's hands: whatever reaches the frame (a left,
// right or double click on its coloured band or on its side margin, a drag of the band, its
// activation by another program), the dialog stays above the frame. Checked on the screen, not
// only in the window order: the display server keeps a stacking of its own, and the screen is
// what the player sees. The built launcher on the sample game, driven with real input.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/SampleLauncher.h"
#include "tests/launcher/ScreenInput.h"

namespace {

using e2e::kUiBoundMs;
using e2e::MouseButton;
using e2e::WaitUntil;

// Frame coordinates (the sample's background.png and skin\Button.ini).
constexpr POINT kBand = {150, 30};        // the coloured band, away from its buttons
constexpr POINT kMargin = {5, 200};       // the side margin, beside the dialog
constexpr POINT kClose = {446, 32};       // the close button
constexpr POINT kCloseFace = {436, 24};   // a pixel of its face, beside its cross
constexpr uint32_t kCloseHot = 0xE84B4B;  // the hot face there
constexpr SIZE kDragBy = {40, 30};
// The dialog's body (dialog client coordinates), inside its round corners.
constexpr RECT kBody = {10, 10, 440, 299};

std::vector<uint32_t> BodyOnScreen(HWND dialog)
{
    const auto shot = e2e::ScreenOf(dialog, kBody);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < shot->Height(); ++y)
        for (int x = 0; x < shot->Width(); ++x) pixels.push_back(shot->Pixel(x, y));
    return pixels;
}

size_t CountDifferent(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    size_t different = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) different += a[i] != b[i] ? 1 : 0;
    return different;
}

bool AboveInWindowOrder(HWND upper, HWND lower)
{
    for (HWND above = ::GetWindow(lower, GW_HWNDPREV); above != nullptr; above = ::GetWindow(above, GW_HWNDPREV))
        if (above == upper)
            return true;
    return false;
}

// The program handles its input in order: once the frame has shown its close button hot under
// the pointer, and normal again after the pointer left for the corner of the screen, it has
// handled all that was sent before. (Messages sent to it, as the system's activation, come
// before any input.)
::testing::AssertionResult InputHandled(HWND frame)
{
    e2e::MoveTo(frame, kClose);
    if (!e2e::WaitForPixel(frame, kCloseFace, {kCloseHot}))
        return ::testing::AssertionFailure() << "the close button does not show hot under the pointer";
    e2e::MoveTo(nullptr, POINT{0, 0});
    if (!WaitUntil([&] { return e2e::ScreenPixel(frame, kCloseFace) != kCloseHot; }, kUiBoundMs))
        return ::testing::AssertionFailure() << "the close button stays hot after the pointer left";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(FrameStacking, TheDialogStaysAboveItsFrameWhateverReachesTheFrame)
{
    SampleWorkDir work;
    ASSERT_TRUE(work.Make());
    // Nothing of the dialog under the pointer, now or later: its picture stays the same.
    e2e::MoveTo(nullptr, POINT{0, 0});
    LauncherProcess launcher(L"AppId=1001 ChannelId=1 \"WorkDir=" + work.Path() + L"\"");
    const e2e::LoginWindows windows = e2e::WaitForQuickLoginPage(launcher);
    ASSERT_NE(windows.dialog, nullptr) << "no quick-login page";
    HWND dialog = windows.dialog, frame = windows.frame;
    ASSERT_TRUE(InputHandled(frame));
    ASSERT_TRUE(e2e::WaitPainted(dialog));
    const std::vector<uint32_t> body = BodyOnScreen(dialog);
    EXPECT_TRUE(e2e::Shot(frame, L"frame-stacking-start.png"));

    const auto activateFrame = [&] {
        // SetActiveWindow reaches another thread's window while the threads share their input.
        const DWORD self = ::GetCurrentThreadId(), program = LauncherProcess::ThreadOf(frame);
        ASSERT_TRUE(::AttachThreadInput(self, program, TRUE));
        ::SetActiveWindow(frame);
        ::AttachThreadInput(self, program, FALSE);
    };
    const auto drag = [&] {
        RECT before = {}, after = {};
        ::GetWindowRect(frame, &before);
        e2e::Drag(frame, kBand, kDragBy);
        EXPECT_TRUE(WaitUntil([&] {
            ::GetWindowRect(frame, &after);
            return after.left == before.left + kDragBy.cx && after.top == before.top + kDragBy.cy;
        }, kUiBoundMs)) << "the band does not drag the frame";
    };
    const struct {
        const char* name;
        std::function<void()> act;
    } cases[] = {
        {"left click on the band", [&] { e2e::Click(frame, kBand); }},
        {"right click on the band", [&] { e2e::Click(frame, kBand, MouseButton::kRight); }},
        {"double click on the band", [&] { e2e::Click(frame, kBand, MouseButton::kLeft, 2); }},
        {"left click on the margin", [&] { e2e::Click(frame, kMargin); }},
        {"right click on the margin", [&] { e2e::Click(frame, kMargin, MouseButton::kRight); }},
        {"double click on the margin", [&] { e2e::Click(frame, kMargin, MouseButton::kLeft, 2); }},
        {"drag of the band", drag},
        {"SetForegroundWindow", [&] { ::SetForegroundWindow(frame); }},
        {"SetActiveWindow", activateFrame},
    };
    int shot = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Each from the dialog active above its frame, as the program shows it.
        ::SetForegroundWindow(dialog);
        ASSERT_TRUE(WaitUntil([&] { return BodyOnScreen(dialog) == body; }, kUiBoundMs))
            << "the dialog does not show to begin with";
        c.act();
        ASSERT_TRUE(InputHandled(frame));
        EXPECT_TRUE(AboveInWindowOrder(dialog, frame)) << "the frame lies above the dialog in the window order";
        if (!WaitUntil([&] { return BodyOnScreen(dialog) == body; }, kUiBoundMs)) {
            ADD_FAILURE() << "the frame's picture covers the dialog: " << CountDifferent(BodyOnScreen(dialog), body)
                          << " of " << body.size() << " pixels of its body differ";
            e2e::Shot(frame, (L"frame-stacking-" + std::to_wstring(++shot) + L".png").c_str());
        }
    }

    // The frame's close button still closes on its press.
    e2e::Click(frame, kClose);
    EXPECT_EQ(launcher.Wait(kUiBoundMs), 0);
}
