// One paint's image draws share one memory context and one translucent-fill pixel: a repaint of
// a window full of pictures and translucent fills makes one memory context, draws exactly what
// draws with contexts of their own make, and leaves no picture selected anywhere.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/Capture.h"
#include "kit/DibCanvas.h"
#include "kit/FileBytes.h"
#include "kit/ImportPatch.h"
#include "kit/PngWriter.h"
#include "kit/Pump.h"
#include "kit/TempDir.h"
#include "HostFixture.h"
#include "uitoolkit/core/ImagePaintScope.h"

using namespace SkinUI;
using namespace host_fixture;

namespace {

int g_memoryDCs = 0;
kit::ImportPatch* g_patch = nullptr;

HDC WINAPI CountingCreateCompatibleDC(HDC hDC)
{
    ++g_memoryDCs;
    using Fn = HDC(WINAPI*)(HDC);
    return reinterpret_cast<Fn>(g_patch->Original())(hDC);
}

// A translucent picture with a soft edge and an opaque one.
std::string Picture(int w, int h, bool translucent)
{
    std::vector<uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back(((translucent ? 0x40u + 0x20u * (x % 6) : 0xFFu) << 24) | (x * 20u << 16) | (y * 20u << 8) | 0x80u);
    return kit::EncodePng(w, h, px);
}

struct Picture_t {
    const wchar_t* image;  // the control's background image text
    DWORD color;           // its background colour
    int x, y, w, h;
};

// Pictures stretched, cut into corners, tiled and faded, and translucent fills over them.
const Picture_t kControls[] = {
    {L"soft.png", 0, 0, 0, 40, 30},
    {L"file='soft.png' corner='3,3,3,3'", 0xFF204060, 40, 0, 70, 40},
    {L"file='hard.png' xtiled='true'", 0, 110, 0, 90, 12},
    {L"file='hard.png' fade='128' source='2,2,10,10'", 0xFFFFFFFF, 0, 40, 60, 40},
    {L"hard.png", 0, 60, 40, 12, 12},
    {L"", 0x80FF0000, 20, 20, 100, 30},
    {L"", 0x4000FF00, 90, 30, 100, 50},
};

class ImagePaintScopeTest : public testing::Test {
protected:
    void SetUp() override
    {
        kit::WriteBytesToFile(m_dir.File(L"soft.png"), Picture(12, 12, true));
        kit::WriteBytesToFile(m_dir.File(L"hard.png"), Picture(12, 12, false));
        CHostResources::GetResourcePathList().Clear();
        CHostResources::AddResourcePath(m_dir.Path().c_str(), false);
        root->SetBkColor(0xFFF0F0F0);
        for (const Picture_t& c : kControls) {
            ProbeControl* p = Probe(L"", nullptr, c.x, c.w, c.y, c.h);
            p->SetBkImage(c.image);
            p->SetBkColor(c.color);
            root->Add(p);
        }
        ASSERT_TRUE(win.Open(root, 200, 100));
        ASSERT_TRUE(win.Layout());
    }
    void TearDown() override
    {
        win.Destroy();
        CHostResources::GetResourcePathList().Clear();
    }

    kit::TempDir m_dir;
    kit::HostWindow win;
    Box* root = new Box(L"root");
};

TEST_F(ImagePaintScopeTest, ARepaintMakesOneMemoryContext)
{
    kit::ImportPatch patch("gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&CountingCreateCompatibleDC));
    g_patch = &patch;
    ASSERT_TRUE(patch.Active());
    ::InvalidateRect(win.Hwnd(), nullptr, FALSE);
    g_memoryDCs = 0;
    ::UpdateWindow(win.Hwnd());
    EXPECT_EQ(g_memoryDCs, 1);  // five pictures and two translucent fills
    kit::DibCanvas canvas(200, 100);
    g_memoryDCs = 0;
    ::SendMessageW(win.Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
    EXPECT_EQ(g_memoryDCs, 1);
    g_patch = nullptr;
}

// The host's paint (a scope) and the tree painted straight into a canvas (every draw with its
// own context and pixel) give the same pixels, bit for bit.
TEST_F(ImagePaintScopeTest, SharedObjectsDrawWhatOwnObjectsDraw)
{
    auto shared = kit::CaptureClient(win.Hwnd(), 0xFFFFFF);
    ASSERT_EQ(CImagePaintScope::Current(), nullptr);
    kit::DibCanvas own(200, 100, 0xFFFFFF);
    root->Paint(own.DC(), RECT{0, 0, 200, 100});
    ::GdiFlush();
    EXPECT_TRUE(kit::CanvasIs(*shared, [&](int x, int y) { return own.Pixel(x, y); }));
    EXPECT_NE(own.Pixel(30, 25), shared->Pixel(130, 70));  // the fills differ from each other
}

// After a paint no picture stays selected: each can go into another context at once.
TEST_F(ImagePaintScopeTest, NoPictureStaysSelected)
{
    kit::CaptureClient(win.Hwnd());
    CMemoryDC other(nullptr);
    for (const wchar_t* name : {L"soft.png", L"hard.png"}) {
        const ImageEntry* entry = win.Host()->GetImage(name);
        ASSERT_NE(entry, nullptr) << name;
        CSelectObject select(other.Get(), entry->hBitmap);
        EXPECT_EQ(::GetCurrentObject(other.Get(), OBJ_BITMAP), entry->hBitmap) << name;
    }
}

// Scopes nest; the innermost serves and one draw at a time holds the context.
TEST(ImagePaintScope, ScopesNestAndOneDrawHoldsTheContext)
{
    kit::DibCanvas canvas(4, 4);
    EXPECT_EQ(CImagePaintScope::Current(), nullptr);
    {
        CImagePaintScope outer(canvas.DC());
        {
            CImagePaintScope inner(canvas.DC());
            EXPECT_EQ(CImagePaintScope::Current(), &inner);
            HDC dc = inner.AcquireDC();
            ASSERT_NE(dc, nullptr);
            EXPECT_EQ(inner.AcquireDC(), nullptr);  // held
            inner.ReleaseDC();
            EXPECT_EQ(inner.AcquireDC(), dc);  // the same context again
            inner.ReleaseDC();
        }
        EXPECT_EQ(CImagePaintScope::Current(), &outer);
        HBITMAP pixel = outer.Pixel(0x80402010);
        ASSERT_NE(pixel, nullptr);
        EXPECT_EQ(outer.Pixel(0x11223344), pixel);
        DIBSECTION dib{};
        ASSERT_EQ(::GetObjectW(pixel, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
        EXPECT_EQ(*static_cast<DWORD*>(dib.dsBm.bmBits), 0x11223344u);
    }
    EXPECT_EQ(CImagePaintScope::Current(), nullptr);
}

} // namespace
