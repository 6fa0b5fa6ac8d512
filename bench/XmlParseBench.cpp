// Speed of the skin XML parser on a large generated skin, as ratios to a plain wcslen scan of the
// same UTF-16 text measured in the same rounds (medians): the parse in place, a load (the copy of
// the text included) and a parse followed by reading every element's name and attributes; and
// the time the dialog builder takes to build a tree of 1000 controls. Run by hand:
//   wine XmlParseBench.exe [megabytes=4] [rounds=21]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <memory>
#include <cstring>

#include <vector>

#include "BenchClock.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/DialogBuilder.h"
#include "uitoolkit/core/IContainerUI.h"
#include "uitoolkit/core/WindowHostUI.h"
#include "uitoolkit/core/XmlDocument.h"

namespace {

using bench::Median;

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

// Stands in for the layout tags until the toolkit's own layouts are in the builder's table
// (the builder asks its table first, so the real ones take over then).
class BenchLayout : public SkinUI::CControlUI, public SkinUI::IContainerUI {
public:
    ~BenchLayout() override {
        for (SkinUI::CControlUI* c : m_items) std::unique_ptr<SkinUI::CControlUI> owned(c);
    }
    void* GetInterface(const wchar_t* name) override {
        if (std::wcscmp(name, L"IContainer") == 0) return static_cast<SkinUI::IContainerUI*>(this);
        return SkinUI::CControlUI::GetInterface(name);
    }
    SkinUI::CControlUI* GetItemAt(int i) const override {
        return i >= 0 && i < GetCount() ? m_items[static_cast<size_t>(i)] : nullptr;
    }
    int GetItemIndex(SkinUI::CControlUI*) const override { return -1; }
    bool SetItemIndex(SkinUI::CControlUI*, int) override { return false; }
    int GetCount() const override { return static_cast<int>(m_items.size()); }
    bool Add(SkinUI::CControlUI* c) override {
        m_items.push_back(c);
        return true;
    }
    bool AddAt(SkinUI::CControlUI*, int) override { return false; }
    bool Remove(SkinUI::CControlUI*) override { return false; }
    bool RemoveAt(int) override { return false; }
    void RemoveAll() override {}

private:
    std::vector<SkinUI::CControlUI*> m_items;
};

class BenchCallback : public SkinUI::IDialogBuilderCallback {
public:
    SkinUI::CControlUI* CreateControl(const wchar_t* tag) override {
        if (std::wcscmp(tag, L"VerticalLayout") == 0 || std::wcscmp(tag, L"HorizontalLayout") == 0)
            return new BenchLayout();
        return nullptr;
    }
};

// A window skin of `controls` controls: rows of five under one layout, with defaults.
std::wstring TreeSkin(int controls) {
    std::wstring skin = L"<Window size=\"800,600\">\r\n"
                        L"<Default name=\"Control\" value=\"height=&quot;24&quot; bkcolor=&quot;#FFEEEEEE&quot;\"/>\r\n"
                        L"<VerticalLayout name=\"root\" padding=\"4,4,4,4\">\r\n";
    int made = 1;
    for (int row = 0; made < controls; ++row) {
        skin += L"  <HorizontalLayout name=\"row" + std::to_wstring(row) + L"\" height=\"24\">\r\n";
        ++made;
        for (int i = 0; i < 5 && made < controls; ++i, ++made)
            skin += L"    <Control name=\"c" + std::to_wstring(made) + L"\" text=\"item " + std::to_wstring(made) +
                    L"\" width=\"60\" tooltip=\"tip\" padding=\"1,1,1,1\"/>\r\n";
        skin += L"  </HorizontalLayout>\r\n";
    }
    skin += L"</VerticalLayout>\r\n</Window>\r\n";
    return skin;
}

// Reads every element's name and every attribute's name and value, as the dialog builder does.
size_t Walk(const SkinUI::CXmlNode& first) {
    size_t seen = 0;
    for (SkinUI::CXmlNode n = first; n.IsValid(); n = n.GetSibling()) {
        seen += n.GetName()[0];
        const int count = n.GetAttributeCount();
        for (int i = 0; i < count; ++i) seen += n.GetAttributeName(i)[0] + n.GetAttributeValue(i)[0];
        if (n.HasChildren()) seen += Walk(n.GetChild());
    }
    return seen;
}

} // namespace

