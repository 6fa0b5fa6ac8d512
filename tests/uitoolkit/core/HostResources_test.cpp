// Host resources: fonts read back from GDI, look-ups along the resource-parent chain, colours,
// default attributes, option groups, the skin search path and the image map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/PngWriter.h"
#include "kit/TempDir.h"
#include "kit/ZipWriter.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/HostResources.h"

using SkinUI::CHostResources;
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

LOGFONTW GuiFont()
{
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf;
}

SkinUI::CControlUI* FakeControl(int n)
{
    static int slots[8];
    return reinterpret_cast<SkinUI::CControlUI*>(&slots[n]);
}

} // namespace

// ---- fonts ----

TEST(HostFonts, DefaultIsTheGuiFontAndAddFontBuildsTheAskedFont)
{
    CHostResources host;
    const LOGFONTW gui = GuiFont();
    const std::wstring weight = std::to_wstring(gui.lfWeight);
    const FontEntry* entry = host.GetDefaultFontEntry();
    ASSERT_NE(entry->hFont, nullptr);
    EXPECT_EQ(entry->faceName, gui.lfFaceName);
    EXPECT_EQ(entry->size, -gui.lfHeight);
    EXPECT_EQ(entry->bold, gui.lfWeight >= FW_BOLD);
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
    EXPECT_TRUE(second->faceName == L"Arial" && second->size == 12 && second->bold && second->underline &&
                second->italic);
}

TEST(HostFonts, LongFaceNamesAreCutNotRefused)
{
    CHostResources host;
    const std::wstring longFace(40, L'Q');
    HFONT first = host.AddFont(longFace.c_str(), 14, false, false, false);
    HFONT second = host.AddFont(L"Tahoma", 14, false, false, false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(FontText(first).substr(0, 32), std::wstring(31, L'Q') + L" ");
    // The index order stays that of the XML's fonts, and the font is found again by its name.
    EXPECT_EQ(host.GetFont(1), second);
    EXPECT_EQ(host.FindFont(longFace.c_str(), 14, false, false, false), first);
    EXPECT_TRUE(host.SetDefaultFont(longFace.c_str(), 15, false, false, false));
    EXPECT_EQ(FontText(host.GetFont(-1)).substr(0, 32), std::wstring(31, L'Q') + L" ");
}

TEST(HostFonts, SetDefaultFontReplacesAndFreesTheOldOne)
{
    CHostResources host;
    HFONT old = host.GetFont(-1);
    ASSERT_TRUE(host.SetDefaultFont(L"Tahoma", 22, true, false, false));
    HFONT now = host.GetFont(-1);
    EXPECT_NE(now, old);
    EXPECT_EQ(::GetObjectType(old), 0u) << "the old default font is deleted";
    EXPECT_EQ(FontText(now).substr(0, 11), L"Tahoma -22 ");
    EXPECT_EQ(host.GetDefaultFontEntry()->faceName, L"Tahoma");
    EXPECT_TRUE(host.GetDefaultFontEntry()->bold);
}

TEST(HostFonts, MetricsAreMeasuredWithThePaintContext)
{
    MeasuredHost host;
    host.AddFont(L"Tahoma", 20, false, false, false);
    EXPECT_EQ(host.GetFontEntry(0)->metrics.tmHeight, 0) << "no paint context yet";
    host.AttachDC();
    EXPECT_GE(host.GetFontEntry(0)->metrics.tmHeight, 18);
    host.AddFont(L"Tahoma", 40, false, false, false);
    EXPECT_GT(host.GetFontEntry(1)->metrics.tmHeight, host.GetFontEntry(0)->metrics.tmHeight);
    EXPECT_GT(host.GetDefaultFontEntry()->metrics.tmHeight, 0);
}

TEST(HostFonts, LookUpsFollowTheResourceParentChain)
{
    MeasuredHost top;
    top.AttachDC();
    CHostResources middle, child;
    HFONT a = top.AddFont(L"Tahoma", 11, false, false, false);
    HFONT b = top.AddFont(L"Tahoma", 12, true, false, false);
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
    EXPECT_EQ(child.GetFont(0), own);
    EXPECT_EQ(child.GetFont(1), topDefault);
    EXPECT_EQ(child.GetFontEntry(1)->hFont, topDefault);

    EXPECT_EQ(child.FindFont(L"Tahoma", 12, true, false, false), b);
    EXPECT_EQ(child.FindFont(L"Arial", 30, false, false, false), own);
    EXPECT_EQ(child.FindFont(L"Tahoma", 12, false, false, false), nullptr);
    EXPECT_EQ(child.FindFont(L"tahoma", 11, false, false, false), nullptr) << "exact face comparison";
    EXPECT_EQ(top.FindFont(L"Arial", 30, false, false, false), nullptr) << "parents never look down";

    EXPECT_EQ(child.GetFontEntryByHandle(a)->hFont, a);
    EXPECT_EQ(child.GetFontEntryByHandle(own)->hFont, own);
    EXPECT_EQ(child.GetFontEntryByHandle(nullptr), top.GetDefaultFontEntry());
}

// ---- resource parent and colours ----

TEST(HostChain, CyclesAreRefusedAndLeaveTheChainAsItWas)
{
    CHostResources a, b, c;
    EXPECT_FALSE(a.SetResourceParent(&a));
    ASSERT_TRUE(b.SetResourceParent(&a));
    ASSERT_TRUE(c.SetResourceParent(&b));
    EXPECT_FALSE(a.SetResourceParent(&c));  // c's chain holds a
    EXPECT_FALSE(a.SetResourceParent(&b));
    EXPECT_EQ(a.GetResourceParent(), nullptr);
    EXPECT_TRUE(c.SetResourceParent(&a));  // re-parenting without a cycle is fine
    EXPECT_EQ(c.GetResourceParent(), &a);
    EXPECT_TRUE(c.SetResourceParent(nullptr));
    EXPECT_EQ(c.GetResourceParent(), nullptr);
}

TEST(HostChain, ColoursComeFromTheTopHost)
{
    using Colours = std::vector<DWORD>;
    const auto colours = [](const CHostResources& h) {
        return Colours{h.GetDisabledFontColor(), h.GetDefaultFontColor(), h.GetLinkFontColor(),
                       h.GetLinkHoverFontColor(), h.GetSelectedColor()};
    };
    CHostResources top, child;
    EXPECT_EQ(colours(child), (Colours{0xFFA7A6AA, 0xFF000000, 0xFF0000FF, 0xFFD3215F, 0xFFBAE4FF}));

    ASSERT_TRUE(child.SetResourceParent(&top));
    child.SetDefaultFontColor(0xFF112233);
    child.SetSelectedColor(0xFF445566);
    EXPECT_EQ(child.GetDefaultFontColor(), 0xFF000000u) << "the child's own colour is not used";
    top.SetDisabledFontColor(0xFF010101);
    top.SetDefaultFontColor(0xFF778899);
    top.SetLinkFontColor(0xFF020202);
    top.SetLinkHoverFontColor(0xFF030303);
    top.SetSelectedColor(0xFF040404);
    EXPECT_EQ(colours(child), (Colours{0xFF010101, 0xFF778899, 0xFF020202, 0xFF030303, 0xFF040404}));
    child.SetResourceParent(nullptr);
    EXPECT_EQ(colours(child), (Colours{0xFFA7A6AA, 0xFF112233, 0xFF0000FF, 0xFFD3215F, 0xFF445566}));
}

// ---- default attributes and option groups ----

TEST(HostAttributes, FirstTextWinsAndParentsAreAsked)
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
}

