// Host resources: fonts read back from GDI, look-ups along the resource-parent chain, colours,
// default attributes, option groups, the skin search path, and images: the image map, the search
// order, the resource zip and module, size limits, the formats a skin uses, and corrupted files
// that must fail closed. (The decoded pixels themselves: ImageDecode_test.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/FileBytes.h"
#include "kit/Fuzz.h"
#include "kit/PngWriter.h"
#include "kit/ResourceModule.h"
#include "kit/SkinDir.h"
#include "kit/ZipWriter.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/RenderKit.h"

using SkinUI::CHostResources;
using SkinUI::CRenderKit;
using SkinUI::FontEntry;
using SkinUI::ImageEntry;

namespace {

// A host whose measuring DC the test hands over, as a window host does with its paint DC.
class MeasuredHost : public CHostResources {
public:
    void AttachDC() { SetMeasureDC(m_dc.Get()); }

private:
    SkinUI::CMemoryDC m_dc{nullptr};
};

// "face height weight underline italic charset" of a GDI font, read back from GDI.
std::wstring FontText(HFONT font)
{
    LOGFONTW lf{};
    if (::GetObjectW(font, sizeof(lf), &lf) != static_cast<int>(sizeof(lf)))
        return L"<no font>";
    return std::wstring(lf.lfFaceName) + L" " + std::to_wstring(lf.lfHeight) + L" " + std::to_wstring(lf.lfWeight) +
           L" " + std::to_wstring(lf.lfUnderline) + std::to_wstring(lf.lfItalic) + L" " + std::to_wstring(lf.lfCharSet);
}

SkinUI::CControlUI* FakeControl(int n)
{
    static int slots[8];
    return reinterpret_cast<SkinUI::CControlUI*>(&slots[n]);
}

std::unique_ptr<ImageEntry> Decode(const std::string& bytes, DWORD mask = 0)
{
    return CRenderKit::DecodeImage(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), mask);
}

// Width of an image, -1 for none.
int Width(const std::unique_ptr<ImageEntry>& entry) { return entry ? entry->width : -1; }
int Width(const ImageEntry* entry) { return entry ? entry->width : -1; }

} // namespace

// ---- fonts ----

