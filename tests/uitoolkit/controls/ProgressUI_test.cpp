// The progress bar painted in a real window: the fore image covers the part of the control that
// the value stands for (from the left, or from the bottom when vertical), limits are normalised
// and the value clamped by the paint, and wide limits do not overflow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XmlHost.h"
#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/PngWriter.h"
#include "kit/TempDir.h"
#include "uitoolkit/controls/ProgressUI.h"
#include "uitoolkit/core/HostResources.h"

using namespace SkinUI;
using xml_host::XmlHost;

namespace {

struct FillCase {
    const wchar_t* attributes;
    RECT red;         // where the fore image lands, in the 100 x 100 window
    int storedMax;    // after the paint
    int storedValue;
};

} // namespace

TEST(ProgressPaint, ForeImageCoversTheValuesShareAndPaintClamps)
{
    kit::TempDir dir;
    ASSERT_TRUE(kit::WriteBytesToFile(dir.File(L"red.png"), kit::EncodePng(2, 2, std::vector<uint32_t>(4, 0xFFFF0000))));
    CHostResources::AddResourcePath(dir.Path().c_str(), false);
    const FillCase cases[] = {
        {L"max=\"200\" value=\"50\"", {0, 0, 25, 20}, 200, 50},
        {L"value=\"150\"", {0, 0, 100, 20}, 100, 100},  // clamped to the maximum
        {L"value=\"-4\"", {0, 0, 0, 0}, 100, 0},
        {L"max=\"0\" value=\"5\"", {0, 0, 100, 20}, 1, 1},  // painted as if the maximum were 1
        {L"min=\"-2000000000\" max=\"2000000000\" value=\"0\"", {0, 0, 50, 20}, 2000000000, 0},
        {L"hor=\"false\" pos=\"0,0,20,100\" value=\"25\"", {0, 75, 20, 100}, 100, 25},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(std::wstring(c.attributes).c_str());
        XmlHost h;
        ASSERT_TRUE(h.Open((L"<Window><Container><Progress name=\"p\" float=\"true\" pos=\"0,0,100,20\" "
                            L"foreimage=\"red.png\" " + std::wstring(c.attributes) + L"/></Container></Window>").c_str(),
                           100, 100));
        auto shot = kit::CaptureClient(h.win.Hwnd());
        EXPECT_TRUE(kit::CanvasIs(*shot, [&](int x, int y) { return kit::In(x, y, c.red) ? 0xFF0000u : 0xFFFFFFu; }));
        auto* p = h.Find<CProgressUI>(L"p");
        EXPECT_EQ(std::to_string(p->GetMaxValue()) + " " + std::to_string(p->GetValue()),
                  std::to_string(c.storedMax) + " " + std::to_string(c.storedValue));
    }
    // Defaults: a single centred line of text, 12 high.
    CProgressUI fresh;
    EXPECT_EQ(fresh.GetTextStyle(), static_cast<UINT>(DT_SINGLELINE | DT_CENTER));
    EXPECT_EQ(fresh.GetFixedHeight(), 12);
    EXPECT_EQ(fresh.GetInterface(L"Progress"), &fresh);
    EXPECT_EQ(fresh.GetInterface(L"Label"), &fresh);
    CHostResources::GetResourcePathList().Clear();
}
