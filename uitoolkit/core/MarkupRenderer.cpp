#include "uitoolkit/core/MarkupRenderer.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "uitoolkit/core/ClipGuard.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/ImageStringReader.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/RunCuts.h"
#include "uitoolkit/core/SaturatingInt.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

bool IsOpener(wchar_t c) { return c == L'<' || c == L'{'; }
bool IsCloser(wchar_t c) { return c == L'>' || c == L'}'; }
bool IsLowerLetter(wchar_t c) { return c >= L'a' && c <= L'z'; }
bool IsAsciiLetter(wchar_t c) { return IsLowerLetter(c) || (c >= L'A' && c <= L'Z'); }
bool IsBlank(wchar_t c) { return c != L'\0' && c <= L' '; }

// Past the first closing bracket at or after p (either bracket closes either opener), or the
// terminator when there is none.
const wchar_t* PastCloser(const wchar_t* p)
{
    while (*p != L'\0' && !IsCloser(*p)) ++p;
    return *p != L'\0' ? p + 1 : p;
}

// The raw run's own closing tag: "</r" or "{/r".
bool IsRawEnd(const wchar_t* p) { return IsOpener(p[0]) && p[1] == L'/' && p[2] == L'r'; }

// A leading decimal number after blanks; `p` moves past it. 0 when there is none.
long ReadDecimal(const wchar_t*& p)
{
    while (IsBlank(*p)) ++p;
    wchar_t* end = nullptr;
    const long value = std::wcstol(p, &end, 10);
    p = end;
    return value;
}

// The escapes that print one literal bracket: three source units, one printed unit.
struct Escape {
    wchar_t open;
    wchar_t middle;
    wchar_t close;
    const wchar_t* text;
};

const Escape kEscapes[] = {
    {L'<', L'{', L'>', L"{"},
    {L'<', L'}', L'>', L"}"},
    {L'{', L'<', L'}', L"<"},
    {L'{', L'>', L'}', L">"},
};

int TextWidth(HDC hDC, const wchar_t* text, int length)
{
    SIZE size{0, 0};
    if (length > 0) ::GetTextExtentPoint32W(hDC, text, length, &size);
    return size.cx;
}

// The largest font size an "f" tag gets: glyphs of fonts far taller than any screen take the
// system seconds to draw, and no text needs them.
constexpr int kMaxTagFontSize = 1000;

// The widths of a run's first units in the selected font, measured a stretch at a time: a
// query past what was measured measures a stretch at least twice as long (when the run may go
// on), so however long the run, the cost stays in proportion to the units asked for. Stretches
// never reach past the text's terminator. Every measure costs the system as much as a dozen
// units more, and a narrow rectangle asks for one unit a line: the first stretch is short.
class CRunExtents {
public:
    CRunExtents(HDC hDC, const wchar_t* text, std::vector<int>& widths)
        : m_hDC(hDC), m_text(text), m_widths(widths)
    {
    }

    // The width of the first `units` units; `goesOn`: the run may be longer than that.
    int Width(int units, bool goesOn)
    {
        if (units <= 0) return 0;
        if (units > m_measured) {
            int want = goesOn ? std::max({units + 1, 2 * units, 2 * m_measured}) : units;
            int available = units;
            while (available < want && m_text[available] != L'\0') ++available;
            want = available;
            m_widths.resize(static_cast<size_t>(want));
            SIZE size{0, 0};
            if (!::GetTextExtentExPointW(m_hDC, m_text, want, 0, nullptr, m_widths.data(), &size))
                std::fill(m_widths.begin(), m_widths.end(), 0);
            m_measured = want;
        }
        return m_widths[static_cast<size_t>(units) - 1];
    }

private:
    HDC m_hDC;
    const wchar_t* m_text;
    std::vector<int>& m_widths;
    int m_measured = 0;
};

// Text output at the device context's current position, which each output moves past what it
// drew, by the widths the system drew with; alignment and position are put back afterwards.
class CTextCursor {
public:
    CTextCursor(HDC hDC, int x, int y) : m_hDC(hDC), m_align(::GetTextAlign(hDC))
    {
        ::MoveToEx(hDC, x, y, &m_oldPosition);
        ::SetTextAlign(hDC, m_align | TA_UPDATECP);
    }
    ~CTextCursor()
    {
        ::SetTextAlign(m_hDC, m_align);
        ::MoveToEx(m_hDC, m_oldPosition.x, m_oldPosition.y, nullptr);
    }
    CTextCursor(const CTextCursor&) = delete;
    CTextCursor& operator=(const CTextCursor&) = delete;

