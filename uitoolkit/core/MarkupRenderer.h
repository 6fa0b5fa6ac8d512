#pragma once
// CMarkupRenderer: one run of CRenderKit::DrawMarkedUpText. It reads a text with inline tags
// (fonts, colours, links, images, paragraphs, selection, raw runs, offsets, line heights),
// wraps it into a rectangle and either draws it or, with DT_CALCRECT, measures it. While
// measuring it records the rectangles and texts of the links, up to the caller's capacity.
//
// Drawing handles every line twice: a measuring pass finds the line's height (text of mixed
// sizes shares the line's bottom), then the state is put back to the line's start and a drawing
// pass draws it. Only what can show is handed to the system: runs and spaces beside the visible
// area are not drawn, and a long run is given in parts around what shows (see CRunCuts).
#include <windows.h>

#include <vector>

#include "uitoolkit/core/FontEntry.h"
#include "uitoolkit/core/LineStack.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CWindowHostUI;

class CMarkupRenderer {
public:
    // linkCapacity: the slots of both link arrays; a null array means no slot at all.
    CMarkupRenderer(HDC hDC, CWindowHostUI* host, RECT& rc, DWORD color, RECT* linkRects,
                    CUIString* linkTexts, int linkCapacity, UINT format);
    CMarkupRenderer(const CMarkupRenderer&) = delete;
    CMarkupRenderer& operator=(const CMarkupRenderer&) = delete;

    // Draws or measures the text; returns how many link slots were filled.
    int Run(const wchar_t* text);

private:
    // What a line's drawing pass starts from again after its measuring pass.
    struct LineState {
        const wchar_t* p = nullptr;
        bool inLink = false;
        bool inRaw = false;
        bool inSelection = false;
        int linkIndex = 0;
        CUIString linkText;
    };

    enum class Step;

    // Reads one line from m_p: the drawing pass outputs, the measuring pass records links.
    void ReadLine(bool drawPass);
    // One tag, space, escape or run at m_p.
    Step ReadToken();
    Step OpenTag(wchar_t letter, const CUIString& param);
    Step CloseTag(wchar_t letter);
    // A text run starting at m_p (its first unit always belongs to it). `literal` stands for a
    // one-unit text printed for `sourceUnits` units of the source (the escapes).
    Step ReadRun(const wchar_t* literal = nullptr, int sourceUnits = 0);
    // An "i" tag with an image name: one frame of an image strip.
    Step ReadImage(const CUIString& param);

    // The end of a measuring pass: an open link's part on this line, the line's link bottoms.
    void FinishMeasuredLine();
    // Marks the stacks: the line's state to come back to.
    LineState SaveLine();
    void RestoreLine(const LineState& state);

    // Font and colour stacks; the current font and text colour follow their tops.
    void PushFont(FontEntry* entry);
    void PopFont();
    void SelectFont(FontEntry* entry);
    FontEntry* FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    // The current font with one more style; the current font itself when it has it already.
    FontEntry* StyledFont(bool bold, bool underline, bool italic);
    // The font an "f" tag names: a host font index, or face, size and style words.
    FontEntry* ParamFont(const CUIString& param);
    void PushColor(DWORD color);
    void PopColor();
    void ApplySelectionMode();

    void RaiseLineHeight(int height);
    int FontLineHeight() const { return m_tm.tmHeight + m_tm.tmExternalLeading; }
    int ParagraphSpacing() const { return m_paragraphs.empty() ? 0 : m_paragraphs.back(); }
    // Where text of the current font starts so that it sits on the line's bottom.
    int TextTop() const;
    // Whether anything the current line draws may fall inside the visible area.
    bool LineMeets() const;
    bool AtLeftEdge() const { return m_x <= m_rc.left; }
    // Whether a span of the given width at m_x may show, its glyphs' overhang allowed for.
    bool SpanMeets(long long width) const;
    // Draws the first `length` units of a run at m_x and `top` as one TextOutW would; their
    // prefix widths are in m_prefixWidths.
    void DrawRun(int top, const wchar_t* text, int length);
    // How far glyphs of the current font may reach past their cells, across the line or along it.
    long long GlyphMargin() const;
    void Advance(long long dx);

    HDC m_hDC;
    CWindowHostUI* m_host;
    RECT& m_rc;
    DWORD m_defaultColor;
    RECT* m_linkRects;
    CUIString* m_linkTexts;
    int m_linkCapacity;
    UINT m_format;
    bool m_drawing;          // drawing (else measuring: DT_CALCRECT)
    bool m_drawPass = false;  // this pass outputs; the other one measures and records links
    bool m_anyVisible = false;  // drawing and the clip lets something through
    RECT m_visible{};           // the clip's bounds while drawing

    const wchar_t* m_p = nullptr;
    FontEntry* m_defaultFont = nullptr;
    FontEntry* m_font = nullptr;
    TEXTMETRICW m_tm{};
    int m_spaceWidth = -1;  // of the current font, once asked for (-1: not yet)
    CLineStack<FontEntry*> m_fonts;
    CLineStack<DWORD> m_colors;
    CLineStack<int> m_paragraphs;

    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0;
    int m_lineTallest = 0;  // the tallest font or picture the line holds
    long long m_lineGlyphMargin = 0;  // the largest GlyphMargin of the fonts the line holds
    bool m_lockLineHeight = false;  // the drawing pass keeps the measured height
    int m_maxX = 0;
    int m_imageBottom = 0;

    bool m_inLink = false;
    bool m_inRaw = false;
    bool m_inSelection = false;
    int m_linkIndex = 0;
    int m_lineFirstLink = 0;
    POINT m_linkStart = {0, 0};
    CUIString m_linkText;   // the open link's text
    CUIString m_hoverLink;  // the text of the link under the mouse

    std::vector<int> m_prefixWidths;  // a run's measured prefix widths, kept for the next run
};

} // namespace SkinUI
