// How close the toolkit paints the login window to the cheapest drawing of the same pixels.
//
// The floor: the GDI calls of one paint of the window are recorded (pictures with their source
// and destination rectangles and blend, texts with font, colour, rectangle and format, fills,
// gradients, outlines, each with the clip it was drawn under) and replayed by a plain Win32
// window the cheapest way: each picture decoded once into its own DIB and memory context, its
// opaque rows copied and only the others blended, single-line texts drawn with ExtTextOutW at
// positions computed once, state set only when it changes. The replay must give the toolkit's
// pixels exactly (0 differing pixels, or the benchmark fails).
//
// Measured for both pages of the sample skin (the login window built from "LoginWindowEx.xml" by
// the real dialog builder with the program's factory) and for the benchmarks' own login skin:
// repaint, first paint with the pictures loaded (warm) and first paint with pictures still to
// load (cold), each as the ratio of the toolkit's time to the floor's same step, medians.
// Run by hand:  wine PaintFloorBench.exe [rounds=15] [sample skin folder] [ms to show both windows]#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "BenchLoginSkin.h"
#include "kit/HostWindow.h"
#include "kit/Pump.h"
#include "kit/TempDir.h"
#include "paintfloor/Floor.h"
#include "paintfloor/PaintRecorder.h"
#include "paintfloor/PixelCheck.h"
#include "paintfloor/SkinWindow.h"
#include "tests/launcher/LauncherProcess.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace {

using bench::Median;
using namespace paintfloor;

DWORD g_holdMs = 0;  // how long both windows stay up after the pixel check, to be looked at

// One whole paint of the window: a repaint, or the first paint of a window just opened.
double TimePaint(HWND hwnd)
{
    ::InvalidateRect(hwnd, nullptr, FALSE);
    const double t0 = bench::Seconds();
    ::UpdateWindow(hwnd);
    return bench::Seconds() - t0;
}

struct Ratios {
    double repaint, warm, cold;
};