TEST(HostOptionGroups, AddFindAndRemove)
{
    CHostResources host;
    const auto size = [&](const wchar_t* group) {
        const SkinUI::CUIPtrArray* members = host.GetOptionGroup(group);
        return members == nullptr ? -1 : members->GetSize();
    };
    EXPECT_EQ(size(L"g"), -1);
    EXPECT_TRUE(host.AddOptionGroup(L"g", FakeControl(0)));
    EXPECT_TRUE(host.AddOptionGroup(L"g", FakeControl(1)));
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

// ---- resource paths ----

TEST(HostStatics, ResourcePathsAreNormalisedOrderedAndUnique)
{
    SkinUI::CResourcePathList& paths = CHostResources::GetResourcePathList();
    paths.Clear();
    CHostResources::AddResourcePath(L"C:\\skins", false);
    CHostResources::AddResourcePath(L"C:\\skins\\", false);
    CHostResources::AddResourcePath(L"", true);
    CHostResources::AddResourcePath(nullptr, true);
    CHostResources::AddResourcePath(L"D:/data/", true);
    CHostResources::AddResourcePath(L"E:\\last", false);
    CHostResources::AddResourcePath(L"c:\\skins", false);  // a different text
    std::vector<std::wstring> listed;
    for (int i = 0; paths.GetAt(i) != nullptr; ++i)
        listed.push_back(paths.GetAt(i));
    EXPECT_EQ(paths.GetSize(), 4);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"D:/data/", L"C:\\skins\\", L"E:\\last\\", L"c:\\skins\\"}));
    paths.Clear();
}