TEST(HostFonts, DefaultIsTheGuiFontAndAddFontBuildsTheAskedFont)
{
    CHostResources host;
    LOGFONTW gui{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    const std::wstring weight = std::to_wstring(gui.lfWeight);
    const FontEntry* entry = host.GetDefaultFontEntry();
    ASSERT_NE(entry->hFont, nullptr);
    EXPECT_TRUE(entry->faceName == gui.lfFaceName && entry->size == -gui.lfHeight && entry->bold == (gui.lfWeight >= FW_BOLD));
    EXPECT_EQ(FontText(host.GetFont(-1)), std::wstring(gui.lfFaceName) + L" " + std::to_wstring(gui.lfHeight) + L" " +
                                              weight + L" " + std::to_wstring(gui.lfUnderline) +
                                              std::to_wstring(gui.lfItalic) + L" 1");
    EXPECT_EQ(host.GetFont(0), entry->hFont);  // no fonts of its own

    HFONT plain = host.AddFont(L"Tahoma", 18, false, false, false);
    HFONT styled = host.AddFont(L"Arial", 12, true, true, true);
    EXPECT_EQ(FontText(plain), L"Tahoma -18 " + weight + L" 00 1");
    EXPECT_EQ(FontText(styled), L"Arial -12 " + std::to_wstring(gui.lfWeight + FW_BOLD) + L" 11 1");
    EXPECT_EQ((std::vector<HFONT>{host.GetFont(0), host.GetFont(1), host.GetFont(2), host.GetFont(-1)}),
              (std::vector<HFONT>{plain, styled, entry->hFont, entry->hFont}));
    const FontEntry* second = host.GetFontEntry(1);
    EXPECT_TRUE(second->faceName == L"Arial" && second->size == 12 && second->bold && second->underline && second->italic);

    // A new default replaces the old one, which is deleted.
    HFONT old = host.GetFont(-1);
    ASSERT_TRUE(host.SetDefaultFont(L"Tahoma", 22, true, false, false));
    EXPECT_EQ(::GetObjectType(old), 0u) << "the old default font is deleted";
    EXPECT_EQ(FontText(host.GetFont(-1)).substr(0, 11), L"Tahoma -22 ");
    EXPECT_TRUE(host.GetDefaultFontEntry()->faceName == L"Tahoma" && host.GetDefaultFontEntry()->bold);

    // Long face names are cut, not refused; the index order stays that of the XML's fonts, and
    // the font is found again by its name.
    const std::wstring longFace(40, L'Q');
    HFONT cut = host.AddFont(longFace.c_str(), 14, false, false, false);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(FontText(cut).substr(0, 32), std::wstring(31, L'Q') + L" ");
    EXPECT_EQ(host.GetFont(2), cut);
    EXPECT_EQ(host.FindFont(longFace.c_str(), 14, false, false, false), cut);
    EXPECT_TRUE(host.SetDefaultFont(longFace.c_str(), 15, false, false, false));
    EXPECT_EQ(FontText(host.GetFont(-1)).substr(0, 32), std::wstring(31, L'Q') + L" ");
}

TEST(HostFonts, MetricsComeFromThePaintContextAndLookUpsFollowTheParentChain)
{
    MeasuredHost top;
    top.AddFont(L"Tahoma", 11, false, false, false);
    EXPECT_EQ(top.GetFontEntry(0)->metrics.tmHeight, 0) << "no paint context yet";
    top.AttachDC();
    EXPECT_GE(top.GetFontEntry(0)->metrics.tmHeight, 9);
    HFONT a = top.GetFont(0);
    HFONT b = top.AddFont(L"Tahoma", 40, true, false, false);
    EXPECT_GT(top.GetFontEntry(1)->metrics.tmHeight, top.GetFontEntry(0)->metrics.tmHeight);
    EXPECT_GT(top.GetDefaultFontEntry()->metrics.tmHeight, 0);
    CHostResources middle, child;
    ASSERT_TRUE(middle.SetResourceParent(&top));
    ASSERT_TRUE(child.SetResourceParent(&middle));
    HFONT topDefault = top.GetFont(-1);

    // No fonts below: the first host up the chain with fonts answers.
    EXPECT_EQ((std::vector<HFONT>{child.GetFont(0), child.GetFont(1), child.GetFont(5), child.GetFont(-1)}),
              (std::vector<HFONT>{a, b, topDefault, topDefault}));
    // The entry a drop-down measures with is the one it draws with.
    EXPECT_EQ(child.GetFontEntry(1)->hFont, b);
    EXPECT_GT(child.GetFontEntry(1)->metrics.tmHeight, 0) << "measured with a parent's context";
    EXPECT_EQ(child.GetDefaultFontEntry(), top.GetDefaultFontEntry());
    // Fonts of its own hide the parent's list entirely; unknown indexes give the top default.
    HFONT own = middle.AddFont(L"Arial", 30, false, false, false);
    EXPECT_EQ((std::vector<HFONT>{child.GetFont(0), child.GetFont(1), child.GetFontEntry(1)->hFont}),
              (std::vector<HFONT>{own, topDefault, topDefault}));
    EXPECT_EQ(child.FindFont(L"Tahoma", 40, true, false, false), b);
    EXPECT_EQ(child.FindFont(L"Arial", 30, false, false, false), own);
    EXPECT_EQ(child.FindFont(L"Tahoma", 40, false, false, false), nullptr);
    EXPECT_EQ(child.FindFont(L"tahoma", 11, false, false, false), nullptr) << "exact face comparison";
    EXPECT_EQ(top.FindFont(L"Arial", 30, false, false, false), nullptr) << "parents never look down";
    EXPECT_EQ(child.GetFontEntryByHandle(a)->hFont, a);
    EXPECT_EQ(child.GetFontEntryByHandle(own)->hFont, own);
    EXPECT_EQ(child.GetFontEntryByHandle(nullptr), top.GetDefaultFontEntry());
}

// ---- resource parent, colours, default attributes and option groups ----

TEST(HostChain, CyclesAreRefusedAndColoursComeFromTheTopHost)
{
    CHostResources a, b, c;
    EXPECT_FALSE(a.SetResourceParent(&a));
    ASSERT_TRUE(b.SetResourceParent(&a) && c.SetResourceParent(&b));
    EXPECT_FALSE(a.SetResourceParent(&c) || a.SetResourceParent(&b));  // c's chain holds a
    EXPECT_EQ(a.GetResourceParent(), nullptr);
    EXPECT_TRUE(c.SetResourceParent(&a));  // re-parenting without a cycle is fine
    EXPECT_EQ(c.GetResourceParent(), &a);

    using Colours = std::vector<DWORD>;
    const auto colours = [](const CHostResources& h) {
        return Colours{h.GetDisabledFontColor(), h.GetDefaultFontColor(), h.GetLinkFontColor(), h.GetLinkHoverFontColor(),
                       h.GetSelectedColor()};
    };
    EXPECT_EQ(colours(a), (Colours{0xFFA7A6AA, 0xFF000000, 0xFF0000FF, 0xFFD3215F, 0xFFBAE4FF}));
    c.SetDefaultFontColor(0xFF112233);
    c.SetSelectedColor(0xFF445566);
    EXPECT_EQ(c.GetDefaultFontColor(), 0xFF000000u) << "the child's own colour is not used";
    a.SetDisabledFontColor(0xFF010101);
    a.SetDefaultFontColor(0xFF778899);
    a.SetLinkFontColor(0xFF020202);
    a.SetLinkHoverFontColor(0xFF030303);
    a.SetSelectedColor(0xFF040404);
    EXPECT_EQ(colours(c), (Colours{0xFF010101, 0xFF778899, 0xFF020202, 0xFF030303, 0xFF040404}));
    EXPECT_TRUE(c.SetResourceParent(nullptr));
    EXPECT_EQ(colours(c), (Colours{0xFFA7A6AA, 0xFF112233, 0xFF0000FF, 0xFFD3215F, 0xFF445566}));
}

TEST(HostAttributes, FirstTextWinsParentsAreAskedAndOptionGroupsHoldTheirMembers)
{
    CHostResources top, child;
    ASSERT_TRUE(child.SetResourceParent(&top));
    EXPECT_EQ(child.GetDefaultAttributes(L"Button"), nullptr);
    top.AddDefaultAttributes(L"Button", L"height=\"20\"");
    top.AddDefaultAttributes(L"Button", L"height=\"99\"");
    EXPECT_STREQ(child.GetDefaultAttributes(L"Button"), L"height=\"20\"");
    child.AddDefaultAttributes(L"Button", L"width=\"5\"");
    EXPECT_STREQ(child.GetDefaultAttributes(L"Button"), L"width=\"5\"");
    EXPECT_STREQ(top.GetDefaultAttributes(L"Button"), L"height=\"20\"");
    EXPECT_EQ(child.GetDefaultAttributes(L"button"), nullptr) << "class names compare exactly";
    const std::wstring longText(300, L'x');
    child.AddDefaultAttributes(L"Edit", longText.c_str());
    EXPECT_EQ(child.GetDefaultAttributes(L"Edit"), longText);

    CHostResources& host = top;
    const auto size = [&](const wchar_t* group) {
        const SkinUI::CUIPtrArray* members = host.GetOptionGroup(group);
        return members == nullptr ? -1 : members->GetSize();
    };
    EXPECT_EQ(size(L"g"), -1);
    EXPECT_TRUE(host.AddOptionGroup(L"g", FakeControl(0)) && host.AddOptionGroup(L"g", FakeControl(1)));
    EXPECT_FALSE(host.AddOptionGroup(L"g", FakeControl(0)));
    EXPECT_TRUE(host.AddOptionGroup(L"h", FakeControl(0)));
    EXPECT_EQ(size(L"g"), 2);
    EXPECT_EQ(host.GetOptionGroup(L"g")->GetAt(1), FakeControl(1));
    host.RemoveOptionGroup(L"g", FakeControl(0));
    host.RemoveOptionGroup(L"g", FakeControl(5));  // not a member: nothing happens
    EXPECT_EQ(size(L"g"), 1);
    host.RemoveOptionGroup(L"g", FakeControl(1));
    EXPECT_EQ(size(L"g"), -1) << "an emptied group is deleted";
    host.RemoveOptionGroup(L"missing", FakeControl(1));
    EXPECT_EQ(size(L"h"), 1);
}

TEST(HostStatics, ResourcePathsAreNormalisedOrderedAndUnique)
{
    SkinUI::CResourcePathList& paths = CHostResources::GetResourcePathList();
    paths.Clear();
    for (const wchar_t* path : {L"C:\\skins", L"C:\\skins\\", L"", static_cast<const wchar_t*>(nullptr), L"D:/data/", L"E:\\last",
                                L"c:\\skins"})  // the last a different text
        CHostResources::AddResourcePath(path, path != nullptr && path[0] == L'D');
    std::vector<std::wstring> listed;
    for (int i = 0; paths.GetAt(i) != nullptr; ++i)
        listed.push_back(paths.GetAt(i));
    EXPECT_EQ(paths.GetSize(), 4);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"D:/data/", L"C:\\skins\\", L"E:\\last\\", L"c:\\skins\\"}));
    paths.Clear();
}