    int X() const
    {
        POINT position{0, 0};
        ::GetCurrentPositionEx(m_hDC, &position);
        return position.x;
    }

private:
    HDC m_hDC;
    UINT m_align;
    POINT m_oldPosition{0, 0};
};

} // namespace

// How reading goes on after one token.
enum class CMarkupRenderer::Step {
    Go,         // the line goes on
    EndAfter,   // the line ends after the token
    EndBefore,  // the line ends before the token, which the next line reads again
};

CMarkupRenderer::CMarkupRenderer(HDC hDC, CWindowHostUI* host, RECT& rc, DWORD color,
                                 RECT* linkRects, CUIString* linkTexts, int linkCapacity, UINT format)
    : m_hDC(hDC),
      m_host(host),
      m_rc(rc),
      m_defaultColor(color),
      m_linkRects(linkRects),
      m_linkTexts(linkTexts),
      m_linkCapacity(linkRects != nullptr && linkTexts != nullptr ? std::max(linkCapacity, 0) : 0),
      m_format(format),
      m_drawing((format & DT_CALCRECT) == 0)
{
}

int CMarkupRenderer::Run(const wchar_t* text)
{
    // 1. Clip to the rectangle while drawing; the default font, colours and background mode.
    CClipGuard clip;
    if (m_drawing) CClipGuard::ClipToRect(m_hDC, m_rc, clip);
    m_defaultFont = m_host->GetDefaultFontEntry();
    CSelectObject restoreFont(m_hDC, m_defaultFont->hFont);
    SelectFont(m_defaultFont);
    ::SetBkMode(m_hDC, TRANSPARENT);
    ::SetTextColor(m_hDC, ArgbToColorRef(m_defaultColor));
    ::SetBkColor(m_hDC, ArgbToColorRef(m_host->GetSelectedColor()));

    // 2. A single line is measured first and then placed by the alignment flags.
    if (m_drawing && (m_format & DT_SINGLELINE) != 0) {
        RECT measured = {0, 0, 9999, 100};
        CMarkupRenderer(m_hDC, m_host, measured, m_defaultColor, nullptr, nullptr, 0,
                        m_format | DT_CALCRECT)
            .Run(text);
        SelectFont(m_defaultFont);
        const int width = measured.right - measured.left;
        const int height = measured.bottom - measured.top;
        if ((m_format & DT_VCENTER) != 0) {
            m_rc.top = ClampToInt(m_rc.top + (static_cast<long long>(m_rc.bottom) - m_rc.top) / 2 - height / 2);
            m_rc.bottom = ClampedSum(m_rc.top, height);
        }
        if ((m_format & DT_CENTER) != 0) {
            m_rc.left = ClampToInt(m_rc.left + (static_cast<long long>(m_rc.right) - m_rc.left) / 2 - width / 2);
            m_rc.right = ClampedSum(m_rc.left, width);
        } else if ((m_format & DT_RIGHT) != 0) {
            m_rc.left = ClampedDifference(m_rc.right, width);
        }
    }

    // 3. The link under the mouse, from the rectangles of the caller's last drawing.
    const POINT mouse = m_host->GetMousePos();
    for (int i = 0; i < m_linkCapacity; ++i) {
        if (::PtInRect(&m_linkRects[i], mouse)) {
            m_hoverLink = m_linkTexts[i];
            break;
        }
    }

    // 4. Line by line: measure (and record links), then draw the same line again, unless
    //    nothing of it can show: a line wholly above or below what the clip lets through is
    //    read once only. (The measuring pass leaves the state the drawing pass would.)
    m_anyVisible = m_drawing && ::GetClipBox(m_hDC, &m_visible) != NULLREGION;
    m_p = text;
    m_x = m_maxX = m_rc.left;
    m_y = m_rc.top;
    m_linkStart = {m_x, m_y};
    m_lineHeight = FontLineHeight();
    for (;;) {
        const LineState start = SaveLine();
        m_lineTallest = FontLineHeight();
        m_lineGlyphMargin = GlyphMargin();
        ReadLine(false);
        FinishMeasuredLine();
        if (m_anyVisible && LineMeets()) {
            RestoreLine(start);
            m_x = m_rc.left;
            m_lockLineHeight = true;
            ReadLine(true);
            m_lockLineHeight = false;
            if (m_inLink && m_linkIndex < m_linkCapacity) ++m_linkIndex;
        }
        m_lineFirstLink = m_linkIndex;
        // Every line consumes something, whatever the text holds.
        if (m_p == start.p && *m_p != L'\0') ++m_p;
        if (*m_p == L'\0' || (m_format & DT_SINGLELINE) != 0) break;
        m_x = m_rc.left;
        m_y = ClampedSum(m_y, m_lineHeight);
        if (m_drawing && m_y >= m_rc.bottom) break;
        // Nothing further down can show and no link slot is left to fill: the rest is not read.
        if (m_drawing && m_linkIndex >= m_linkCapacity && (!m_anyVisible || m_y >= m_visible.bottom)) break;
        m_linkStart = {m_x, m_y};
        m_lineHeight = ClampedSum(ParagraphSpacing(), FontLineHeight());
    }

    // 5. The measured size.
    if (!m_drawing) {
        m_rc.bottom = std::max(m_imageBottom, ClampedSum(m_y, m_lineHeight));
        m_rc.right = std::min<LONG>(m_rc.right, m_maxX);
    }
    return m_linkIndex;
}

