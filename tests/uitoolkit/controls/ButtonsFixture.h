#pragma once
// Skins for the label, text and button tests: solid-colour images in a temporary skin folder
// (red, green, blue, yellow, grey, cyan; 8 x 8 each) and a window built from a skin whose controls
// float at fixed positions inside one container.
#include <string>
#include <vector>

#include "XmlHost.h"
#include "kit/Capture.h"
#include "kit/FileBytes.h"
#include "kit/PngWriter.h"
#include "kit/TempDir.h"
#include "uitoolkit/core/HostResources.h"

namespace buttons_fixture {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00,
                   kGrey = 0x808080, kCyan = 0x00FFFF, kWhite = 0xFFFFFF;

struct SkinFolder {
    kit::TempDir dir;
    SkinFolder()
    {
        const struct {
            const wchar_t* name;
            uint32_t rgb;
        } images[] = {{L"red.png", kRed},   {L"green.png", kGreen}, {L"blue.png", kBlue},
                      {L"yellow.png", kYellow}, {L"grey.png", kGrey}, {L"cyan.png", kCyan}};
        for (const auto& image : images)
            kit::WriteBytesToFile(dir.File(image.name),
                                  kit::EncodePng(8, 8, std::vector<uint32_t>(64, 0xFF000000u | image.rgb)));
        SkinUI::CHostResources::AddResourcePath(dir.Path().c_str(), true);
    }
};

// "<Window><Container>" + controls + "</Container></Window>".
inline std::wstring Skin(const std::wstring& controls)
{
    return L"<Window><Container name=\"root\">" + controls + L"</Container></Window>";
}

// The colour of one client pixel of the window as painted now.
inline uint32_t PixelAt(xml_host::XmlHost& h, int x, int y)
{
    return kit::CaptureClient(h.win.Hwnd())->Pixel(x, y);
}

} // namespace buttons_fixture
