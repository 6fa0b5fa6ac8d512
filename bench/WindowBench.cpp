// Speed of building, attaching, laying out and painting a window, as the program opens its login
// window: a login-sized skin built from XML with the toolkit's layouts, labels, buttons and
// options over seven PNG pictures, in a real window under its host. Then the same steps for
// generated skins of 1000 and 10000 controls (each must grow linearly: at most 11 times), and the
// deletion of a named tree of 250 and 2500 controls under a live host.
//
// Every figure is the median of several rounds and is also given as a ratio to a baseline
// measured in the same run: one FillRect of the window's size into a memory bitmap. Run by hand:
//   wine WindowBench.exe [rounds=15]
#include <windows.h>

#include <libdeflate.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "BenchLoginSkin.h"
#include "kit/HostWindow.h"
#include "kit/PngWriter.h"
#include "kit/Pump.h"
#include "kit/TempDir.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"
#include "uitoolkit/core/DialogBuilder.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/IContainerUI.h"
#include "uitoolkit/core/IDialogBuilderCallback.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/SkinFileReader.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace {

using bench::Median;

using bench::kLoginHeight;
using bench::kLoginSkin;
using bench::kLoginWidth;
using bench::kPictures;
using bench::Picture;
using bench::PictureFile;

constexpr double kMaxGrowth = 11.0;
// Rows of five controls (labels, and a button with a picture in every fifth place) under a
// vertical root; every control named.
std::wstring GeneratedSkin(int controls)
{
    std::wstring skin = L"<Window size=\"800,600\">\r\n<TimedVerticalLayout name=\"root\" bkcolor=\"#FFF0F0F0\">\r\n";
    int made = 1;
    for (int row = 0; made < controls; ++row) {
        skin += L" <HorizontalLayout name=\"row" + std::to_wstring(row) + L"\" height=\"24\">\r\n";
        ++made;
        for (int i = 0; i < 5 && made < controls; ++i, ++made) {
            const std::wstring name = L"c" + std::to_wstring(made);
            if (i == 4)
                skin += L"  <Button name=\"" + name + L"\" text=\"go\" width=\"60\" normalimage=\"file='btn.png' "
                        L"source='0,0,100,36' corner='6,6,6,6'\"/>\r\n";
            else
                skin += L"  <Label name=\"" + name + L"\" text=\"item " + std::to_wstring(made) +
                        L"\" width=\"120\" padding=\"2,0,2,0\"/>\r\n";
        }
        skin += L" </HorizontalLayout>\r\n";
    }
    skin += L"</TimedVerticalLayout>\r\n</Window>\r\n";
    return skin;
}

// ---- timing inside the host's own paint ---------------------------------------------------

// The root layout of the bench skins: a vertical layout that clocks its own placement pass and
// its own paint, so that the host's first paint can be split into layout and painting.
struct PassClock {
    double layout = 0;  // the last top-level placement pass
    double paint = 0;   // the last paint of the tree
};

class TimedVerticalLayout : public SkinUI::CVerticalLayoutUI {
public:
    explicit TimedVerticalLayout(PassClock* clock) : m_clock(clock) {}
    void SetPos(RECT rc) override
    {
        const double t0 = bench::Seconds();
        CVerticalLayoutUI::SetPos(rc);
        m_clock->layout = bench::Seconds() - t0;
    }
    void Paint(HDC hDC, const RECT& rcDirty) override
    {
        const double t0 = bench::Seconds();
        CVerticalLayoutUI::Paint(hDC, rcDirty);
        m_clock->paint = bench::Seconds() - t0;
    }

private:
    PassClock* m_clock;
};

class BenchCallback : public SkinUI::IDialogBuilderCallback {
public:
    explicit BenchCallback(PassClock* clock) : m_clock(clock) {}
    SkinUI::CControlUI* CreateControl(const wchar_t* tag) override
    {
        return std::wcscmp(tag, L"TimedVerticalLayout") == 0 ? new TimedVerticalLayout(m_clock) : nullptr;
    }

private:
    PassClock* m_clock;
};

// ---- one window, measured ----------------------------------------------------------------

struct Figures {
    std::vector<double> build, attach, firstLayout, firstTreePaint, firstPaint, repaint, treePaint,
        hostLayout, bareLayout;
};

// Opens a window, builds the skin for its host, attaches it and paints it, then repaints it.
// `warm`: the pictures are decoded into the host's cache before the first paint.
// The processor's caches emptied of everything a step could find there: a tree of 1000 controls
// stays in the caches from one step to the next, one of 10000 does not, which would make the
// larger tree look slower per control than its algorithms are.
void EvictCaches()
{
    static std::vector<char> block(64 << 20);
    for (size_t i = 0; i < block.size(); i += 64)
        block[i] = static_cast<char>(block[i] + 1);
}