bool CMarkupRenderer::LineMeets() const
{
    // Everything on a line sits on its bottom, at most the line's tallest item high; the ellipsis
    // hangs from its top. Glyphs may reach past their cells by the margin of the line's fonts.
    const long long bottom = static_cast<long long>(m_y) + m_lineHeight;
    const long long top = std::min<long long>(m_y, bottom - m_lineTallest);
    const long long margin = m_lineGlyphMargin;
    return top - margin < m_visible.bottom &&
           std::max<long long>(bottom, static_cast<long long>(m_y) + m_lineTallest) + margin > m_visible.top;
}

long long CMarkupRenderer::GlyphMargin() const
{
    // Slanted, overhanging and combining glyphs, and glyphs of fonts standing in for this one,
    // stay within a few character cells of their own.
    return 2 * (static_cast<long long>(std::max<LONG>(m_tm.tmMaxCharWidth, 0)) + std::max<LONG>(m_tm.tmHeight, 0) +
                std::max<LONG>(m_tm.tmOverhang, 0));
}

bool CMarkupRenderer::SpanMeets(long long width) const
{
    const long long margin = GlyphMargin();
    return m_anyVisible && m_x - margin < m_visible.right && m_x + width + margin > m_visible.left;
}

void CMarkupRenderer::DrawRun(int top, const wchar_t* text, int length)
{
    // The parts the system is handed at most, where the text can be cut: it reorders text with
    // right-to-left letters at a cost far above the text's length.
    constexpr int kMaxPart = 256;
    const auto prefix = [&](int units) -> long long {
        return units > 0 ? m_prefixWidths[static_cast<size_t>(units) - 1] : 0LL;
    };
    const long long x = m_x;
    const long long margin = GlyphMargin();
    const long long left = static_cast<long long>(m_visible.left) - margin;
    const long long right = static_cast<long long>(m_visible.right) + margin;
    if (length <= 0 || !m_anyVisible || x >= right) return;
    if (length <= kMaxPart) {
        if (x + prefix(length) > left) ::TextOutW(m_hDC, m_x, top, text, length);
        return;
    }
    const CRunCuts cuts(text, length);

    if (cuts.Reorders()) {
        // Its glyphs are placed by their shaped widths: the parts go one after the other from the
        // run's start, each where the system left the one before, until past what shows.
        // (Selected, each part fills its own cells, which may cover the tip of a slanted glyph
        // just before a cut.)
        CTextCursor cursor(m_hDC, m_x, top);
        for (int from = 0; from < length && cursor.X() < right;) {
            const int to = cuts.PartEnd(from, length, kMaxPart);
            ::TextOutW(m_hDC, 0, 0, text + from, to - from);
            from = to;
        }
        return;
    }

    // 1. Glyph after glyph: the units wholly beside the visible area are left out, up to the cuts
    //    nearest to it.
    if (x + prefix(length) <= left) return;
    int first = 0;
    for (int i = 1; i <= length && x + prefix(i) <= left; ++i)
        if (cuts.IsCut(i)) first = i;
    int last = length;
    for (int i = length - 1; i > first && x + prefix(i) >= right; --i)
        if (cuts.IsCut(i)) last = i;

    // 2. What remains, in parts. Selected text fills its cells first, so a part would cover the
    //    overhang of the glyphs before it: selected text goes as one.
    const bool selected = m_inSelection;
    for (int from = first; from < last;) {
        const int to = selected ? last : cuts.PartEnd(from, last, kMaxPart);
        ::TextOutW(m_hDC, ClampToInt(x + prefix(from)), top, text + from, to - from);
        from = to;
    }
}