bool MeasureSkin(const Skin& skin, int rounds, Ratios& out)
{
    SkinUI::CHostResources::AddResourcePath(skin.folder.c_str(), true);
    const std::vector<std::wstring> names = SkinPictures(skin);

    // 1. One paint of the toolkit's window, recorded.
    kit::HostWindow win;
    if (!OpenToolkit(win, skin, true, names)) {
        std::printf("%s: the window could not be built\n", skin.title);
        return false;
    }
    kit::Drain();
    std::vector<Call> calls;
    {
        Recording recording(calls);
        TimePaint(win.Hwnd());
    }
    HDC offscreen = nullptr;
    for (const Call& call : calls)
        if (call.kind == Kind::Blit && call.window == win.Hwnd()) offscreen = call.sourceDC;
    std::map<HBITMAP, std::wstring> pictures;
    for (const std::wstring& name : names)
        if (const SkinUI::ImageEntry* image = win.Host()->GetImage(name.c_str()))
            pictures[image->hBitmap] = skin.folder + name;
    size_t drawn = 0;
    for (const Call& call : calls) drawn += call.dc == offscreen ? 1 : 0;

    // 2. The floor, checked against the toolkit's pixels.
    Floor floor;
    if (offscreen == nullptr || !floor.Compile(calls, offscreen, pictures, skin.width, skin.height) || !floor.Decode() ||
        !floor.Open(kit::HostWindow::kScreenX + skin.width + 20, kit::HostWindow::kScreenY)) {
        std::printf("%s: the recorded paint (%zu calls, %s) cannot be replayed\n", skin.title, calls.size(),
                    offscreen == nullptr ? "no copy to the window" : "see above");
        return false;
    }
    kit::Drain();
    TimePaint(win.Hwnd());
    TimePaint(floor.Hwnd());
    const std::vector<uint32_t> mine = WindowPixels(win.Hwnd(), skin.width, skin.height);
    const std::vector<uint32_t> theirs = WindowPixels(floor.Hwnd(), skin.width, skin.height);
    const size_t differing = ReportDifferences(mine, theirs, skin.width, skin.height, calls, offscreen);
    std::printf("%s: %zu recorded calls, %zu floor operations; %zu differing pixels of %zu\n", skin.title, drawn,
                floor.OpCount(), differing, mine.size());
    if (g_holdMs != 0) kit::Pump(g_holdMs);
    if (differing != 0) return false;

    // 3. Repaints, side by side.
    std::vector<double> toolkitRepaint, floorRepaint;
    for (int r = 0; r < rounds * 4; ++r) {
        toolkitRepaint.push_back(TimePaint(win.Hwnd()));
        floorRepaint.push_back(TimePaint(floor.Hwnd()));
    }
    floor.Close();
    win.Destroy();
    kit::Drain();

    // 4. First paints of new windows: warm (pictures loaded before) and cold.
    std::vector<double> toolkitWarm, floorWarm, toolkitCold, floorCold;
    for (int r = 0; r < rounds; ++r) {
        for (bool warm : {true, false}) {
            kit::HostWindow fresh;
            if (!OpenToolkit(fresh, skin, warm, names)) return false;
            (warm ? toolkitWarm : toolkitCold).push_back(TimePaint(fresh.Hwnd()));
            fresh.Destroy();
            if (warm)
                floor.Decode();
            else
                floor.Forget();
            floor.Open(kit::HostWindow::kScreenX + skin.width + 20, kit::HostWindow::kScreenY);
            (warm ? floorWarm : floorCold).push_back(TimePaint(floor.Hwnd()));
            floor.Close();
            kit::Drain();
        }
    }
    out.repaint = Median(toolkitRepaint) / Median(floorRepaint);
    out.warm = Median(toolkitWarm) / Median(floorWarm);
    out.cold = Median(toolkitCold) / Median(floorCold);
    std::printf("  %-26s toolkit %7.3f ms  floor %7.3f ms  ratio %5.2f  (goal: at most 1.5)\n", "repaint",
                Median(toolkitRepaint) * 1000, Median(floorRepaint) * 1000, out.repaint);
    std::printf("  %-26s toolkit %7.3f ms  floor %7.3f ms  ratio %5.2f  (goal: at most 1.25)\n", "first paint, warm",
                Median(toolkitWarm) * 1000, Median(floorWarm) * 1000, out.warm);
    std::printf("  %-26s toolkit %7.3f ms  floor %7.3f ms  ratio %5.2f  (goal: at most 1.25)\n", "first paint, cold",
                Median(toolkitCold) * 1000, Median(floorCold) * 1000, out.cold);
    SkinUI::CHostResources::GetResourcePathList().Clear();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    std::wstring sample = e2e::SourceDir() + L"\\sample\\workdir\\data\\1001\\1.0\\skin\\";
    if (argc > 2 && std::strcmp(argv[2], "-") != 0) {
        const std::string given(argv[2]);
        sample.assign(given.begin(), given.end());
        if (sample.back() != L'\\') sample += L'\\';
    }
    if (argc > 3) g_holdMs = static_cast<DWORD>(std::max(0, std::atoi(argv[3])));
    PaintRecorder recorder;
    if (!recorder.Install()) return 1;

    kit::TempDir dir;
    bench::WriteLoginPictures(dir);

    const Skin skins[] = {
        {"sample skin, password page", sample, L"LoginWindowEx.xml", L"PWDLogin", 450, 309},
        {"sample skin, quick-login page", sample, L"LoginWindowEx.xml", L"PVALogin", 450, 309},
        {"bench skin", dir.Path() + L"\\", bench::kLoginSkin, nullptr, bench::kLoginWidth, bench::kLoginHeight},
    };
    std::printf("toolkit against the floor, medians of %d rounds (repaints: %d)\n\n", rounds, rounds * 4);
    bool met = true;
    for (const Skin& skin : skins) {
        Ratios ratios{};
        if (!MeasureSkin(skin, rounds, ratios)) return 1;
        met = met && ratios.repaint <= 1.5 && ratios.warm <= 1.25 && ratios.cold <= 1.25;
        std::printf("\n");
    }
    std::printf("%s\n", met ? "goals met: yes" : "goals met: NO");
    return met ? 0 : 2;
}
