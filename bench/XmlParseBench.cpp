// Parse rate of the skin XML parser on a large generated skin, as a ratio to a plain wcslen
// scan of the same UTF-16 text measured in the same run. Run by hand:
//   wine XmlParseBench.exe [megabytes=4] [rounds=20]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <memory>
#include <cstring>

#include "uitoolkit/core/XmlDocument.h"

namespace {

double Seconds() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

// Nested layouts with many attributes, entities and comments, like the program's skins.
void AppendLayout(std::wstring& out, int depth, int& counter) {
    const std::wstring indent(static_cast<size_t>(depth) * 2, L' ');
    out += indent + L"<VerticalLayout name=\"layout" + std::to_wstring(counter++) +
           L"\" pos=\"0,0,400,300\" padding=\"4,4,4,4\" bkcolor=\"#FFF0F0F0\" inset=\"2,2,2,2\">\r\n";
    for (int i = 0; i < 6; ++i) {
        out += indent + L"  <Button name=\"button" + std::to_wstring(counter++) +
               L"\" text=\"Sign in &amp; play\" width=\"80\" height=\"24\" textcolor=\"#FF000000\""
               L" normalimage=\"file='btn.png' source='0,0,80,24' corner='4,4,4,4'\""
               L" hotimage=\"file='btn.png' source='0,24,80,48'\" tooltip=\"&lt;b&gt;tip&lt;/b&gt;\" />\r\n";
        out += indent + L"  <Label text=\"row " + std::to_wstring(i) + L"\" align=\"left\" font=\"1\"/>\r\n";
    }
    out += indent + L"  <!-- nested part -->\r\n";
    if (depth < 6) AppendLayout(out, depth + 1, counter);
    out += indent + L"</VerticalLayout>\r\n";
}

} // namespace

int main(int argc, char** argv) {
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 4.0;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 20;

    std::wstring skin = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Window size=\"800,600\">\r\n";
    int counter = 0;
    while (skin.size() * sizeof(wchar_t) < megabytes * 1024 * 1024) AppendLayout(skin, 1, counter);
    skin += L"</Window>\r\n";
    const double mb = static_cast<double>(skin.size() * sizeof(wchar_t)) / (1024.0 * 1024.0);

    // Baseline: wcslen over the same buffer.
    size_t sink = 0;
    double scan = 1e9, t0;
    for (int r = 0; r < rounds; ++r) {
        t0 = Seconds();
        sink += std::wcslen(skin.c_str() + (r & 1));
        const double t = Seconds() - t0;
        if (t < scan) scan = t;
    }

    double copyBest = 1e9;
    for (int r = 0; r < rounds; ++r) {
        t0 = Seconds();
        size_t n = std::wcslen(skin.c_str());
        std::unique_ptr<wchar_t[]> copy(new wchar_t[n + 1]);
        std::memcpy(copy.get(), skin.c_str(), (n + 1) * 2);
        sink += copy[n / 2];
        const double t = Seconds() - t0;
        if (t < copyBest) copyBest = t;
    }
    SkinUI::CXmlDocument doc;
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        t0 = Seconds();
        if (!doc.LoadFromText(skin.c_str())) {
            std::printf("parse failed: %ls\n", doc.GetLastErrorMessage());
            return 1;
        }
        const double t = Seconds() - t0;
        if (t < best) best = t;
    }
    int elements = 0;
    for (SkinUI::CXmlNode n = doc.GetRoot().GetChild(); n.IsValid(); n = n.GetSibling()) ++elements;

    std::printf("skin: %.2f MB UTF-16, %d top-level layouts, %d controls\n", mb, elements, counter);
    std::printf("wcslen:                         %8.1f MB/s (best of %d)\n", mb / scan, rounds);
    std::printf("copy into a document            %8.1f MB/s  ratio to wcslen %.2f\n", mb / copyBest,
                copyBest / scan);
    std::printf("  (wcslen + allocate + copy)\n");
    std::printf("LoadFromText (copy + parse)     %8.1f MB/s  ratio to wcslen %.2f\n", mb / best, best / scan);
    const double parseOnly = best - copyBest;
    std::printf("parse in place (load - copy)    %8.1f MB/s  ratio to wcslen %.2f\n", mb / parseOnly,
                parseOnly / scan);
    return sink == 0 ? 2 : 0;
}