int main(int argc, char** argv) {
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 4.0;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;

    std::wstring skin = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Window size=\"800,600\">\r\n";
    int counter = 0;
    while (skin.size() * sizeof(wchar_t) < megabytes * 1024 * 1024) AppendLayout(skin, 1, counter);
    skin += L"</Window>\r\n";
    const double mb = static_cast<double>(skin.size() * sizeof(wchar_t)) / (1024.0 * 1024.0);
    const size_t units = skin.size() + 1;

    // Each round measures every step once, so that all of them see the same machine load; the
    // ratios are of the medians. Every step runs on a document that loaded before (it keeps its
    // record arrays and text buffer, as one that loads several skins does) and on a fresh one,
    // which also pays for first touching them (under Wine here about 2 us a page).
    enum Step { kParse, kParseFresh, kLoad, kLoadFresh, kWalk, kWalkFresh, kSteps };
    size_t sink = 0;
    std::vector<double> scan, times[kSteps];
    SkinUI::CXmlDocument reused;
    const auto copyOfSkin = [&] {
        std::unique_ptr<wchar_t[]> copy(new wchar_t[units]);
        std::memcpy(copy.get(), skin.c_str(), units * sizeof(wchar_t));
        return copy;
    };
    // The last round's text goes before the clock starts: a tiny text takes its place.
    const auto dropText = [&] { reused.LoadFromBuffer(std::unique_ptr<wchar_t[]>(new wchar_t[1]{0}), 0); };
    bool ok = true;
    for (int r = 0; r < rounds; ++r) {
        // Baseline: wcslen over the same text.
        double t0 = bench::Seconds();
        sink += std::wcslen(skin.c_str() + (r & 1));
        scan.push_back(bench::Seconds() - t0);

        for (const bool fresh : {false, true}) {
            // The parse in place, of a copy made beforehand.
            auto fresh1 = std::make_unique<SkinUI::CXmlDocument>();
            SkinUI::CXmlDocument& doc = fresh ? *fresh1 : reused;
            dropText();
            std::unique_ptr<wchar_t[]> copy = copyOfSkin();
            t0 = bench::Seconds();
            ok = doc.LoadFromBuffer(std::move(copy), units - 1) && ok;
            times[fresh ? kParseFresh : kParse].push_back(bench::Seconds() - t0);

            // The same parse followed by reading every element's name and attributes.
            auto fresh2 = std::make_unique<SkinUI::CXmlDocument>();
            SkinUI::CXmlDocument& walked = fresh ? *fresh2 : reused;
            dropText();
            copy = copyOfSkin();
            t0 = bench::Seconds();
            ok = walked.LoadFromBuffer(std::move(copy), units - 1) && ok;
            sink += Walk(walked.GetRoot());
            times[fresh ? kWalkFresh : kWalk].push_back(bench::Seconds() - t0);

            // A load: the copy of the text into the document, then the parse.
            auto fresh3 = std::make_unique<SkinUI::CXmlDocument>();
            SkinUI::CXmlDocument& loaded = fresh ? *fresh3 : reused;
            t0 = bench::Seconds();
            ok = loaded.LoadFromText(skin.c_str()) && ok;
            times[fresh ? kLoadFresh : kLoad].push_back(bench::Seconds() - t0);
        }
    }
    if (!ok) {
        std::printf("parse failed: %ls\n", reused.GetLastErrorMessage());
        return 1;
    }
    reused.LoadFromText(skin.c_str());
    int elements = 0;
    for (SkinUI::CXmlNode n = reused.GetRoot().GetChild(); n.IsValid(); n = n.GetSibling()) ++elements;

    const double base = Median(scan);
    std::printf("skin: %.2f MB UTF-16, %d top-level layouts, %d controls; medians of %d rounds\n", mb, elements,
                counter, rounds);
    std::printf("wcslen                                       %8.1f MB/s\n", mb / base);
    const struct {
        const char* name;
        Step step;
        double goal;  // 0: for information
    } lines[] = {
        {"parse in place", kParse, 2.5},
        {"load (copy + parse)", kLoad, 4.0},
        {"parse + every name and attribute", kWalk, 4.0},
        {"parse in place, fresh document", kParseFresh, 0},
        {"load, fresh document", kLoadFresh, 0},
        {"parse + every name and attribute, fresh doc.", kWalkFresh, 0},
    };
    for (const auto& line : lines) {
        const double median = Median(times[line.step]);
        const double ratio = median / base;
        std::printf("%-44s %8.1f MB/s  ratio to wcslen %.2f", line.name, mb / median, ratio);
        if (line.goal > 0)
            std::printf(" (goal %.1f%s)", line.goal, ratio <= line.goal ? "" : ", OVER");
        std::printf("\n");
    }

    // Building a window's tree: parse plus creating and configuring 1000 controls.
    const std::wstring treeSkin = TreeSkin(1000);
    BenchCallback callback;
    double buildBest = 1e9, treeParseBest = 1e9, t0 = 0;
    // The builder works for a window's host, as in the program (a hidden window will do).
    struct Window {
        HWND hWnd = ::CreateWindowW(L"STATIC", L"bench", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        ~Window() { ::DestroyWindow(hWnd); }
    } window;
    for (int r = 0; r < rounds; ++r) {
        SkinUI::CWindowHostUI host;
        host.Init(window.hWnd);
        t0 = bench::Seconds();
        SkinUI::CXmlDocument parsedOnly(treeSkin.c_str());
        treeParseBest = std::min(treeParseBest, bench::Seconds() - t0);
        SkinUI::CDialogBuilder builder;
        t0 = bench::Seconds();
        std::unique_ptr<SkinUI::CControlUI> root(builder.Create(treeSkin.c_str(), nullptr, &callback, &host));
        buildBest = std::min(buildBest, bench::Seconds() - t0);
        if (!root) {
            std::printf("build failed\n");
            return 1;
        }
    }
    double noHostBest = 1e9;
    for (int r = 0; r < rounds; ++r) {
        SkinUI::CDialogBuilder builder;
        t0 = bench::Seconds();
        std::unique_ptr<SkinUI::CControlUI> root(builder.Create(treeSkin.c_str(), nullptr, &callback, nullptr));
        noHostBest = std::min(noHostBest, bench::Seconds() - t0);
    }
    std::printf("build a tree of 1000 controls for a window host: %8.3f ms (%.2f us per control; parsing %.1f%%)\n",
                buildBest * 1000.0, buildBest * 1e6 / 1000.0, 100.0 * treeParseBest / buildBest);
    std::printf("the same tree without a host (builder alone):    %8.3f ms (%.2f us per control; parsing %.1f%%)\n",
                noHostBest * 1000.0, noHostBest * 1e6 / 1000.0, 100.0 * treeParseBest / noHostBest);
    std::printf("  (the difference is the controls' attribute setters invalidating the window)\n");
    return sink == 0 ? 2 : 0;
}
