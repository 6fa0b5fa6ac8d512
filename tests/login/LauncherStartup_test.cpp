// What the launcher loads before its login window shows, and what it leaves for first use: the
// program's load-time imports, the common controls (tooltips) and the MD5 library; and the frame's
// Button.ini values, which any faster reading must keep equal to the system's profile reading.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/Folders.h"
#include "foundation/Md5.h"
#include "kit/FileBytes.h"
#include "kit/Fuzz.h"
#include "kit/TempDir.h"
#include "login/windows/ButtonSkinIni.h"
#include "uitoolkit/core/CommonControls.h"

namespace {

// The lower-case names of the DLLs a program imports at load time, read from its file.
std::vector<std::string> LoadTimeImports(const std::string& image)
{
    std::vector<std::string> names;
    auto at = [&](size_t offset, size_t size) { return offset + size <= image.size() ? image.data() + offset : nullptr; };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    const auto* nt = dos ? reinterpret_cast<const IMAGE_NT_HEADERS32*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32))) : nullptr;
    if (nt == nullptr)
        return names;
    const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        at(dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
           nt->FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; sections != nullptr && i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return image.size();
    };
    const DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t offset = offsetOf(importRva);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
        if (entry == nullptr || entry->Name == 0)
            break;
        const char* name = at(offsetOf(entry->Name), 1);
        std::string lower(name != nullptr ? name : "", name != nullptr ? strnlen(name, image.data() + image.size() - name) : 0);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return static_cast<char>(::tolower(c)); });
        names.push_back(lower);
    }
    return names;
}

std::string Utf16File(const std::wstring& text)
{
    return std::string("\xFF\xFE", 2) + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::wstring ProfileString(const std::wstring& path, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[260] = {};
    const DWORD n = ::GetPrivateProfileStringW(section, key, L"", value, 260, path.c_str());
    return std::wstring(value, n);
}

const wchar_t kButtonIni[] =
    L"[MinSize]\r\n Pos = 402 , 20 \r\nnormalimage='skin\\min.png'\r\nNormalImageSource=0,0,28,24\r\n"
    L"HotImage=\"skin\\min hot.png\"\r\nHotImageSource = 28,0,56,24\r\nToolTip=\"\"\r\nToolTip=second\r\n"
    L";PushedImage=skin\\no.png\r\n\r\n[Close]\r\nPos=432,20\r\nNormalImage=skin\\close.png\r\n"
    L"PushedImage=  skin\\close pushed.png  \r\nToolTip=\"Close\r\n";

} // namespace

TEST(LauncherStartup, TheProgramImportsNeitherTheCommonControlsNorZlibAtLoadTime)
{
    const std::vector<std::string> imports = LoadTimeImports(kit::ReadBytesFromFile(ModuleFolder() + L"..\\OmbrelLauncher.exe"));
    ASSERT_NE(std::find(imports.begin(), imports.end(), "user32.dll"), imports.end()) << "no import table read";
    for (const char* later : {"comctl32.dll", "zlib1.dll", "cryptdll.dll"})
        EXPECT_EQ(std::find(imports.begin(), imports.end(), later), imports.end()) << later;
}

// Both run in this process before anything else needs the libraries.
TEST(LauncherStartup, CommonControlsAndCryptdllAreLoadedOnFirstUse)
{
    EXPECT_EQ(::GetModuleHandleW(L"comctl32.dll"), nullptr);
    ASSERT_TRUE(SkinUI::CCommonControls::Init(ICC_WIN95_CLASSES));
    WNDCLASSEXW tooltip{};
    tooltip.cbSize = sizeof(tooltip);
    EXPECT_TRUE(::GetClassInfoExW(::GetModuleHandleW(L"comctl32.dll"), TOOLTIPS_CLASSW, &tooltip));
    EXPECT_GE(SkinUI::CCommonControls::MajorVersion(), 5u);

    EXPECT_EQ(::GetModuleHandleW(L"cryptdll.dll"), nullptr);
    MD5_CTX ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, reinterpret_cast<const unsigned char*>("abc"), 3);
    MD5Final(&ctx);
    EXPECT_EQ(std::memcmp(ctx.digest, "\x90\x01\x50\x98\x3c\xd2\x4f\xb0\xd6\x96\x3f\x7d\x28\xe1\x7f\x72", 16), 0);
    EXPECT_NE(::GetModuleHandleW(L"cryptdll.dll"), nullptr);
}

// The buttons' values are what GetPrivateProfileStringW gives for their keys (spaces, quotes, case,
// repeated keys, comments, long values), on the sample and on random damage to it.
TEST(LauncherStartup, ButtonSkinValuesAreTheProfileValues)
{
    kit::TempDir dir;
    const std::wstring base = dir.Path() + L"\\";
    const std::wstring ini = base + L"skin\\Button.ini";
    EnsureFolder(base + L"skin");
    kit::FuzzRun fuzz;
    for (int i = 0; i < 150; ++i) {
        std::wstring text = i == 0 ? kButtonIni : fuzz.Mutate(std::wstring(kButtonIni), 6);
        if (i == 1) {  // a value longer than the profile's value buffer, a section longer than the first read
            text = kButtonIni;
            text.replace(text.find(L"\"Close"), 6, std::wstring(5000, L'x'));
        }
        ASSERT_TRUE(kit::WriteBytesToFile(ini, Utf16File(text)));
        const auto buttons = LoadButtonSkinIni(base);
        if (i == 0) {  // the sample itself, spelled out
            ASSERT_EQ(buttons.size(), 2u);
            EXPECT_EQ(buttons[0]->image[0] + L"|" + buttons[0]->image[1], base + L"skin\\min.png|" + base + L"skin\\min hot.png");
            EXPECT_EQ(buttons[1]->image[2] + L"|" + buttons[1]->toolTip, base + L"skin\\close pushed.png|\"Close");
        }
        for (const auto& button : buttons) {
            SCOPED_TRACE(testing::PrintToString(text));
            const wchar_t* images[] = {L"NormalImage", L"HotImage", L"PushedImage"};
            for (int state = 0; state < 3; ++state) {
                const std::wstring value = ProfileString(ini, button->name.c_str(), images[state]);
                EXPECT_EQ(button->image[state], value.empty() ? std::wstring() : base + value);
            }
            EXPECT_EQ(button->toolTip, ProfileString(ini, button->name.c_str(), L"ToolTip"));
        }
    }
}
