// The frame's skin files: buttons from skin\Button.ini (order, number forms, out-of-range and
// missing numbers, missing sections), the button state rules, the picture conversions, and
// randomly damaged Button.ini / Display.ini files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrameSkin.h"
#include "kit/Fuzz.h"
#include "login/windows/ButtonSkinIni.h"
#include "login/windows/FrameView.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/RenderKit.h"

using namespace frame_test;

namespace {

std::string RectText(const RECT& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}

// "name x,y frame-rect | image source per state | tooltip", image paths without the base folder.
std::string Describe(const FrameButton& b, const std::wstring& base)
{
    std::string text = std::string(b.name.begin(), b.name.end()) + " " + RectText(b.FrameRect());
    for (UINT s = 0; s < FrameButton::kStateCount; ++s) {
        const std::wstring image = b.image[s].rfind(base, 0) == 0 ? b.image[s].substr(base.size()) : b.image[s];
        text += " | " + std::string(image.begin(), image.end()) + " " + RectText(b.source[s]);
    }
    return text + " | " + std::string(b.toolTip.begin(), b.toolTip.end());
}

std::vector<std::string> Load(const GameDataDir& dir)
{
    std::vector<std::string> lines;
    for (const auto& button : LoadButtonSkinIni(dir.Base())) lines.push_back(Describe(*button, dir.Base()));
    return lines;
}

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
    for (const auto& c : cases) {
        GameDataDir dir;
        dir.WriteSkinFile(L"Button.ini", c.ini);
        EXPECT_EQ(Load(dir), c.buttons) << c.ini;
    }
    GameDataDir none;
    EXPECT_TRUE(Load(none).empty());
}

TEST(FrameButton, StateChangesOnlyToAStateWithImageAndSourceArea)
{
    FrameButton b;
    b.image[FrameButton::kNormal] = b.image[FrameButton::kPushed] = L"x.png";
    b.source[FrameButton::kNormal] = RECT{0, 0, 20, 20};
    b.source[FrameButton::kHot] = RECT{20, 0, 40, 20};  // no image
    b.source[FrameButton::kPushed] = RECT{40, 0, 40, 20};  // no width
    const struct {
        UINT to;
        bool changed;
    } steps[] = {{FrameButton::kHot, false}, {FrameButton::kPushed, false}, {FrameButton::kNormal, false}};
    for (const auto& step : steps) {
        b.dirty = false;
        EXPECT_EQ(b.SetState(step.to), step.changed);
        EXPECT_EQ(b.state, FrameButton::kNormal);
        EXPECT_FALSE(b.dirty);
    }
    b.source[FrameButton::kPushed].right = 60;
    EXPECT_TRUE(b.SetState(FrameButton::kPushed));
    EXPECT_TRUE(b.dirty);
    EXPECT_EQ(RectText(b.FrameRect()), "0,0,20,20");
    EXPECT_TRUE(b.HitTest(POINT{19, 19}));
    EXPECT_FALSE(b.HitTest(POINT{20, 5}));
}

TEST(FrameBitmaps, FilesDecodeToPremultipliedDibsAndUprightGdiplusBitmaps)
{
    GdiplusSession gdiplus;
    GameDataDir dir;
    const std::vector<uint32_t> png = {0xFF102030, 0x80FF8040, 0x00000000, 0x40FFFFFF};
    const std::vector<uint32_t> premultiplied = {0xFF102030, 0x80804020, 0x00000000, 0x40404040};
    dir.WriteSkinFile(L"p.png", kit::EncodePng(2, 2, png));
    auto entry = LoadBmpFileToDib(dir.Base() + L"skin\\p.png");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->hasAlpha);
    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectW(entry->hBitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    EXPECT_EQ(std::vector<uint32_t>(bits, bits + 4), premultiplied);

    auto bitmap = HBitmapToGdiplusBitmap(entry->hBitmap);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppPARGB);
    Gdiplus::Rect all(0, 0, 2, 2);
    Gdiplus::BitmapData data{};
    ASSERT_EQ(bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data), Gdiplus::Ok);
    std::vector<uint32_t> read;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) read.push_back(static_cast<const uint32_t*>(data.Scan0)[y * data.Stride / 4 + x]);
    bitmap->UnlockBits(&data);
    EXPECT_EQ(read, premultiplied);

    // Missing, empty, undecodable and oversized pictures give nothing.
    dir.WriteSkinFile(L"empty.png", "");
    dir.WriteSkinFile(L"junk.png", "not a picture");
    dir.WriteSkinFile(L"huge.png", kit::EncodePngClaiming(20000, 1, 1, 1, {0xFF000000}));
    for (const wchar_t* name : {L"none.png", L"empty.png", L"junk.png", L"huge.png"})
        EXPECT_EQ(LoadBmpFileToDib(dir.Base() + L"skin\\" + name), nullptr) << name;
    void* wideBits = nullptr;
    SkinUI::CGdiBitmap wide = SkinUI::CreateDib32(SkinUI::CRenderKit::kMaxImageSide + 1, 1, &wideBits);
    EXPECT_EQ(HBitmapToGdiplusBitmap(wide.Get()), nullptr);
    EXPECT_EQ(HBitmapToGdiplusBitmap(nullptr), nullptr);
}

TEST(FrameSkinFuzz, DamagedSkinFilesLoadWithoutHarm)
{
    GdiplusSession gdiplus;
    GameDataDir dir;
    const std::string display = "[Display]\r\nLoginWindowOffset_X=12\r\nLoginWindowOffset_Y=-40\r\n";
    CFrameView frame(dir.Base());
    kit::FuzzRun fuzz;
    for (int i = 0; i < 150; ++i) {
        dir.WriteSkinFile(L"Button.ini", fuzz.Mutate(std::string(kButtonIni), 6));
        for (const auto& b : LoadButtonSkinIni(dir.Base())) {
            ASSERT_TRUE(b->name == L"MinSize" || b->name == L"Close");
            b->HitTest(POINT{b->x, b->y});
        }
        dir.WriteSkinFile(L"Display.ini", fuzz.Mutate(display, 4));
        ASSERT_TRUE(frame.AttachWindow(frame.GetHWND()));
    }
}