// ---- images ----

TEST(HostImages, AddImageStoresOnceByNameAndDirectoryImagesComeOnlyFromThatDirectory)
{
    kit::SkinDir skin;
    kit::TempDir elsewhere;  // not on the search path
    const std::wstring other = elsewhere.Path() + L"\\";
    skin.Write(L"red.png", kit::SolidPng(6, 4, 0xFFFF0000));
    ASSERT_TRUE(kit::WriteBytesToFile(other + L"blue.png", kit::SolidPng(3, 3, 0xFF0000FF)));
    CHostResources host;
    ImageEntry* first = host.AddImage(L"red.png", nullptr, 0xFF00FF00);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->width == 6 && first->height == 4 && first->mask == 0xFF00FF00u && first->resourceType.IsEmpty());
    EXPECT_EQ(host.AddImage(L"red.png", nullptr, 0), nullptr) << "a second add is refused";
    EXPECT_FALSE(host.AddImageFile(L"red.png"));
    EXPECT_EQ(host.GetOrLoadImage(L"red.png", nullptr, 0x12345678), first);
    EXPECT_EQ(first->mask, 0xFF00FF00u) << "the mask of the first load stays";
    EXPECT_EQ(host.AddImage(L"missing.png", nullptr, 0), nullptr);
    EXPECT_EQ(host.GetImage(L"missing.png"), nullptr);
    EXPECT_EQ(host.AddImage(L"", nullptr, 0), nullptr);

    EXPECT_EQ(host.AddImageFromDirFile(other.c_str(), L"red.png"), nullptr) << "the search paths are not used";
    ImageEntry* blue = host.AddImageFromDirFile(other.c_str(), L"blue.png");
    EXPECT_EQ(Width(blue), 3);
    EXPECT_EQ(host.GetImage(L"blue.png"), blue);
    EXPECT_EQ(host.AddImageFromDir(other.c_str(), L"blue.png", nullptr, 0), nullptr);
    CHostResources fresh;
    EXPECT_NE(fresh.AddImageFromDir(skin.Dir().c_str(), L"red.png", nullptr, 0), nullptr);
    EXPECT_EQ(fresh.AddImage(L"blue.png", nullptr, 0), nullptr) << "the plain loader does not see the other directory";
}

