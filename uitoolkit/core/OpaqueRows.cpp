#include "uitoolkit/core/OpaqueRows.h"

#include <algorithm>

namespace SkinUI {

COpaqueRows::COpaqueRows(const DWORD* pixels, int width, int height) : m_height(height)
{
    m_rowStart.reserve(static_cast<size_t>(height) + 1);
    for (int y = 0; y < height; ++y) {
        m_rowStart.push_back(static_cast<int>(m_runs.size()));
        const DWORD* row = pixels + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && row[x] < 0xFF000000u) ++x;
            const int from = x;
            while (x < width && row[x] >= 0xFF000000u) ++x;
            if (x > from) m_runs.push_back(Run{from, x});
        }
    }
    m_rowStart.push_back(static_cast<int>(m_runs.size()));
}

bool COpaqueRows::RowOpaque(int y, int left, int right) const
{
    if (y < 0 || y >= m_height || left >= right) return false;
    const auto first = m_runs.begin() + m_rowStart[y], last = m_runs.begin() + m_rowStart[y + 1];
    // The run that could hold `left`: the last one starting at or before it.
    auto it = std::upper_bound(first, last, left, [](int x, const Run& run) { return x < run.from; });
    if (it == first) return false;
    --it;
    return it->from <= left && right <= it->to;
}

COpaqueRows::Run COpaqueRows::SpanOf(int y, int left, int right) const
{
    Run best{left, left};
    if (y < 0 || y >= m_height) return best;
    for (int i = m_rowStart[y]; i < m_rowStart[y + 1]; ++i) {
        const Run cut{std::max(m_runs[i].from, left), std::min(m_runs[i].to, right)};
        if (cut.to - cut.from > best.to - best.from) best = cut;
    }
    return best;
}

bool COpaqueRows::Opaque(const RECT& part) const
{
    if (part.left >= part.right || part.top >= part.bottom) return false;
    for (int y = part.top; y < part.bottom; ++y)
        if (!RowOpaque(y, part.left, part.right)) return false;
    return true;
}

} // namespace SkinUI