int CMarkupRenderer::TextTop() const
{
    return ClampedSum(m_y, static_cast<long long>(m_lineHeight) - FontLineHeight());
}

void CMarkupRenderer::ReadLine(bool drawPass)
{
    m_drawPass = drawPass;
    while (*m_p != L'\0') {
        if (ReadToken() != Step::Go) return;
        if (m_x >= m_rc.right) return;
    }
}

CMarkupRenderer::Step CMarkupRenderer::ReadToken()
{
    const wchar_t* p = m_p;
    if (m_inRaw) {
        if (!IsRawEnd(p)) return ReadRun();
        m_inRaw = false;
        m_p = PastCloser(p + 3);
        return Step::Go;
    }
    if (*p == L'\n') {
        m_p = p + 1;
        return Step::EndAfter;
    }
    if (*p == L' ') {
        if (m_spaceWidth < 0) m_spaceWidth = TextWidth(m_hDC, L" ", 1);
        const int width = m_spaceWidth;
        if (m_drawPass && SpanMeets(width)) ::TextOutW(m_hDC, m_x, TextTop(), L" ", 1);
        Advance(width);
        m_p = p + 1;
        return Step::Go;
    }
    if (!IsOpener(*p)) return ReadRun();

    for (const Escape& escape : kEscapes) {
        if (p[0] == escape.open && p[1] == escape.middle && p[2] == escape.close)
            return ReadRun(escape.text, 3);
    }
    if (p[1] == L'/' && IsAsciiLetter(p[2])) {
        const wchar_t* next = PastCloser(p + 3);
        const Step step = CloseTag(p[2]);
        if (step != Step::EndBefore) m_p = next;
        return step;
    }
    if (IsLowerLetter(p[1]) && (p[2] == L' ' || IsCloser(p[2]))) {
        const wchar_t* param = p + 2;
        while (IsBlank(*param)) ++param;
        const wchar_t* end = param;
        while (*end != L'\0' && !IsCloser(*end)) ++end;
        const CUIString text(param, static_cast<int>(end - param));
        const wchar_t* next = *end != L'\0' ? end + 1 : end;
        const Step step = OpenTag(p[1], text);
        if (step != Step::EndBefore) m_p = next;
        return step;
    }
    // A bracket that starts no tag is text.
    return ReadRun();
}

CMarkupRenderer::Step CMarkupRenderer::OpenTag(wchar_t letter, const CUIString& param)
{
    const wchar_t* number = param.GetData();
    switch (letter) {
    case L'a': {
        if (!m_drawPass && m_linkIndex < m_linkCapacity) m_linkTexts[m_linkIndex] = param;
        m_linkText = param;
        const bool hover = !m_hoverLink.IsEmpty() && m_hoverLink == param.GetData();
        PushColor(hover ? m_host->GetLinkHoverFontColor() : m_host->GetLinkFontColor());
        PushFont(StyledFont(false, true, false));
        m_linkStart = {m_x, m_y};
        m_inLink = true;
        return Step::Go;
    }
    case L'b':
        PushFont(StyledFont(true, false, false));
        return Step::Go;
    case L'c':
        if (*number == L'#') ++number;
        // Unsigned: an eight-digit colour keeps its alpha byte whatever its value.
        PushColor(static_cast<DWORD>(std::wcstoul(number, nullptr, 16)));
        return Step::Go;
    case L'f':
        PushFont(ParamFont(param));
        return Step::Go;
    case L'i':
        if (!param.IsEmpty()) return ReadImage(param);
        PushFont(StyledFont(false, false, true));
        return Step::Go;
    case L'n':
        return (m_format & DT_SINGLELINE) != 0 ? Step::Go : Step::EndAfter;
    case L'p': {
        // A paragraph starts on a line of its own; the tag is read again there.
        if (!AtLeftEdge()) return Step::EndBefore;
        const int spacing = static_cast<int>(ReadDecimal(number));
        m_paragraphs.push_back(spacing);
        RaiseLineHeight(ClampedSum(FontLineHeight(), spacing));
        return Step::Go;
    }
    case L'r':
        m_inRaw = true;
        return Step::Go;
    case L's':
        m_inSelection = !m_inSelection;
        ApplySelectionMode();
        return Step::Go;
    case L'u':
        PushFont(StyledFont(false, true, false));
        return Step::Go;
    case L'x':
        Advance(static_cast<int>(ReadDecimal(number)));
        return Step::Go;
    case L'y': {
        const int height = static_cast<int>(ReadDecimal(number));
        if (!m_lockLineHeight) m_lineHeight = height;
        return Step::Go;
    }
    default:
        return Step::Go;
    }
}