TEST(HostImages, SearchPathsAreTriedInOrderAndEmptyFilesSkipped)
{
    kit::SkinDir second, first(true);
    const auto black = [](int w) { return kit::SolidPng(w, 1, 0xFF000000); };
    first.Write(L"a.png", black(1));
    second.Write(L"a.png", black(2));
    first.Write(L"b.png", "");
    second.Write(L"b.png", black(3));
    first.Write(L"c.png", "garbage, not a picture");
    second.Write(L"c.png", black(3));
    EXPECT_EQ(Width(CRenderKit::LoadImage(L"a.png", nullptr, 0)), 1) << "the front directory wins";
    EXPECT_EQ(Width(CRenderKit::LoadImage(L"b.png", nullptr, 0)), 3) << "an empty file is skipped";
    // A complete read wins even when it does not decode: no fallback to the next directory.
    for (const wchar_t* missing : {L"c.png", L"none.png", L"", static_cast<const wchar_t*>(nullptr)})
        EXPECT_EQ(CRenderKit::LoadImage(missing, nullptr, 0), nullptr);
    EXPECT_EQ(Width(CRenderKit::LoadImageFromDir(second.Dir().c_str(), L"a.png", nullptr, 0)), 2);
}

// Images come from the resource zip when it is named (names compare ignoring case), loose files
// first; damaged entries, a directory's missing entries and missing zips give nothing.
TEST(HostImages, ImagesComeFromTheResourceZipAndDamagedEntriesFailClosed)
{
    kit::SkinDir skin;
    CHostResources::AddResourcePath(L"Z:\\no\\such\\dir", true);
    kit::ZipWriter zip;
    zip.Add("Skin/Green.PNG", kit::SolidPng(5, 2, 0xFF00FF00));
    zip.Add("img/Pic.png", kit::SolidPng(4, 1, 0x80FFFFFF));
    zip.Add("img/bad.png", "not a png", false);
    zip.entries.push_back(zip.entries[1]);
    zip.entries.back().name = "img/crc.png";
    zip.entries.back().damageCrc = true;
    skin.Write(L"skin.zip", zip.Build());
    skin.Write(L"red.png", kit::SolidPng(6, 4, 0xFFFF0000));
    for (bool cached : {true, false}) {
        CHostResources::SetResourceZip(L"skin.zip", cached);
        EXPECT_EQ(CHostResources::IsResourceZipCached(), cached);
        EXPECT_EQ(CHostResources::GetResourceZipHandle() != nullptr, cached);
        CHostResources host;
        ImageEntry* entry = host.AddImage(L"skin/green.png", nullptr, 0);
        EXPECT_TRUE(entry != nullptr && entry->width == 5 && entry->height == 2);
        EXPECT_NE(host.AddImage(L"red.png", nullptr, 0), nullptr) << "loose files still come first";
        // From a directory: that directory's zip, else the loose file there.
        EXPECT_NE(host.AddImageFromDir(skin.Dir().c_str(), L"Skin/Green.png", nullptr, 0), nullptr);
        EXPECT_EQ(host.AddImageFromDir(skin.Dir().c_str(), L"Skin/Green.png2", nullptr, 0), nullptr);
        auto pic = CRenderKit::LoadImage(L"IMG/pic.PNG", nullptr, 0);
        EXPECT_TRUE(pic != nullptr && pic->width == 4 && pic->hasAlpha);
        for (const wchar_t* name : {L"img/bad.png", L"img/crc.png", L"img/none.png"})
            EXPECT_EQ(CRenderKit::LoadImage(name, nullptr, 0), nullptr) << "a damaged entry fails closed: " << name;
    }
    CHostResources::SetResourceZip(L"other.zip", false);  // a zip that does not exist anywhere
    EXPECT_EQ(CRenderKit::LoadImage(L"img/pic.png", nullptr, 0), nullptr);
    CHostResources::SetResourceZip(L"", false);
    EXPECT_EQ(CHostResources::GetResourceZipHandle(), nullptr);
    CHostResources after;
    EXPECT_EQ(after.AddImage(L"skin/green.png", nullptr, 0), nullptr) << "no zip, no entry";
}