// With `coldCaches`, each measured step starts with emptied caches.
bool MeasureWindow(const std::wstring& skin, int width, int height, bool warm, Figures& out, int repaints,
                   bool coldCaches = false)
{
    const auto step = [coldCaches] {
        if (coldCaches)
            EvictCaches();
    };
    PassClock clock;
    BenchCallback callback(&clock);
    kit::HostWindow win;
    if (!win.Open(nullptr, width, height))
        return false;
    SkinUI::CWindowHostUI* host = win.Host();
    if (warm) {
        for (const PictureFile& picture : kPictures)
            host->GetOrLoadImage(picture.name, nullptr, 0);
    }

    // 1. Build: parse and create the controls for the host.
    SkinUI::CDialogBuilder builder;
    step();
    double t0 = bench::Seconds();
    SkinUI::CControlUI* root = builder.Create(skin.c_str(), nullptr, &callback, host);
    out.build.push_back(bench::Seconds() - t0);
    if (root == nullptr)
        return false;

    // 2. Attach: initialise the tree and register its names.
    step();
    t0 = bench::Seconds();
    host->AttachRoot(root);
    out.attach.push_back(bench::Seconds() - t0);

    // 3. First paint: lay out, "windowinit", first focus, paint (pictures decoded unless warm).
    step();
    t0 = bench::Seconds();
    ::UpdateWindow(win.Hwnd());
    out.firstPaint.push_back(bench::Seconds() - t0);
    out.firstLayout.push_back(clock.layout);
    out.firstTreePaint.push_back(clock.paint);
    kit::Drain();

    // 4. Repaints of the whole window, and the tree alone painted into a memory bitmap.
    for (int r = 0; r < repaints; ++r) {
        ::InvalidateRect(win.Hwnd(), nullptr, FALSE);
        step();
        t0 = bench::Seconds();
        ::UpdateWindow(win.Hwnd());
        out.repaint.push_back(bench::Seconds() - t0);
        out.treePaint.push_back(clock.paint);
    }

    // 5. Layout passes of the host while the whole window waits for a paint (as after a
    //    resize), against the same passes over a tree built without a host. Each run starts
    //    with a pass that is not counted, so that both are measured with the tree at hand.
    RECT client{};
    ::GetClientRect(win.Hwnd(), &client);
    const auto passes = [&](SkinUI::CControlUI* tree, std::vector<double>& times) {
        for (int pass = 0; pass <= 4; ++pass) {
            tree->SetPos(RECT{0, pass & 1, client.right, client.bottom});
            if (pass > 0)
                times.push_back(clock.layout);
        }
    };
    SkinUI::CDialogBuilder bareBuilder;
    std::unique_ptr<SkinUI::CControlUI> bare(bareBuilder.Create(skin.c_str(), nullptr, &callback, nullptr));
    if (bare == nullptr)
        return false;
    for (int r = 0; r < repaints; ++r) {
        root->RequestLayout();
        passes(root, out.hostLayout);
        ::UpdateWindow(win.Hwnd());
        passes(bare.get(), out.bareLayout);
    }
    return true;
}

// ---- the baseline ---------------------------------------------------------------------------

double FillBaseline(int width, int height, int rounds)
{
    SkinUI::CWindowDC screen(nullptr);
    SkinUI::CMemoryDC mem(screen.Get());
    SkinUI::CGdiBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    SkinUI::CSelectObject select(mem.Get(), bitmap.Get());
    SkinUI::CGdiBrush brush(::CreateSolidBrush(RGB(10, 20, 30)));
    const RECT rc{0, 0, width, height};
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        const double t0 = bench::Seconds();
        ::FillRect(mem.Get(), &rc, brush.Get());
        times.push_back(bench::Seconds() - t0);
    }
    return Median(times);
}

void Row(const char* what, double seconds, double baseline, const char* goal = "")
{
    std::printf("  %-44s %9.3f ms  %8.1f x fill  %s\n", what, seconds * 1000.0, seconds / baseline, goal);
}

// ---- reading and decoding ------------------------------------------------------------------

// The deflate stream of a picture written by the kit (one IDAT chunk).
std::string ImageData(const std::string& png)
{
    const size_t type = png.find("IDAT");
    if (type == std::string::npos || type < 4)
        return std::string();
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(png[i])); };
    const uint32_t length = (byte(type - 4) << 24) | (byte(type - 3) << 16) | (byte(type - 2) << 8) | byte(type - 1);
    return png.substr(type + 4, length);
}

