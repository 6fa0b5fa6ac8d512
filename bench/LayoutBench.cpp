// Layout cost of the vertical layout: one placement pass over 10000 automatic children against
// one over 1000, measured in the same run, in a window host (the repaint requests of a pass go
// to the window as one) and without one (the arithmetic alone). The pass must grow
// linearly: the ratio must stay at most 11. Also counts how often nested layouts place each leaf
// in one pass (must be once). Run by hand:
//   wine LayoutBench.exe [rounds=15]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "BenchClock.h"
#include "uitoolkit/controls/HorizontalLayoutUI.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace {

constexpr double kMaxRatio = 11.0;
constexpr int kChildHeight = 20;

struct Window {
    HWND hWnd = ::CreateWindowW(L"STATIC", L"bench", WS_POPUP, 0, 0, 400, 600, nullptr, nullptr, nullptr, nullptr);
    ~Window() { ::DestroyWindow(hWnd); }
};

// A vertical layout of `children` automatic children.
std::unique_ptr<SkinUI::CVerticalLayoutUI> MakeLayout(int children)
{
    auto layout = std::make_unique<SkinUI::CVerticalLayoutUI>();
    for (int i = 0; i < children; ++i)
        layout->Add(new SkinUI::CControlUI());
    return layout;
}

// The best time of one placement pass; the rectangle alternates so that every pass moves every
// child (a pass over unchanged rectangles would be no cheaper, but this leaves no doubt).
double BestPass(SkinUI::CControlUI& layout, int children, int rounds)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const RECT rc = {0, r & 1, 400, (r & 1) + children * kChildHeight};
        const double t0 = bench::Seconds();
        layout.SetPos(rc);
        best = std::min(best, bench::Seconds() - t0);
    }
    return best;
}

// Rows of horizontal layouts holding vertical layouts of leaves: how often one pass of the root
// places each leaf.
void NestedCount(SkinUI::CWindowHostUI& host)
{
    auto* root = new SkinUI::CVerticalLayoutUI();
    std::vector<int> placed;
    placed.reserve(400);
    for (int row = 0; row < 20; ++row) {
        auto* line = new SkinUI::CHorizontalLayoutUI();
        for (int column = 0; column < 4; ++column) {
            auto* cell = new SkinUI::CVerticalLayoutUI();
            for (int i = 0; i < 5; ++i) {
                auto* leaf = new SkinUI::CControlUI();
                const size_t index = placed.size();
                placed.push_back(0);
                leaf->SizeDelegates += SkinUI::MakeDelegate([&placed, index](void*) {
                    ++placed[index];
                    return true;
                });
                cell->Add(leaf);
            }
            line->Add(cell);
        }
        root->Add(line);
    }
    host.AttachRoot(root);
    std::fill(placed.begin(), placed.end(), 0);
    root->SetPos(RECT{0, 0, 400, 600});
    const auto [least, most] = std::minmax_element(placed.begin(), placed.end());
    std::printf("nested layouts, %zu leaves in 3 levels: each placed %d to %d times in one pass (must be 1)\n",
                placed.size(), *least, *most);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    Window window;
    bool linear = true;

    for (bool withHost : {true, false}) {
        double times[2] = {0, 0};
        const int sizes[2] = {1000, 10000};
        for (int k = 0; k < 2; ++k) {
            SkinUI::CWindowHostUI host;
            host.Init(window.hWnd);
            std::unique_ptr<SkinUI::CVerticalLayoutUI> layout = MakeLayout(sizes[k]);
            if (withHost) {
                host.AttachRoot(layout.get());  // the host owns it now
                layout.release();
                times[k] = BestPass(*host.GetRoot(), sizes[k], rounds);
            } else {
                times[k] = BestPass(*layout, sizes[k], rounds);
            }
        }
        const double ratio = times[1] / times[0];
        linear = linear && ratio <= kMaxRatio;
        std::printf("%s: 1000 children %8.3f ms, 10000 children %8.3f ms, ratio %.2f (at most %.0f)\n",
                    withHost ? "in a window host" : "without a host ", times[0] * 1000.0, times[1] * 1000.0, ratio,
                    kMaxRatio);
    }

    SkinUI::CWindowHostUI host;
    host.Init(window.hWnd);
    NestedCount(host);
    std::printf("%s\n", linear ? "linear: yes" : "linear: NO");
    return linear ? 0 : 1;
}
