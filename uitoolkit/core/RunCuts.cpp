#include "uitoolkit/core/RunCuts.h"

#include <algorithm>

namespace SkinUI {

namespace {

// Embedding, override and isolate controls: they change the directions of the text after them.
bool IsDirectionControl(wchar_t c) { return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069); }

} // namespace

CRunCuts::CRunCuts(const wchar_t* text, int length) : m_text(text), m_length(length), m_firstControl(length)
{
    if (length <= 0) return;
    m_types.resize(static_cast<size_t>(length));
    m_marks.resize(static_cast<size_t>(length));
    if (!::GetStringTypeW(CT_CTYPE2, text, length, m_types.data()) ||
        !::GetStringTypeW(CT_CTYPE3, text, length, m_marks.data())) {
        // Unknown classes: no cut inside the run is safe.
        m_reorders = true;
        m_firstControl = 0;
        return;
    }
    for (int i = 0; i < length; ++i) {
        if (m_types[static_cast<size_t>(i)] == C2_RIGHTTOLEFT) m_reorders = true;
        if (IsDirectionControl(text[i]) && m_firstControl == length) {
            m_firstControl = i;
            m_reorders = true;
        }
    }
    if (!m_reorders) return;
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
    return i < m_firstControl && m_types[at] == C2_LEFTTORIGHT && m_markAhead[at] == 0;
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
