// A picture that cannot be loaded (no such file, or a file that is no picture) is looked for
// once: the draw that fails tells the control, which forgets the image text, and later paints
// open no file for it. A picture that loads is kept and drawn at every paint.
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>

#include "kit/FileBytes.h"
#include "kit/ImportPatch.h"
#include "kit/PngWriter.h"
#include "kit/TempDir.h"
#include "uitoolkit/controls/ButtonUI.h"
#include "uitoolkit/controls/OptionUI.h"
#include "uitoolkit/controls/ProgressUI.h"
#include "XmlHost.h"

using namespace SkinUI;
using xml_host::XmlHost;

namespace {

// Opens of files whose name holds "pic-", counted and passed on.
int g_opens = 0;
kit::ImportPatch* g_patch = nullptr;

HANDLE WINAPI CountingCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE tmpl)
{
    if (name != nullptr && std::wcsstr(name, L"pic-") != nullptr)
        ++g_opens;
    using Fn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    return reinterpret_cast<Fn>(g_patch->Original())(name, access, share, security, disposition, flags, tmpl);
}

struct ImageCase {
    const wchar_t* what;
    // The control's element with %ls where the image text goes.
    const wchar_t* element;
    std::function<const wchar_t*(CControlUI*)> imageText;
};

const ImageCase kCases[] = {
    {L"background", L"<Control name=\"c\" bkimage=\"%ls\"/>", [](CControlUI* c) { return c->GetBkImage(); }},
    {L"label background", L"<Label name=\"c\" text=\"x\" bkimage=\"%ls\"/>",
     [](CControlUI* c) { return c->GetBkImage(); }},
    {L"button state", L"<Button name=\"c\" normalimage=\"%ls\"/>",
     [](CControlUI* c) { return static_cast<CButtonUI*>(c)->GetNormalImage(); }},
    {L"option selected", L"<Option name=\"c\" selected=\"true\" selectedimage=\"%ls\"/>",
     [](CControlUI* c) { return static_cast<COptionUI*>(c)->GetSelectedImage(); }},
    {L"progress fore", L"<Progress name=\"c\" value=\"50\" foreimage=\"%ls\"/>",
     [](CControlUI* c) { return static_cast<CProgressUI*>(c)->GetForeImage(); }},
};

struct FileCase {
    const wchar_t* image;  // the image text
    bool loads;
};

const FileCase kFiles[] = {
    {L"pic-missing.png", false},
    {L"file='pic-garbage.png' corner='2,2,2,2'", false},
    {L"file='pic-good.png' dest='0,0,10,10'", true},
};

class BrokenImage : public testing::Test {
protected:
    void SetUp() override
    {
        kit::WriteBytesToFile(m_dir.File(L"pic-garbage.png"), "\x89PNG but nothing a decoder takes");
        kit::WriteBytesToFile(m_dir.File(L"pic-good.png"), kit::EncodePng(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000}));
        CHostResources::GetResourcePathList().Clear();
        CHostResources::AddResourcePath(m_dir.Path().c_str(), false);
    }
    void TearDown() override { CHostResources::GetResourcePathList().Clear(); }

    kit::TempDir m_dir;
};

TEST_F(BrokenImage, IsLookedForOnceAndForgotten)
{
    for (const ImageCase& c : kCases) {
        for (const FileCase& file : kFiles) {
            SCOPED_TRACE(testing::Message() << std::wstring(c.what).c_str() << ": " << std::wstring(file.image).c_str());
            wchar_t element[256];
            std::swprintf(element, 256, c.element, file.image);
            const std::wstring skin = L"<Window><VerticalLayout>" + std::wstring(element) + L"</VerticalLayout></Window>";
            kit::ImportPatch patch("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CountingCreateFileW));
            g_patch = &patch;
            ASSERT_TRUE(patch.Active());
            g_opens = 0;
            XmlHost h;
            ASSERT_TRUE(h.Open(skin.c_str(), 100, 40));  // the first paint
            EXPECT_EQ(g_opens, 1);
            CControlUI* control = h.Find(L"c");
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(c.imageText(control)[0] != L'\0', file.loads);
            for (int paint = 0; paint < 3; ++paint)
                ASSERT_TRUE(h.win.Layout());
            EXPECT_EQ(g_opens, 1);  // loaded once, or looked for once
            EXPECT_EQ(c.imageText(control)[0] != L'\0', file.loads);
            h.win.Destroy();
            g_patch = nullptr;
        }
    }
}

} // namespace
