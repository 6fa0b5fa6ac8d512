// Setting a long text into the rich edit against the system's windowed rich edit ("RichEdit20W"
// of "Riched20.dll") doing the same, measured in the same run: select all and replace, up to the
// end of the first paint, into an empty control whose vertical bar is hidden, so that the text's
// overflow brings the bar up. Texts of 100 KB and 1 MB, as many short lines and as one line.
// Prints the ratio of the medians (the rich edit's time over the system control's) and where
// each control's view ends up (the first visible line of all lines). The goal is a ratio of at
// most 1.2 in every case. Run by hand:
//   wine RichEditSetTextBench.exe [rounds=5]
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "kit/HostWindow.h"
#include "kit/Pump.h"
#include "uitoolkit/core/DialogBuilder.h"
#include "uitoolkit/core/RichEditUI.h"

namespace {

constexpr double kGoal = 1.2;
constexpr int kWidth = 640;
constexpr int kHeight = 400;

// Words of varying length from a fixed sequence: the same text in every run.
std::wstring MakeText(size_t length, bool oneLine)
{
    static const wchar_t* const kWords[] = {L"the", L"launcher", L"signs", L"a", L"player's", L"account", L"in",
                                            L"through", L"single-sign-on", L"library", L"and", L"remembers",
                                            L"accounts", L"used", L"on", L"this", L"machine"};
    std::wstring text;
    text.reserve(length + 32);
    size_t lineStart = 0;
    for (unsigned i = 0; text.size() < length; i = i * 7 + 3) {
        text += kWords[i % (sizeof(kWords) / sizeof(kWords[0]))];
        if (!oneLine && text.size() - lineStart > 70) {
            text += L"\r\n";
            lineStart = text.size();
        } else {
            text += L' ';
        }
    }
    text.resize(length);
    return text;
}

// Paints whatever waits in the window (and any paint that one asks for) now.
void PaintNow(HWND hWnd)
{
    for (int i = 0; i < 8 && ::GetUpdateRect(hWnd, nullptr, FALSE); ++i)
        ::UpdateWindow(hWnd);
}

struct Where {
    LRESULT first = 0, lines = 0;
};

class ToolkitEdit {
public:
    bool Open()
    {
        if (!m_win.Open(nullptr, kWidth, kHeight))
            return false;
        SkinUI::CDialogBuilder builder;
        SkinUI::CControlUI* root = builder.Create(
            L"<Window><Font name=\"Arial\" size=\"16\"/><Container bkcolor=\"#FFFFFFFF\">"
            L"<RichEdit name=\"re\" vscrollbar=\"true\" autovscroll=\"true\"/></Container></Window>",
            nullptr, nullptr, m_win.Host());
        if (root == nullptr || !m_win.Host()->AttachRoot(root))
            return false;
        SkinUI::CControlUI* control = m_win.Host()->FindControlByName(L"re");
        m_edit = control != nullptr ? static_cast<SkinUI::CRichEditUI*>(control->GetInterface(L"RichEdit")) : nullptr;
        if (m_edit == nullptr || m_edit->GetTextHost() == nullptr || !m_win.Layout())
            return false;
        m_edit->TxSendMessage(EM_EXLIMITTEXT, 0, 0x7FFFFFFF, nullptr);
        return true;
    }
    HFONT Font() const { return m_win.Host()->GetFont(-1); }
    void Set(const std::wstring& text)
    {
        m_edit->SetText(text.c_str());
        PaintNow(m_win.Hwnd());
    }
    Where View()
    {
        Where where;
        m_edit->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &where.first);
        m_edit->TxSendMessage(EM_GETLINECOUNT, 0, 0, &where.lines);
        return where;
    }

private:
    kit::HostWindow m_win;
    SkinUI::CRichEditUI* m_edit = nullptr;
};

// The system control, a child filling a popup of the same size, its bar shown only on overflow.
class SystemEdit {
public:
    ~SystemEdit()
    {
        if (m_frame != nullptr)
            ::DestroyWindow(m_frame);
        if (m_module != nullptr)
            ::FreeLibrary(m_module);
    }
    bool Open(HFONT font)
    {
        m_module = ::LoadLibraryW(L"Riched20.dll");
        m_frame = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, kit::HostWindow::kScreenX,
                                    kit::HostWindow::kScreenY + kHeight + 20, kWidth, kHeight, nullptr, nullptr,
                                    nullptr, nullptr);
        m_edit = ::CreateWindowExW(0, L"RichEdit20W", L"",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, kWidth,
                                   kHeight, m_frame, nullptr, nullptr, nullptr);
        if (m_edit == nullptr)
            return false;
        ::SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SendMessageW(m_edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
        kit::Drain();
        return true;
    }
    void Set(const std::wstring& text)
    {
        ::SendMessageW(m_edit, EM_SETSEL, 0, -1);
        ::SendMessageW(m_edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
        PaintNow(m_edit);
    }
    Where View() const
    {
        return Where{::SendMessageW(m_edit, EM_GETFIRSTVISIBLELINE, 0, 0), ::SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0)};
    }

private:
    HMODULE m_module = nullptr;
    HWND m_frame = nullptr;
    HWND m_edit = nullptr;
};

template <class Edit>
double TimeSet(Edit& edit, const std::wstring& text)
{
    const double t0 = bench::Seconds();
    edit.Set(text);
    return bench::Seconds() - t0;
}

// One round on a fresh pair of empty controls (emptying a long text costs the system's text
// services far more than setting it), in the order given. The views end up in `where`.
void Round(const std::wstring& text, bool oursFirst, std::vector<double>& oursTimes, std::vector<double>& systemTimes,
           Where where[2])
{
    ToolkitEdit ours;
    SystemEdit system;
    if (!ours.Open() || !system.Open(ours.Font())) {
        std::printf("could not open the two rich edits\n");
        std::exit(2);
    }
    if (oursFirst)
        oursTimes.push_back(TimeSet(ours, text));
    systemTimes.push_back(TimeSet(system, text));
    if (!oursFirst)
        oursTimes.push_back(TimeSet(ours, text));
    where[0] = ours.View();
    where[1] = system.View();
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    bool met = true;
    for (const size_t length : {size_t{100} * 1024, size_t{1024} * 1024}) {
        for (const bool oneLine : {false, true}) {
            const std::wstring text = MakeText(length, oneLine);
            std::vector<double> oursTimes, systemTimes;
            Where where[2];
            // Alternating, so that a load on the machine falls on both alike.
            for (int r = 0; r < rounds; ++r)
                Round(text, r % 2 == 0, oursTimes, systemTimes, where);
            const double a = bench::Median(oursTimes);
            const double b = bench::Median(systemTimes);
            const double ratio = a / b;
            met = met && ratio <= kGoal;
            std::printf("%5zu KB %-9s rich edit %8.1f ms, system %8.1f ms, ratio %.2f (at most %.1f); "
                        "first visible line: rich edit %ld of %ld, system %ld of %ld\n",
                        length / 1024, oneLine ? "one line" : "lines", a * 1000.0, b * 1000.0, ratio, kGoal,
                        static_cast<long>(where[0].first), static_cast<long>(where[0].lines),
                        static_cast<long>(where[1].first), static_cast<long>(where[1].lines));
            std::fflush(stdout);
        }
    }
    std::printf("%s\n", met ? "within the goal: yes" : "within the goal: NO");
    return met ? 0 : 1;
}