CMarkupRenderer::Step CMarkupRenderer::CloseTag(wchar_t letter)
{
    switch (letter) {
    case L'a':
        // A closing link tag with no link open closes nothing.
        if (!m_inLink) return Step::Go;
        if (m_linkIndex < m_linkCapacity) {
            if (!m_drawPass)
                m_linkRects[m_linkIndex] = {m_linkStart.x, m_linkStart.y, m_x,
                                            ClampedSum(m_y, FontLineHeight())};
            ++m_linkIndex;
        }
        PopColor();
        m_inLink = false;
        PopFont();
        return Step::Go;
    case L'b':
    case L'f':
    case L'i':
    case L'u':
        PopFont();
        return Step::Go;
    case L'c':
        PopColor();
        return Step::Go;
    case L'p':
        // The paragraph's last line ends here; the next line has the spacing outside it.
        if (!m_paragraphs.empty()) m_paragraphs.pop_back();
        RaiseLineHeight(ClampedSum(ParagraphSpacing(), FontLineHeight()));
        return AtLeftEdge() ? Step::Go : Step::EndAfter;
    case L's':
        m_inSelection = !m_inSelection;
        ApplySelectionMode();
        return Step::Go;
    default:
        return Step::Go;
    }
}

CMarkupRenderer::Step CMarkupRenderer::ReadRun(const wchar_t* literal, int sourceUnits)
{
    const wchar_t* start = literal != nullptr ? literal : m_p;
    const int runX = m_x;
    const long long room = static_cast<long long>(m_rc.right) - m_x;

    // 1. Grow the run character by character while the cheap estimate stays inside the line;
    //    from there on compare its exact width and stop before the first character that passes.
    //    The exact widths of the run's prefixes come from one measure of a stretch of the run
    //    (longer stretches as the run goes on), so a long run is never measured again and again.
    const wchar_t* end = start;
    const wchar_t* breakAfter = nullptr;  // past the last character that is no ASCII letter
    bool atEdge = false;
    long long count = 0;
    const long long maxCharWidth = std::max<long long>(m_tm.tmMaxCharWidth, 1);
    CRunExtents extents(m_hDC, start, m_prefixWidths);
    do {
        const wchar_t* next = ::CharNextW(end);
        if (next == end) break;
        ++count;
        if (maxCharWidth * count >= room && extents.Width(static_cast<int>(next - start), literal == nullptr) > room) {
            atEdge = true;
            break;
        }
        if (!IsAsciiLetter(*end)) breakAfter = next;
        end = next;
    } while (literal == nullptr && *end != L'\0' && *end != L'\n' &&
             !(m_inRaw ? IsRawEnd(end) : IsOpener(*end)));

    // 2. At the edge: a line keeps at least one character; word breaks and the ellipsis cut the
    //    run back, but never below that one character.
    bool ellipsis = false;
    if (atEdge) {
        if (end == start) {
            if (!AtLeftEdge()) return Step::EndBefore;
            end = ::CharNextW(start);
        }
        if ((m_format & DT_WORDBREAK) != 0 && breakAfter != nullptr && breakAfter <= end) end = breakAfter;
        if ((m_format & DT_END_ELLIPSIS) != 0) {
            for (int i = 0; i < 2; ++i) {
                const wchar_t* prev = ::CharPrevW(start, end);
                if (prev == start) break;
                end = prev;
            }
            ellipsis = true;
        }
    }

    // 3. Output, sharing the line's bottom with the other fonts of the line.
    const int length = static_cast<int>(end - start);
    const int width = extents.Width(length, false);
    if (m_drawPass) {
        DrawRun(TextTop(), start, length);
        if (ellipsis) ::TextOutW(m_hDC, ClampedSum(runX, width), m_y, L"...", 3);
    }
    Advance(ellipsis ? room : width);
    m_p = literal != nullptr ? m_p + sourceUnits : end;
    return atEdge ? Step::EndAfter : Step::Go;
}