// ---- images ----

class HostImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        CHostResources::GetResourcePathList().Clear();
        ASSERT_TRUE(kit::WriteBytesToFile(m_dir.File(L"red.png"), kit::EncodePng(6, 4, std::vector<uint32_t>(24, 0xFFFF0000))));
        CHostResources::AddResourcePath(m_dir.Path().c_str(), false);
    }
    void TearDown() override
    {
        CHostResources::SetResourceZip(L"", false);
        CHostResources::GetResourcePathList().Clear();
    }

    kit::TempDir m_dir;
};

TEST_F(HostImages, AddImageStoresOnceByName)
{
    CHostResources host;
    ImageEntry* first = host.AddImage(L"red.png", nullptr, 0xFF00FF00);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->width == 6 && first->height == 4 && first->mask == 0xFF00FF00u);
    EXPECT_TRUE(first->resourceType.IsEmpty());
    EXPECT_EQ(host.AddImage(L"red.png", nullptr, 0), nullptr) << "a second add is refused";
    EXPECT_FALSE(host.AddImageFile(L"red.png"));
    EXPECT_EQ(host.GetOrLoadImage(L"red.png", nullptr, 0x12345678), first);
    EXPECT_EQ(first->mask, 0xFF00FF00u) << "the mask of the first load stays";
    EXPECT_EQ(host.AddImage(L"missing.png", nullptr, 0), nullptr);
    EXPECT_EQ(host.GetImage(L"missing.png"), nullptr);
    EXPECT_EQ(host.AddImage(L"", nullptr, 0), nullptr);
}

TEST_F(HostImages, DirectoryImagesComeOnlyFromThatDirectory)
{
    CHostResources host;
    kit::TempDir other;
    ASSERT_TRUE(kit::WriteBytesToFile(other.File(L"blue.png"), kit::EncodePng(3, 3, std::vector<uint32_t>(9, 0xFF0000FF))));
    const std::wstring otherDir = other.Path() + L"\\";
    const std::wstring searchDir = m_dir.Path() + L"\\";

    EXPECT_EQ(host.AddImageFromDirFile(otherDir.c_str(), L"red.png"), nullptr) << "the search paths are not used";
    ImageEntry* blueEntry = host.AddImageFromDirFile(otherDir.c_str(), L"blue.png");
    ASSERT_NE(blueEntry, nullptr);
    EXPECT_EQ(blueEntry->width, 3);
    EXPECT_EQ(host.GetImage(L"blue.png"), blueEntry);
    EXPECT_EQ(host.AddImageFromDir(otherDir.c_str(), L"blue.png", nullptr, 0), nullptr);
    EXPECT_NE(host.AddImageFromDir(searchDir.c_str(), L"red.png", nullptr, 0), nullptr);
    // The plain loader does not see the other directory.
    EXPECT_EQ(host.AddImage(L"blue2.png", nullptr, 0), nullptr);
}

TEST_F(HostImages, ImagesComeFromTheResourceZipWhenNamed)
{
    kit::ZipWriter zip;
    zip.Add("Skin/Green.PNG", kit::EncodePng(5, 2, std::vector<uint32_t>(10, 0xFF00FF00)));
    ASSERT_TRUE(kit::WriteBytesToFile(m_dir.File(L"skin.zip"), zip.Build()));

    CHostResources::SetResourceZip(L"skin.zip", true);
    EXPECT_TRUE(CHostResources::IsResourceZipCached());
    EXPECT_NE(CHostResources::GetResourceZipHandle(), nullptr);
    CHostResources host;
    ImageEntry* entry = host.AddImage(L"skin/green.png", nullptr, 0);  // name case ignored
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->width == 5 && entry->height == 2);
    EXPECT_NE(host.AddImage(L"red.png", nullptr, 0), nullptr) << "loose files still come first";
    // From a directory: that directory's zip, else the loose file there.
    const std::wstring dir = m_dir.Path() + L"\\";
    EXPECT_NE(host.AddImageFromDir(dir.c_str(), L"Skin/Green.png", nullptr, 0), nullptr);
    EXPECT_EQ(host.AddImageFromDir(dir.c_str(), L"Skin/Green.png2", nullptr, 0), nullptr);

    CHostResources::SetResourceZip(L"", false);
    EXPECT_EQ(CHostResources::GetResourceZipHandle(), nullptr);
    CHostResources after;
    EXPECT_EQ(after.AddImage(L"skin/green.png", nullptr, 0), nullptr) << "no zip, no entry";
}
