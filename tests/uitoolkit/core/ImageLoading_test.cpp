// Image loading: decoding into premultiplied top-down DIBs, the alpha flag, the mask colour,
// size limits, the search-path order, program resources, and corrupted files that must fail
// closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/Fuzz.h"
#include "kit/PngWriter.h"
#include "kit/ResourceModule.h"
#include "kit/TempDir.h"
#include "kit/ZipWriter.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CHostResources;
using SkinUI::CRenderKit;
using SkinUI::ImageEntry;

namespace {

std::unique_ptr<ImageEntry> Decode(const std::string& bytes, DWORD mask = 0)
{
    return CRenderKit::DecodeImage(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), mask);
}

// The DIB's pixels, row by row from the top.
std::vector<uint32_t> PixelsOf(const ImageEntry& entry)
{
    DIBSECTION dib{};
    EXPECT_EQ(::GetObjectW(entry.hBitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBmih.biBitCount, 32);
    const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    return std::vector<uint32_t>(bits, bits + entry.width * entry.height);
}

class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override { CHostResources::GetResourcePathList().Clear(); }
    void TearDown() override { CHostResources::GetResourcePathList().Clear(); }
};

} // namespace

TEST(ImageDecode, TranslucentPixelsArePremultipliedAndFlagged)
{
    const std::vector<uint32_t> png = {0xFF102030, 0x80FF8040, 0x00FFFFFF, 0x40FFFFFF,
                                       0xFFFFFFFF, 0x01FF0000, 0xFF000000, 0xC0204060};
    auto entry = Decode(kit::EncodePng(4, 2, png));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->width, 4);
    EXPECT_EQ(entry->height, 2);
    EXPECT_TRUE(entry->hasAlpha);
    EXPECT_TRUE(entry->resourceType.IsEmpty());
    const std::vector<uint32_t> pixels = PixelsOf(*entry);
    const auto premultiplied = [](uint32_t argb) {
        const uint32_t a = argb >> 24;
        if (a == 255) return argb;
        const auto ch = [&](int bit) { return (((argb >> bit) & 0xFF) * a / 255) << bit; };
        return (a << 24) | ch(16) | ch(8) | ch(0);
    };
    for (size_t i = 0; i < png.size(); ++i)
        EXPECT_EQ(pixels[i], premultiplied(png[i])) << i << std::hex << " " << pixels[i];
    EXPECT_EQ(pixels[1], 0x80804020u);
    EXPECT_EQ(pixels[2], 0u);
}

TEST(ImageDecode, OpaqueImagesNeedNoBlending)
{
    std::vector<uint32_t> png(5 * 3);
    for (size_t i = 0; i < png.size(); ++i) png[i] = 0xFF000000 | static_cast<uint32_t>(i * 0x0A0B0C);
    auto entry = Decode(kit::EncodePng(5, 3, png));
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->hasAlpha);
    EXPECT_EQ(PixelsOf(*entry), png);
}

TEST(ImageDecode, MaskColourBecomesTransparent)
{
    const std::vector<uint32_t> png = {0xFFFF00FF, 0xFF00FF00, 0xFFFF00FF, 0xFEFF00FF};
    auto masked = Decode(kit::EncodePng(2, 2, png), 0xFFFF00FF);
    ASSERT_NE(masked, nullptr);
    EXPECT_TRUE(masked->hasAlpha);
    const std::vector<uint32_t> pixels = PixelsOf(*masked);
    EXPECT_EQ(pixels[0], 0u);
    EXPECT_EQ(pixels[1], 0xFF00FF00u);
    EXPECT_EQ(pixels[2], 0u);
    EXPECT_NE(pixels[3], 0u) << "alpha is part of the comparison";

    auto plain = Decode(kit::EncodePng(2, 2, {0xFFFF00FF, 0xFF00FF00, 0xFFFF00FF, 0xFFFF00FF}));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->hasAlpha);
    EXPECT_EQ(PixelsOf(*plain)[0], 0xFFFF00FFu);
}

