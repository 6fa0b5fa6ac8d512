// Cost of marked-up text against its length: measuring and drawing texts of 100 KB against the
// same shapes at 10 KB, measured in the same run. Shapes: one long run of many scripts with
// right-to-left letters on a visible line (the system reorders such a string at a cost far above
// its length when handed it whole), right-to-left words, one unit per line in a narrow and very
// tall rectangle, and wrapped words. The cost must grow linearly: each ratio at most 11. Run by
// hand:
//   wine MarkupBench.exe [rounds=5]
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchClock.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace {

constexpr double kMaxRatio = 11.0;

struct Window {
    HWND hWnd = ::CreateWindowW(L"STATIC", L"bench", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ~Window() { ::DestroyWindow(hWnd); }
};

// A 200 x 100 32-bit picture to draw into.
class Canvas {
public:
    HDC DC() const { return m_dc.Get(); }

private:
    void* m_bits = nullptr;
    SkinUI::CMemoryDC m_dc{nullptr};
    SkinUI::CGdiBitmap m_bitmap = SkinUI::CreateDib32(200, 100, &m_bits);
    SkinUI::CSelectObject m_select{m_dc.Get(), m_bitmap.Get()};
};

std::wstring Repeat(const std::wstring& piece, size_t units)
{
    std::wstring text;
    while (text.size() < units) text += piece;
    return text;
}

struct Shape {
    const char* name;
    const wchar_t* piece;
    RECT rc;
    UINT format;
};

// The best time of measuring and then drawing the text.
double Best(SkinUI::CWindowHostUI& host, Canvas& canvas, const std::wstring& text, const Shape& shape, int rounds)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        RECT links[8] = {};
        SkinUI::CUIString texts[8];
        const double t0 = bench::Seconds();
        RECT measured = shape.rc;
        int count = 8;
        SkinUI::CRenderKit::DrawMarkedUpText(canvas.DC(), &host, measured, text.c_str(), 0xFF000000, links, texts,
                                             count, shape.format | DT_CALCRECT);
        RECT drawn = shape.rc;
        count = 8;
        SkinUI::CRenderKit::DrawMarkedUpText(canvas.DC(), &host, drawn, text.c_str(), 0xFF000000, links, texts, count,
                                             shape.format);
        best = std::min(best, bench::Seconds() - t0);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Window window;
    SkinUI::CWindowHostUI host;
    host.Init(window.hWnd);
    Canvas canvas;

    const Shape shapes[] = {
        {"many scripts, one visible run",
         L"q\x84D1\xB4DB" L"6\xA3C2+>y\x06n\xFD9Fx\xC842\x2246=\x11" L"c;fk\x1330\xB219\x05D0\x05D1" L"7\x0628\x0644",
         {3, 3, INT_MAX, 5000000}, DT_END_ELLIPSIS},
        {"right-to-left words, one run", L"\x0628\x064A\x062A \x0643\x062A\x0627\x0628 12 abc \x0645\x0651\x0646 ",
         {-5000, 10, INT_MAX, 30}, DT_SINGLELINE},
        {"one unit per line", L"iq\x84D1<b>w</b>\x0628", {0, 0, 1, 5000000}, 0},
        {"wrapped words", L"lorem <a x>ipsum</a> dolor sit amet, ", {0, 0, 200, 5000000}, DT_WORDBREAK},
    };
    bool linear = true;
    for (const Shape& shape : shapes) {
        const double small = Best(host, canvas, Repeat(shape.piece, 10 * 1024), shape, rounds);
        const double large = Best(host, canvas, Repeat(shape.piece, 100 * 1024), shape, rounds);
        const double ratio = large / small;
        linear = linear && ratio <= kMaxRatio;
        std::printf("%-32s 10 KB %8.2f ms, 100 KB %8.2f ms, ratio %5.2f (at most %.0f)\n", shape.name, small * 1000.0,
                    large * 1000.0, ratio, kMaxRatio);
    }
    std::printf("%s\n", linear ? "linear: yes" : "linear: NO");
    return linear ? 0 : 1;
}
