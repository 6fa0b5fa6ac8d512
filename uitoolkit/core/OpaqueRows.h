#pragma once
// Which pixels of a picture are opaque, row by row, as runs. Copying pixels (BitBlt, StretchBlt)
// costs a fraction of blending them, and where a picture is opaque a blend at full constant alpha
// gives exactly its pixels: drawing copies the opaque parts and blends only the rest. Found once,
// when the picture is loaded.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace SkinUI {

class COpaqueRows {
public:
    COpaqueRows() = default;
    // From premultiplied 32-bit pixels (alpha in the top byte), top row first.
    COpaqueRows(const DWORD* pixels, int width, int height);

    // Whether every pixel of the part is opaque.
    bool Opaque(const RECT& part) const;

    // One draw of a part of the picture: its pixels copied, or blended.
    struct Part {
        RECT dest;
        RECT source;
        bool copy;
    };
    // Splits the draw of `source` onto `dest` (blended with per-pixel alpha at full constant
    // alpha) into parts whose copies and blends give the same pixels as the one blend: without a
    // vertical stretch, bands of rows, and within rows that are not all opaque, when nothing is
    // stretched, the opaque columns all of them share; with a vertical stretch, the whole draw,
    // copied when all of it is opaque. A draw whose copy would sample the source otherwise than
    // its blend is blended whole. Calls emit(part) for each, top to bottom.
    template <class Emit>
    void Split(const RECT& dest, const RECT& source, Emit&& emit) const;

private:
    // Whether a copy stretching `from` source pixels onto `to` takes, along that side, the source
    // pixels a blend of the same stretch takes. Measured under Wine (every size up to 130 onto
    // every size up to 160, at any offset and clip), StretchBlt and AlphaBlend sample alike except
    // onto a single column, where StretchBlt takes the next-to-last source column and AlphaBlend
    // the last. So a stretch onto a single column or row (a one-pixel nine-grid middle, say) is
    // never copied: which pixel either function keeps there is nowhere promised.
    static constexpr bool SampledAlike(int from, int to) { return from == to || to > 1; }

    struct Run {
        int from;
        int to;
    };
    // Whether row y is opaque in [left, right).
    bool RowOpaque(int y, int left, int right) const;
    // The longest opaque run of row y within [left, right), cut to it; empty when none.
    Run SpanOf(int y, int left, int right) const;

    int m_height = 0;
    std::vector<Run> m_runs;
    std::vector<int> m_rowStart;  // m_height + 1 indexes into m_runs
};

template <class Emit>
void COpaqueRows::Split(const RECT& dest, const RECT& source, Emit&& emit) const
{
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    const bool sampledAlike = SampledAlike(sw, dw) && SampledAlike(sh, dh);
    if (dh != sh || !sampledAlike) {
        emit(Part{dest, source, sampledAlike && Opaque(source)});
        return;
    }
    // Columns shared by a band of translucent rows are worth copying from this width on.
    constexpr int kMinCopyWidth = 32;
    int y = source.top;
    while (y < source.bottom) {
        const bool opaque = RowOpaque(y, source.left, source.right);
        int end = y + 1;
        Run shared = opaque ? Run{source.left, source.right} : SpanOf(y, source.left, source.right);
        while (end < source.bottom && RowOpaque(end, source.left, source.right) == opaque) {
            if (!opaque) {
                // A band whose rows share enough opaque columns grows while they still do; one
                // that is blended whole grows while its rows have too few to copy.
                const Run next = SpanOf(end, source.left, source.right);
                if (shared.to - shared.from >= kMinCopyWidth) {
                    const Run both{std::max(shared.from, next.from), std::min(shared.to, next.to)};
                    if (both.to - both.from < kMinCopyWidth) break;
                    shared = both;
                } else if (next.to - next.from >= kMinCopyWidth) {
                    break;
                }
            }
            ++end;
        }
        const LONG top = dest.top + (y - source.top), bottom = dest.top + (end - source.top);
        if (opaque || dw != sw || shared.to - shared.from < kMinCopyWidth) {
            emit(Part{RECT{dest.left, top, dest.right, bottom}, RECT{source.left, y, source.right, end}, opaque});
        } else {
            const LONG dx = dest.left - source.left;
            if (shared.from > source.left)
                emit(Part{RECT{dest.left, top, shared.from + dx, bottom}, RECT{source.left, y, shared.from, end}, false});
            emit(Part{RECT{shared.from + dx, top, shared.to + dx, bottom}, RECT{shared.from, y, shared.to, end}, true});
            if (shared.to < source.right)
                emit(Part{RECT{shared.to + dx, top, dest.right, bottom}, RECT{shared.to, y, source.right, end}, false});
        }
        y = end;
    }
}

} // namespace SkinUI