CMarkupRenderer::Step CMarkupRenderer::ReadImage(const CUIString& param)
{
    // 1. Name, frame count and frame index; an image string names the image in its own items.
    const wchar_t* p = param.GetData();
    const wchar_t* nameEnd = p;
    while (*nameEnd != L'\0' && *nameEnd != L' ') ++nameEnd;
    CUIString name(p, static_cast<int>(nameEnd - p));
    CUIString type;
    const wchar_t* numbers = nameEnd;
    const int frames = std::max(1, static_cast<int>(ReadDecimal(numbers)));
    int frame = static_cast<int>(ReadDecimal(numbers));
    if (frame < 0 || frame >= frames) frame = 0;
    if (param.Find(L"file='") >= 0 || param.Find(L"res='") >= 0) {
        CImageStringReader reader(param.GetData());
        CUIString key, value;
        while (reader.Next(key, value)) {
            if (key == L"file" || key == L"res")
                name = value;
            else if (key == L"restype")
                type = value;
        }
    }
    const ImageEntry* image = m_host->GetOrLoadImage(name, type.IsEmpty() ? nullptr : type.GetData(), 0);
    if (image == nullptr || image->hBitmap == nullptr) return Step::Go;

    // 2. A frame that does not fit starts the next line (unless it is alone on its line).
    const int frameWidth = frames > 1 ? image->width / frames : image->width;
    const int frameHeight = image->height;
    if (static_cast<long long>(m_x) + frameWidth > m_rc.right && !AtLeftEdge() && (m_format & DT_SINGLELINE) == 0)
        return Step::EndBefore;

    // 3. Drawn on the line's bottom, or centred in a taller line.
    if (m_drawPass) {
        const long long lineBottom = static_cast<long long>(m_y) + m_lineHeight;
        RECT dest = {m_x, ClampToInt(lineBottom - frameHeight), ClampedSum(m_x, frameWidth),
                     ClampToInt(lineBottom)};
        if (frameHeight < m_lineHeight) {
            dest.bottom = ClampToInt(lineBottom - (m_lineHeight - frameHeight) / 2);
            dest.top = ClampedDifference(dest.bottom, frameHeight);
        }
        const RECT source = {frame * frameWidth, 0, (frame + 1) * frameWidth, frameHeight};
        CRenderKit::DrawImage(m_hDC, image->hBitmap, dest, m_rc, source, RECT{0, 0, 0, 0}, image->hasAlpha);
    }
    RaiseLineHeight(frameHeight);
    m_lineTallest = std::max(m_lineTallest, frameHeight);
    m_imageBottom = std::max(m_imageBottom, ClampedSum(m_y, frameHeight));
    Advance(frameWidth);
    return Step::Go;
}

void CMarkupRenderer::FinishMeasuredLine()
{
    const int lineBottom = ClampedSum(m_y, m_lineHeight);
    if (m_inLink && m_linkIndex < m_linkCapacity) {
        // The link goes on in the next line: this line's part, and its text in the next slot.
        m_linkRects[m_linkIndex] = {m_linkStart.x, m_linkStart.y, std::min<LONG>(m_x, m_rc.right), lineBottom};
        ++m_linkIndex;
        if (m_linkIndex < m_linkCapacity) m_linkTexts[m_linkIndex] = m_linkText;
    }
    for (int i = m_lineFirstLink; i < m_linkIndex; ++i) m_linkRects[i].bottom = lineBottom;
}

CMarkupRenderer::LineState CMarkupRenderer::SaveLine()
{
    LineState state;
    state.p = m_p;
    m_fonts.Mark();
    m_colors.Mark();
    m_paragraphs.Mark();
    state.inLink = m_inLink;
    state.inRaw = m_inRaw;
    state.inSelection = m_inSelection;
    state.linkIndex = m_linkIndex;
    state.linkText = m_linkText;
    return state;
}