TEST(ImageDecode, ImpossibleSizesAreRefusedBeforeDecoding)
{
    const std::vector<uint32_t> one = {0xFF123456};
    EXPECT_NE(Decode(kit::EncodePngClaiming(1, 1, 1, 1, one)), nullptr);
    // Beyond the limits; within them but with far too little data: the decoder fails, nothing is made.
    for (const SIZE& claimed :
         {SIZE{20000, 1}, SIZE{1, 16385}, SIZE{0x7FFFFFFF, 0x7FFFFFFF}, SIZE{16384, 16384}, SIZE{8192, 8193}})
        EXPECT_EQ(Decode(kit::EncodePngClaiming(claimed.cx, claimed.cy, 1, 1, one)), nullptr) << claimed.cx;
    EXPECT_EQ(Decode("not an image at all"), nullptr);
    EXPECT_EQ(Decode(""), nullptr);
    EXPECT_EQ(CRenderKit::DecodeImage(nullptr, 10, 0), nullptr);
}

// Only the formats a skin uses are decoded: BMP, GIF and TGA (with PNG above) are; a Radiance
// picture (whose cut run-length scanline once never returned) and a PNM are refused at once.
TEST(ImageDecode, OnlySkinFormatsAreDecoded)
{
    const std::string bmp("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0"
                          "\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x56\x34\x12\0", 58);
    const std::string tga("\0\0\x02\0\0\0\0\0\0\0\0\0\x01\0\x01\0\x18\x20\x56\x34\x12", 21);
    const std::string gif("GIF89a\x01\0\x01\0\x80\0\0\x12\x34\x56\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02" "D\x01\0;", 35);
    for (const std::string& bytes : {bmp, tga, gif}) {
        auto entry = Decode(bytes);
        ASSERT_NE(entry, nullptr) << bytes.substr(0, 3);
        EXPECT_EQ(entry->width, 1);
    }
    const std::string hdr = std::string("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 16\n") + "\x02\x02\x00\x10\x85";
    const std::string pnm("P6\n1 1\n255\n\x12\x34\x56", 14);
    for (const std::string& bytes : {hdr, pnm})
        EXPECT_EQ(Decode(bytes), nullptr) << bytes.substr(0, 2);
}

TEST(ImageDecode, CorruptedPngsNeverCrash)
{
    kit::FuzzRun fuzz;
    std::vector<uint32_t> pixels(9 * 7);
    for (auto& p : pixels) p = fuzz.Next();
    const std::string sample = kit::EncodePng(9, 7, pixels);
    int decoded = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string bytes = fuzz.Mutate(sample, 6);
        auto entry = Decode(bytes, fuzz.Next());
        if (entry == nullptr) continue;
        ++decoded;
        ASSERT_NE(entry->hBitmap, nullptr);
        ASSERT_GT(entry->width, 0);
        ASSERT_LE(entry->width, 16384);
        ASSERT_GT(entry->height, 0);
        ASSERT_LE(entry->height, 16384);
        BITMAP bm{};
        ASSERT_NE(::GetObjectW(entry->hBitmap, sizeof(bm), &bm), 0);
        ASSERT_EQ(bm.bmWidth, entry->width);
    }
    // Truncations at every length, the most common real damage.
    for (size_t cut = 0; cut < sample.size(); ++cut) Decode(sample.substr(0, cut));
    EXPECT_GT(decoded, 0) << "some mutations must still reach the pixel conversion";
}

TEST_F(ImageFiles, SearchPathsAreTriedInOrderAndEmptyFilesSkipped)
{
    kit::TempDir first, second;
    const auto black = [](int w, int h) { return kit::EncodePng(w, h, std::vector<uint32_t>(w * h, 0xFF000000)); };
    const struct {
        const kit::TempDir& dir;
        const wchar_t* name;
        std::string bytes;
    } files[] = {{first, L"a.png", black(1, 1)}, {second, L"a.png", black(2, 2)},
                 {first, L"b.png", ""},           {second, L"b.png", black(3, 1)},
                 {first, L"c.png", "garbage, not a picture"}, {second, L"c.png", black(3, 1)}};
    for (const auto& f : files)
        ASSERT_TRUE(kit::WriteBytesToFile(f.dir.File(f.name), f.bytes));
    CHostResources::AddResourcePath(second.Path().c_str(), false);
    CHostResources::AddResourcePath(first.Path().c_str(), true);

    auto a = CRenderKit::LoadImage(L"a.png", nullptr, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->width, 1) << "the front directory wins";
    auto b = CRenderKit::LoadImage(L"b.png", nullptr, 0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->width, 3) << "an empty file is skipped";
    // A complete read wins even when it does not decode: no fallback to the next directory.
    for (const wchar_t* missing : {L"c.png", L"none.png", L"", static_cast<const wchar_t*>(nullptr)})
        EXPECT_EQ(CRenderKit::LoadImage(missing, nullptr, 0), nullptr);

    const std::wstring secondDir = second.Path() + L"\\";
    auto fromDir = CRenderKit::LoadImageFromDir(secondDir.c_str(), L"a.png", nullptr, 0);
    ASSERT_NE(fromDir, nullptr);
    EXPECT_EQ(fromDir->width, 2);
}