TEST(HostImages, TypedNamesLoadFromTheResourceModule)
{
    kit::SkinDir dir;
    kit::ResourceModule module(dir.File(L"images.dll"));  // goes before the folder
    module.Add(L"PNG", 140, kit::SolidPng(7, 5, 0xFF3060C0));
    module.Add(L"PNG", 141, "this resource is no picture");
    ASSERT_TRUE(module.Load());
    CHostResources::SetResourceModule(module.Handle());
    auto direct = CRenderKit::LoadImage(MAKEINTRESOURCEW(140), L"PNG", 0);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(direct->height, 5);
    CHostResources host;
    ImageEntry* entry = host.AddImage(L"140", L"PNG", 0);
    EXPECT_TRUE(entry != nullptr && entry->width == 7 && entry->resourceType == L"PNG");
    EXPECT_EQ(host.AddImage(L"140", L"PNG", 0), nullptr) << "stored once";
    EXPECT_NE(host.AddImage(L"65676", L"PNG", 0), nullptr) << "the name's number is cut to 16 bits: 65676 is 140";
    for (const auto& [name, type] : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {L"141", L"PNG"}, {L"142", L"PNG"}, {L"140", L"JPG"}, {L"logo", L"PNG"}})
        EXPECT_EQ(host.AddImage(name, type, 0), nullptr) << name << " " << type;
    EXPECT_NE(host.AddImageFromDir(dir.Dir().c_str(), L"0140", L"PNG", 0), nullptr) << "typed images ignore the directory";
}