void CMarkupRenderer::RestoreLine(const LineState& state)
{
    m_p = state.p;
    m_fonts.Rewind();
    m_colors.Rewind();
    m_paragraphs.Rewind();
    m_inLink = state.inLink;
    m_inRaw = state.inRaw;
    m_inSelection = state.inSelection;
    m_linkIndex = state.linkIndex;
    m_linkText = state.linkText;
    SelectFont(m_fonts.empty() ? m_defaultFont : m_fonts.back());
    ::SetTextColor(m_hDC, ArgbToColorRef(m_colors.empty() ? m_defaultColor : m_colors.back()));
    ApplySelectionMode();
}

void CMarkupRenderer::PushFont(FontEntry* entry)
{
    m_fonts.push_back(entry);
    SelectFont(entry);
}

void CMarkupRenderer::PopFont()
{
    if (m_fonts.empty()) return;
    const bool leftItalic = m_font->italic;
    m_fonts.pop_back();
    FontEntry* next = m_fonts.empty() ? m_defaultFont : m_fonts.back();
    if (leftItalic && !next->italic) {
        // Make room for the slant of the italic text's last character.
        ABC abc{};
        if (::GetCharABCWidthsW(m_hDC, L' ', L' ', &abc)) Advance(std::abs(abc.abcC) / 2);
    }
    SelectFont(next);
}

void CMarkupRenderer::SelectFont(FontEntry* entry)
{
    m_font = entry;
    m_spaceWidth = -1;
    ::SelectObject(m_hDC, entry->hFont);
    ::GetTextMetricsW(m_hDC, &m_tm);
    m_lineTallest = std::max(m_lineTallest, FontLineHeight());
    m_lineGlyphMargin = std::max(m_lineGlyphMargin, GlyphMargin());
    RaiseLineHeight(ClampedSum(ParagraphSpacing(), FontLineHeight()));
}

FontEntry* CMarkupRenderer::FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic)
{
    HFONT hFont = m_host->FindFont(face, size, bold, underline, italic);
    if (hFont == nullptr) hFont = m_host->AddFont(face, size, bold, underline, italic);
    return hFont != nullptr ? m_host->GetFontEntryByHandle(hFont) : m_font;
}

FontEntry* CMarkupRenderer::StyledFont(bool bold, bool underline, bool italic)
{
    const FontEntry& f = *m_font;
    if ((bold && f.bold) || (underline && f.underline) || (italic && f.italic)) return m_font;
    return FindFont(f.faceName, f.size, f.bold || bold, f.underline || underline, f.italic || italic);
}

FontEntry* CMarkupRenderer::ParamFont(const CUIString& param)
{
    const wchar_t* p = param.GetData();
    if (*p >= L'0' && *p <= L'9') return m_host->GetFontEntry(static_cast<int>(ReadDecimal(p)));
    const wchar_t* faceEnd = p;
    while (*faceEnd != L'\0' && *faceEnd != L' ') ++faceEnd;
    const CUIString face(p, static_cast<int>(faceEnd - p));
    p = faceEnd;
    while (IsBlank(*p)) ++p;
    int size = 10;
    if (*p >= L'0' && *p <= L'9') size = std::min(static_cast<int>(ReadDecimal(p)), kMaxTagFontSize);
    CUIString styles(p);
    styles.MakeLower();
    return FindFont(face, size, styles.Find(L"bold") >= 0, styles.Find(L"underline") >= 0,
                    styles.Find(L"italic") >= 0);
}

void CMarkupRenderer::PushColor(DWORD color)
{
    m_colors.push_back(color);
    ::SetTextColor(m_hDC, ArgbToColorRef(color));
}

void CMarkupRenderer::PopColor()
{
    if (m_colors.empty()) return;
    m_colors.pop_back();
    ::SetTextColor(m_hDC, ArgbToColorRef(m_colors.empty() ? m_defaultColor : m_colors.back()));
}

void CMarkupRenderer::ApplySelectionMode()
{
    if (m_drawing) ::SetBkMode(m_hDC, m_inSelection ? OPAQUE : TRANSPARENT);
}

void CMarkupRenderer::RaiseLineHeight(int height)
{
    if (!m_lockLineHeight) m_lineHeight = std::max(m_lineHeight, height);
}

void CMarkupRenderer::Advance(long long dx)
{
    m_x = ClampToInt(m_x + dx);
    m_maxX = std::max(m_maxX, m_x);
}

} // namespace SkinUI