// Where the cold pictures' time goes: reading the files, the general decoder, the inflating alone,
// and the toolkit's decoding of every picture (inflate, unfilter, premultiplied DIB).
void DecodeRows(const kit::TempDir& dir, double fill, int rounds)
{
    std::vector<std::string> files, packed;
    size_t rawBytes = 0;
    for (const PictureFile& picture : kPictures) {
        files.push_back(Picture(picture.width, picture.height, 7, picture.round));
        packed.push_back(ImageData(files.back()));
        rawBytes = std::max(rawBytes, static_cast<size_t>(picture.width * 4 + 1) * picture.height);
    }
    std::vector<uint8_t> raw(rawBytes);
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    std::vector<double> reading, decoder, inflating, toolkit;
    for (int r = 0; r < rounds; ++r) {
        double t0 = bench::Seconds();
        for (const PictureFile& picture : kPictures)
            SkinUI::ReadWholeSkinFile(dir.File(picture.name).c_str());
        reading.push_back(bench::Seconds() - t0);
        t0 = bench::Seconds();
        for (const std::string& file : files) {
            int w = 0, h = 0, n = 0;
            stbi_image_free(stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(file.data()),
                                                  static_cast<int>(file.size()), &w, &h, &n, 4));
        }
        decoder.push_back(bench::Seconds() - t0);
        t0 = bench::Seconds();
        for (const std::string& data : packed)
            libdeflate_zlib_decompress(inflater, data.data(), data.size(), raw.data(), raw.size(), nullptr);
        inflating.push_back(bench::Seconds() - t0);
        t0 = bench::Seconds();
        for (const std::string& file : files)
            SkinUI::CRenderKit::DecodeImage(reinterpret_cast<const BYTE*>(file.data()), file.size(), 0);
        toolkit.push_back(bench::Seconds() - t0);
    }
    libdeflate_free_decompressor(inflater);
    Row("reading the 7 picture files", Median(reading), fill);
    Row("decoding the 7 pictures: the general decoder", Median(decoder), fill);
    Row("inflating their image data alone", Median(inflating), fill);
    Row("decoding the 7 pictures into DIB sections", Median(toolkit), fill);
}

// ---- deleting a named tree under a live host ---------------------------------------------

double DeleteNamedTree(int controls, int rounds)
{
    std::wstring skin = L"<Window><VerticalLayout name=\"root\"><VerticalLayout name=\"doomed\">";
    for (int made = 1, row = 0; made < controls; ++row) {
        skin += L"<HorizontalLayout name=\"drow" + std::to_wstring(row) + L"\" height=\"20\">";
        ++made;
        for (int i = 0; i < 5 && made < controls; ++i, ++made)
            skin += L"<Label name=\"d" + std::to_wstring(made) + L"\" text=\"x\" width=\"40\"/>";
        skin += L"</HorizontalLayout>";
    }
    skin += L"</VerticalLayout><Label name=\"keeper\" height=\"20\"/></VerticalLayout></Window>";

    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        kit::HostWindow win;
        if (!win.Open(nullptr, 400, 300))
            return 0;
        SkinUI::CDialogBuilder builder;
        SkinUI::CControlUI* root = builder.Create(skin.c_str(), nullptr, nullptr, win.Host());
        if (root == nullptr || !win.Host()->AttachRoot(root))
            return 0;
        win.Layout();
        auto* container = static_cast<SkinUI::IContainerUI*>(root->GetInterface(L"IContainer"));
        SkinUI::CControlUI* doomed = win.Host()->FindControlByName(L"doomed");
        // A layout may hand removed children to the host's delayed clean-up: the deletion is
        // over when the host has handled its clean-up message.
        EvictCaches();
        const double t0 = bench::Seconds();
        container->Remove(doomed);
        ::SendMessageW(win.Hwnd(), WM_APP + 1, 0, 0);
        times.push_back(bench::Seconds() - t0);
        if (win.Host()->FindControlByName(L"d1") != nullptr || win.Host()->FindControlByName(L"keeper") == nullptr)
            std::printf("  deleting the tree left its names behind or lost another\n");
    }
    return Median(times);
}

SkinUI::CControlUI* CALLBACK CountProc(SkinUI::CControlUI*, void* data)
{
    ++*static_cast<int*>(data);
    return nullptr;
}