TEST_F(ImageFiles, DamagedZipEntriesAndMissingZipsGiveNothing)
{
    kit::TempDir dir;
    kit::ZipWriter zip;
    zip.Add("img/Pic.png", kit::EncodePng(4, 1, std::vector<uint32_t>(4, 0x80FFFFFF)));
    zip.Add("img/bad.png", "not a png", false);
    zip.entries.push_back(zip.entries[0]);
    zip.entries.back().name = "img/crc.png";
    zip.entries.back().damageCrc = true;
    ASSERT_TRUE(kit::WriteBytesToFile(dir.File(L"skin.zip"), zip.Build()));
    CHostResources::AddResourcePath(L"Z:\\no\\such\\dir", false);
    CHostResources::AddResourcePath(dir.Path().c_str(), false);
    CHostResources::SetResourceZip(L"skin.zip", false);

    auto pic = CRenderKit::LoadImage(L"IMG/pic.PNG", nullptr, 0);  // names compare ignoring case
    ASSERT_NE(pic, nullptr);
    EXPECT_TRUE(pic->width == 4 && pic->hasAlpha);
    for (const wchar_t* name : {L"img/bad.png", L"img/crc.png", L"img/none.png"})
        EXPECT_EQ(CRenderKit::LoadImage(name, nullptr, 0), nullptr) << "a damaged entry fails closed";
    // A zip that does not exist anywhere gives nothing.
    CHostResources::SetResourceZip(L"other.zip", false);
    EXPECT_EQ(CRenderKit::LoadImage(L"img/pic.png", nullptr, 0), nullptr);
    CHostResources::SetResourceZip(L"", false);
}

TEST(ImageResources, TypedNamesLoadFromTheResourceModule)
{
    kit::TempDir dir;
    {  // the module goes before its folder
        kit::ResourceModule module(dir.File(L"images.dll"));
        module.Add(L"PNG", 140, kit::EncodePng(7, 5, std::vector<uint32_t>(35, 0xFF3060C0)));
        module.Add(L"PNG", 141, "this resource is no picture");
        ASSERT_TRUE(module.Load());
        CHostResources::SetResourceModule(module.Handle());

        auto direct = CRenderKit::LoadImage(MAKEINTRESOURCEW(140), L"PNG", 0);
        ASSERT_NE(direct, nullptr);
        EXPECT_EQ(direct->width, 7);
        EXPECT_EQ(direct->height, 5);
        EXPECT_EQ(PixelsOf(*direct)[0], 0xFF3060C0u);

        CHostResources host;
        ImageEntry* entry = host.AddImage(L"140", L"PNG", 0);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->resourceType, L"PNG");
        EXPECT_EQ(host.AddImage(L"140", L"PNG", 0), nullptr) << "stored once";
        // The name's number is cut to 16 bits: 65676 is 140.
        EXPECT_NE(host.AddImage(L"65676", L"PNG", 0), nullptr);
        EXPECT_EQ(host.AddImage(L"141", L"PNG", 0), nullptr);
        EXPECT_EQ(host.AddImage(L"142", L"PNG", 0), nullptr);
        EXPECT_EQ(host.AddImage(L"140", L"JPG", 0), nullptr) << "already stored under that name";
        EXPECT_EQ(host.AddImage(L"logo", L"PNG", 0), nullptr);
        const std::wstring anyDir = dir.Path() + L"\\";
        EXPECT_NE(host.AddImageFromDir(anyDir.c_str(), L"0140", L"PNG", 0), nullptr)
            << "typed images ignore the directory";
        CHostResources::SetResourceModule(nullptr);
    }
}
