#include "uitoolkit/core/RunCuts.h"

#include <algorithm>

namespace SkinUI {

namespace {

// Embedding, override and isolate controls: they change the directions of the text after them.
bool IsDirectionControl(wchar_t c) { return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069); }

// Combining marks of no script of their own, which take the script of what they follow: the
// system's reordering places text around them differently when the text is cut anywhere.
bool IsSharedMark(wchar_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

// Paired brackets, which take their direction from what they enclose and what precedes them.
struct BracketPair {
    wchar_t open;
    wchar_t close;
};
const BracketPair kBrackets[] = {
    {L'(', L')'}, {L'[', L']'}, {L'{', L'}'}, {0x0F3A, 0x0F3B}, {0x0F3C, 0x0F3D}, {0x169B, 0x169C},
    {0x2045, 0x2046}, {0x207D, 0x207E}, {0x208D, 0x208E}, {0x2308, 0x2309}, {0x230A, 0x230B},
    {0x2329, 0x232A}, {0x2768, 0x2769}, {0x276A, 0x276B}, {0x276C, 0x276D}, {0x276E, 0x276F},
    {0x2770, 0x2771}, {0x2772, 0x2773}, {0x2774, 0x2775}, {0x27C5, 0x27C6}, {0x27E6, 0x27E7},
    {0x27E8, 0x27E9}, {0x27EA, 0x27EB}, {0x27EC, 0x27ED}, {0x27EE, 0x27EF}, {0x2983, 0x2984},
    {0x2985, 0x2986}, {0x2987, 0x2988}, {0x2989, 0x298A}, {0x298B, 0x298C}, {0x298D, 0x2990},
    {0x298F, 0x298E}, {0x2991, 0x2992}, {0x2993, 0x2994}, {0x2995, 0x2996}, {0x2997, 0x2998},
    {0x29D8, 0x29D9}, {0x29DA, 0x29DB}, {0x29FC, 0x29FD}, {0x2E22, 0x2E23}, {0x2E24, 0x2E25},
    {0x2E26, 0x2E27}, {0x2E28, 0x2E29}, {0x3008, 0x3009}, {0x300A, 0x300B}, {0x300C, 0x300D},
    {0x300E, 0x300F}, {0x3010, 0x3011}, {0x3014, 0x3015}, {0x3016, 0x3017}, {0x3018, 0x3019},
    {0x301A, 0x301B}, {0xFE59, 0xFE5A}, {0xFE5B, 0xFE5C}, {0xFE5D, 0xFE5E}, {0xFF08, 0xFF09},
    {0xFF3B, 0xFF3D}, {0xFF5B, 0xFF5D}, {0xFF5F, 0xFF60}, {0xFF62, 0xFF63},
};

// The opening bracket a closing one pairs with; 0 when c closes no pair.
wchar_t OpenerOf(wchar_t c)
{
    for (const BracketPair& pair : kBrackets)
        if (pair.close == c) return pair.open;
    return 0;
}

bool IsOpener(wchar_t c)
{
    for (const BracketPair& pair : kBrackets)
        if (pair.open == c) return true;
    return false;
}

} // namespace

CRunCuts::CRunCuts(const wchar_t* text, int length) : m_text(text), m_length(length), m_cutsEnd(length)
{
    if (length <= 0) return;
    m_types.resize(static_cast<size_t>(length));
    m_marks.resize(static_cast<size_t>(length));
    if (!::GetStringTypeW(CT_CTYPE2, text, length, m_types.data()) ||
        !::GetStringTypeW(CT_CTYPE3, text, length, m_marks.data())) {
        // Unknown classes: no cut inside the run is safe.
        m_reorders = true;
        m_cutsEnd = 0;
        return;
    }
    bool sharedMarks = false;
    for (int i = 0; i < length; ++i) {
        if (m_types[static_cast<size_t>(i)] == C2_RIGHTTOLEFT) m_reorders = true;
        if (IsSharedMark(text[i])) sharedMarks = true;
        if (IsDirectionControl(text[i]) && m_cutsEnd == length) {
            m_cutsEnd = i;
            m_reorders = true;
        }
    }
    if (!m_reorders) return;
    if (sharedMarks) m_cutsEnd = 0;
    MarkBracketPairs();
    m_markAhead.assign(static_cast<size_t>(length) + 1, 0);
    for (size_t i = static_cast<size_t>(length); i-- > 0;) {
        const bool mark = (m_marks[i] & C3_NONSPACING) != 0;
        if (mark) m_markAhead[i] = 1;
        else if (m_types[i] == C2_LEFTTORIGHT) m_markAhead[i] = m_markAhead[i + 1];
    }
}

bool CRunCuts::IsCut(int i) const
{
    if (i <= 0 || i >= m_length) return true;
    if (!KeepsCharacters(i)) return false;
    if (!m_reorders) return true;
    const size_t at = static_cast<size_t>(i);
    return i < m_cutsEnd && m_types[at] == C2_LEFTTORIGHT && m_markAhead[at] == 0 && m_inBrackets[at] == 0;
}

void CRunCuts::MarkBracketPairs()
{
    constexpr size_t kMaxOpenBrackets = 63;
    // Pairs found as the system pairs them: a closing bracket closes the nearest open one of its
    // kind and every one opened after that. No cut falls between the brackets of a pair.
    std::vector<int> open;  // indexes of the open brackets, innermost last
    std::vector<int> depth(static_cast<size_t>(m_length) + 1, 0);
    for (int i = 0; i < m_length; ++i) {
        const wchar_t c = m_text[i];
        if (IsOpener(c)) {
            if (open.size() >= kMaxOpenBrackets) {
                // Past the depth the system pairs: no cut from the first bracket left open on.
                m_cutsEnd = std::min(m_cutsEnd, open.front());
                break;
            }
            open.push_back(i);
            continue;
        }
        const wchar_t opener = OpenerOf(c);
        if (opener == 0) continue;
        for (size_t k = open.size(); k-- > 0;) {
            if (m_text[open[k]] != opener) continue;
            ++depth[static_cast<size_t>(open[k]) + 1];
            --depth[static_cast<size_t>(i) + 1];
            open.resize(k);
            break;
        }
    }
    m_inBrackets.assign(static_cast<size_t>(m_length) + 1, 0);
    int inside = 0;
    for (size_t i = 0; i <= static_cast<size_t>(m_length); ++i) {
        inside += depth[i];
        m_inBrackets[i] = inside > 0 ? 1 : 0;
    }
}

bool CRunCuts::KeepsCharacters(int i) const
{
    if (i <= 0 || i >= m_length) return true;
    if (IS_LOW_SURROGATE(m_text[i]) && IS_HIGH_SURROGATE(m_text[i - 1])) return false;
    return (m_marks[static_cast<size_t>(i)] & C3_NONSPACING) == 0;
}

int CRunCuts::PartEnd(int from, int end, int maxUnits) const
{
    maxUnits = std::max(maxUnits, 1);
    if (end - from <= maxUnits) return end;
    int to = from + maxUnits;
    while (to > from && !IsCut(to)) --to;
    if (to > from) return to;
    const int limit = std::min(end, from + std::max(maxUnits, kMaxUncut));
    for (to = from + maxUnits + 1; to <= limit; ++to)
        if (IsCut(to)) return to;
    // No safe cut: after the last space, else at the last whole character.
    for (to = limit; to > from + 1; --to)
        if (m_text[to - 1] == L' ' && KeepsCharacters(to)) return to;
    for (to = limit; to > from + 1; --to)
        if (KeepsCharacters(to)) return to;
    return limit;
}

} // namespace SkinUI