int CountControls(SkinUI::CControlUI* root, bool visibleOnly)
{
    int count = 0;
    root->FindControl(CountProc, &count, visibleOnly ? UINT{SkinUI::kFindVisible} : UINT{0});
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    kit::TempDir dir;
    bench::WriteLoginPictures(dir);
    SkinUI::CHostResources::AddResourcePath(dir.Path().c_str(), true);

    const double fill = FillBaseline(kLoginWidth, kLoginHeight, 201);
    std::printf("baseline: one FillRect of %dx%d into a memory bitmap, %.3f ms (median)\n\n", kLoginWidth,
                kLoginHeight, fill * 1000.0);

    // The login window, cold (pictures decoded in the first paint) and warm.
    {
        SkinUI::CDialogBuilder builder;
        PassClock clock;
        BenchCallback callback(&clock);
        std::unique_ptr<SkinUI::CControlUI> tree(builder.Create(kLoginSkin, nullptr, &callback, nullptr));
        std::printf("login window: %d controls, %d shown, %zu pictures; medians of %d rounds\n",
                    CountControls(tree.get(), false) - 1, CountControls(tree.get(), true) - 1,
                    std::size(kPictures), rounds);
    }
    Figures cold, warm;
    for (int r = 0; r < rounds; ++r) {
        if (!MeasureWindow(kLoginSkin, kLoginWidth, kLoginHeight, false, cold, 1) ||
            !MeasureWindow(kLoginSkin, kLoginWidth, kLoginHeight, true, warm, 5)) {
            std::printf("the login window could not be built\n");
            return 1;
        }
    }
    Row("build (parse, create, attributes)", Median(cold.build), fill);
    Row("attach (init, names)", Median(cold.attach), fill);
    Row("layout in a host, before a full paint", Median(warm.hostLayout), fill);
    Row("the same layout without a host", Median(warm.bareLayout), fill);
    std::printf("    ratio %.2f (goal: at most 2)\n", Median(warm.hostLayout) / Median(warm.bareLayout));
    Row("first layout + tree paint, warm pictures", Median(warm.firstLayout) + Median(warm.firstTreePaint), fill,
        "(goal: under 2 ms)");
    Row("first layout + tree paint, cold pictures", Median(cold.firstLayout) + Median(cold.firstTreePaint), fill,
        "(goal: under 4 ms)");
    Row("  of which first layout", Median(cold.firstLayout), fill);
    Row("first WM_PAINT in all, warm", Median(warm.firstPaint), fill);
    Row("first WM_PAINT in all, cold", Median(cold.firstPaint), fill);
    Row("repaint: tree paint", Median(warm.treePaint), fill, "(goal: under 0.5 ms)");
    Row("repaint: WM_PAINT in all", Median(warm.repaint), fill);
    DecodeRows(dir, fill, rounds);

    // Growth from 1000 to 10000 controls.
    std::printf("\ngenerated skins, 1000 and 10000 controls, each step with emptied caches (growth at most %.0f)\n",
                kMaxGrowth);
    bool linear = true;
    Figures sized[2];
    const int sizes[2] = {1000, 10000};
    const int sizedRounds = std::max(3, rounds / 2);
    for (int k = 0; k < 2; ++k) {
        const std::wstring skin = GeneratedSkin(sizes[k]);
        for (int r = 0; r < sizedRounds; ++r) {
            if (!MeasureWindow(skin, 800, 600, true, sized[k], 1, true)) {
                std::printf("the generated window could not be built\n");
                return 1;
            }
        }
    }
    const auto growth = [&](const char* what, std::vector<double> Figures::*field) {
        const double small = Median(sized[0].*field), large = Median(sized[1].*field);
        const double ratio = large / small;
        linear = linear && ratio <= kMaxGrowth;
        std::printf("  %-20s %9.3f ms -> %9.3f ms  growth %6.2f\n", what, small * 1000.0, large * 1000.0, ratio);
    };
    growth("build", &Figures::build);
    growth("attach", &Figures::attach);
    growth("first layout", &Figures::firstLayout);
    growth("repaint (tree)", &Figures::treePaint);

    const double del250 = DeleteNamedTree(250, sizedRounds);
    const double del2500 = DeleteNamedTree(2500, sizedRounds);
    const double delRatio = del2500 / del250;
    linear = linear && delRatio <= kMaxGrowth;
    std::printf("  %-20s %9.3f ms -> %9.3f ms  growth %6.2f  (named trees of 250 and 2500)\n", "delete",
                del250 * 1000.0, del2500 * 1000.0, delRatio);
    std::printf("%s\n", linear ? "linear: yes" : "linear: NO");
    return linear ? 0 : 1;
}
