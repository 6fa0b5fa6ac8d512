// Chinese text drawn with the system's GUI fonts: the stock GUI font, a window host's default
// font (what the message box's buttons use), the system's message and status fonts (tooltips),
// the dialog faces and a real tooltip's font must draw "确定" as two real glyphs, not as the
// missing-glyph box. A Chinese Windows links these faces to a Chinese font; the test and run
// commands' Wine prefix does the same, so this checks what a player would see.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ModalScript.h"
#include "kit/Capture.h"
#include "kit/DibCanvas.h"
#include "kit/HostWindow.h"
#include "kit/Probe.h"
#include "kit/TextInk.h"
#include "kit/XmlHost.h"
#include "login/windows/MessageBoxView.h"
#include "tests/launcher/LauncherTestDir.h"
#include "uitoolkit/core/GdiObject.h"

using namespace SkinUI;

namespace {

// A code point no font has a glyph for: it shows the font's missing-glyph box.
constexpr wchar_t kUnassigned = L'\x0378';

using Ink = std::vector<std::string>;

// One character drawn black on white with the font, as an ink shape.
Ink GlyphInk(HFONT font, wchar_t ch)
{
    const RECT area = {0, 0, 96, 96};
    kit::DibCanvas canvas(96, 96, 0xFFFFFF), blank(96, 96, 0xFFFFFF);
    CSelectObject select(canvas.DC(), font);
    ::SetBkMode(canvas.DC(), TRANSPARENT);
    ::SetTextColor(canvas.DC(), 0);
    RECT rc = {8, 8, 96, 96};
    ::DrawTextW(canvas.DC(), &ch, 1, &rc, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    return kit::TextInk(canvas, blank, area, 128).Shape(area);
}

// Why "确定" drawn with the font would be boxes: empty when both characters have real glyphs.
std::string MissingGlyphs(HFONT font)
{
    const Ink box = GlyphInk(font, kUnassigned), que = GlyphInk(font, L'确'), ding = GlyphInk(font, L'定');
    if (que.empty() || ding.empty()) return "nothing drawn";
    if (que == box || ding == box) return "the missing-glyph box";
    if (que == ding) return "two equal shapes";
    return "";
}

LOGFONTW SystemFont(LOGFONTW NONCLIENTMETRICSW::*which)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return metrics.*which;
}

LOGFONTW FaceFont(const wchar_t* face)
{
    LOGFONTW lf = {};
    lf.lfHeight = -12;
    lf.lfCharSet = DEFAULT_CHARSET;
    ::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

// The text of a control in a captured window split at the middle of its ink into the two
// characters, each as an ink shape.
std::vector<Ink> TwoGlyphsIn(const kit::DibCanvas& withText, const kit::DibCanvas& withoutText, const RECT& rc)
{
    const kit::TextInk ink(withText, withoutText, rc);
    const RECT box = ink.Bounds();
    if (::IsRectEmpty(&box)) return {};
    const long middle = (box.left + box.right) / 2;
    return {ink.Shape(RECT{box.left, box.top, middle, box.bottom}), ink.Shape(RECT{middle, box.top, box.right, box.bottom})};
}

} // namespace

// Each GUI font of the system, and the faces Wine puts in their place, draws the two characters.
TEST(ChineseGuiFonts, SystemGuiFontsDrawChineseGlyphs)
{
    kit::XmlHost host;  // a host without fonts of its own: buttons draw with its default font
    ASSERT_TRUE(host.Open(kit::Skin(L""), 60, 40));
    HWND tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, host.win.Hwnd(),
                                     nullptr, nullptr, nullptr);
    ASSERT_NE(tooltip, nullptr);
    const auto made = [](LOGFONTW lf) { return CGdiFont(::CreateFontIndirectW(&lf)); };
    CGdiFont messageFont = made(SystemFont(&NONCLIENTMETRICSW::lfMessageFont));
    CGdiFont statusFont = made(SystemFont(&NONCLIENTMETRICSW::lfStatusFont));
    CGdiFont menuFont = made(SystemFont(&NONCLIENTMETRICSW::lfMenuFont));
    CGdiFont shellDlg = made(FaceFont(L"MS Shell Dlg")), shellDlg2 = made(FaceFont(L"MS Shell Dlg 2"));
    CGdiFont tahoma = made(FaceFont(L"Tahoma"));
    LOGFONTW gui = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    CGdiFont guiFace = made(FaceFont(gui.lfFaceName));

    const struct {
        const char* what;
        HFONT font;
    } fonts[] = {
        {"DEFAULT_GUI_FONT", static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))},
        {"the default GUI font's face at 12 px", guiFace.Get()},
        {"a window host's default font", host.Host()->GetFont(-1)},
        {"the message font", messageFont.Get()},
        {"the status (tooltip) font", statusFont.Get()},
        {"the menu font", menuFont.Get()},
        {"a tooltip window's font", reinterpret_cast<HFONT>(::SendMessageW(tooltip, WM_GETFONT, 0, 0))},
        {"MS Shell Dlg", shellDlg.Get()},
        {"MS Shell Dlg 2", shellDlg2.Get()},
        {"Tahoma", tahoma.Get()},
    };
    for (const auto& f : fonts) {
        SCOPED_TRACE(f.what);
        ASSERT_NE(f.font, nullptr);
        EXPECT_EQ(MissingGlyphs(f.font), "");
    }
    ::DestroyWindow(tooltip);
}

// The message box's OK button as the screen would show it: "确定" is two different glyphs, while
// two unassigned characters on the same button are two equal boxes (the check can tell them).
TEST(ChineseGuiFonts, MessageBoxOkButtonShowsChineseGlyphs)
{
    LauncherTestDir dir(77);
    dir.Write(L"settings.ini", "[77]\r\nGameDataVersion=1.0\r\n");
    MakeDirs(dir.Path() + L"data\\77\\1.0\\skin");
    kit::HostWindow owner;
    ASSERT_TRUE(owner.Open(new kit::Box(L"owner"), 100, 80));

    CMessageBoxView box(L"提示", L"网络连接失败", CMessageBoxView::kTypeWarning);
    std::vector<Ink> caption, unassigned;
    bool checked = false;
    ModalScript script(L"MessageBoxView", {[&](HWND w) {
        CControlUI* ok = box.GetHost().FindControlByName(L"BtnOK");
        if (ok == nullptr || ::IsRectEmpty(&ok->GetPos())) return false;
        const RECT rc = ok->GetPos();
        const auto shot = [&](const wchar_t* text) {
            ok->SetText(text);
            return kit::CaptureClient(w);
        };
        const auto plain = shot(L"");
        caption = TwoGlyphsIn(*shot(L"确定"), *plain, rc);
        const wchar_t boxes[] = {kUnassigned, kUnassigned, 0};
        unassigned = TwoGlyphsIn(*shot(boxes), *plain, rc);
        checked = true;
        ::PostMessageW(w, WM_CLOSE, 0, 0);
        return true;
    }});
    box.ShowModal(owner.Hwnd());
    ASSERT_TRUE(checked);
    ASSERT_EQ(unassigned.size(), 2u);
    EXPECT_EQ(unassigned[0], unassigned[1]) << "two missing glyphs should draw the same box";
    ASSERT_EQ(caption.size(), 2u);
    EXPECT_NE(caption[0], caption[1]) << "确定 drawn as two equal boxes";
    EXPECT_NE(caption[0], unassigned[0]) << "确 drawn as the missing-glyph box";
    EXPECT_NE(caption[1], unassigned[0]) << "定 drawn as the missing-glyph box";
}