// ---- decoding ----

TEST(ImageDecode, SizesMasksAndFormatsASkinUses)
{
    // The mask compares the whole colour, alpha included.
    auto masked = Decode(kit::EncodePng(2, 1, {0xFFFF00FF, 0xFEFF00FF}), 0xFFFF00FF);
    ASSERT_NE(masked, nullptr);
    DIBSECTION dib{};
    ::GetObjectW(masked->hBitmap, sizeof(dib), &dib);
    const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    EXPECT_TRUE(masked->hasAlpha && bits[0] == 0u && bits[1] != 0u) << std::hex << bits[1];

    // Beyond the limits, or within them with far too little data: the decoder fails, nothing is made.
    const std::vector<uint32_t> one = {0xFF123456};
    EXPECT_NE(Decode(kit::EncodePngClaiming(1, 1, 1, 1, one)), nullptr);
    for (const SIZE& claimed :
         {SIZE{20000, 1}, SIZE{1, 16385}, SIZE{0x7FFFFFFF, 0x7FFFFFFF}, SIZE{16384, 16384}, SIZE{8192, 8193}})
        EXPECT_EQ(Decode(kit::EncodePngClaiming(claimed.cx, claimed.cy, 1, 1, one)), nullptr) << claimed.cx;
    EXPECT_EQ(Decode("not an image at all"), nullptr);
    EXPECT_EQ(Decode(""), nullptr);
    EXPECT_EQ(CRenderKit::DecodeImage(nullptr, 10, 0), nullptr);
    // Only the formats a skin uses are decoded (BMP, GIF, TGA, PNG): a Radiance picture (whose cut
    // run-length scanline once never returned) and a PNM are refused at once.
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
        auto entry = Decode(fuzz.Mutate(sample, 6), fuzz.Next());
        if (entry == nullptr) continue;
        ++decoded;
        ASSERT_NE(entry->hBitmap, nullptr);
        ASSERT_TRUE(entry->width > 0 && entry->width <= 16384 && entry->height > 0 && entry->height <= 16384);
        BITMAP bm{};
        ASSERT_NE(::GetObjectW(entry->hBitmap, sizeof(bm), &bm), 0);
        ASSERT_EQ(bm.bmWidth, entry->width);
    }
    // Truncations at every length, the most common real damage.
    for (size_t cut = 0; cut < sample.size(); ++cut) Decode(sample.substr(0, cut));
    EXPECT_GT(decoded, 0) << "some mutations must still reach the pixel conversion";
}
