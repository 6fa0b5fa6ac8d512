#include "uitoolkit/controls/custom/GifFrames.h"

#include <algorithm>
#include <cstring>

#include "uitoolkit/controls/custom/GifValidator.h"

namespace SkinUI {

namespace {

// Movable global memory with the bytes: what CreateStreamOnHGlobal expects. Freed here unless a
// stream took it over.
class CGlobalBytes {
public:
    CGlobalBytes(const BYTE* data, size_t size) : m_memory(::GlobalAlloc(GMEM_MOVEABLE, size))
    {
        void* target = m_memory != nullptr ? ::GlobalLock(m_memory) : nullptr;
        if (target == nullptr) {
            Free();
            return;
        }
        std::memcpy(target, data, size);
        ::GlobalUnlock(m_memory);
    }
    ~CGlobalBytes() { Free(); }
    CGlobalBytes(const CGlobalBytes&) = delete;
    CGlobalBytes& operator=(const CGlobalBytes&) = delete;

    // A stream that owns the memory from now on; null (the memory still ours) on failure.
    ComPtr<IStream> ToStream()
    {
        ComPtr<IStream> stream;
        if (m_memory != nullptr && SUCCEEDED(::CreateStreamOnHGlobal(m_memory, TRUE, stream.GetAddressOf())))
            m_memory = nullptr;
        return stream;
    }

private:
    void Free()
    {
        if (m_memory != nullptr)
            ::GlobalFree(m_memory);
        m_memory = nullptr;
    }

    HGLOBAL m_memory;
};

// Delays come in hundredths of a second; a GIF stores 16 bits of them.
constexpr UINT kMaxDelayHundredths = 0xFFFF;

} // namespace

CGifFrames::~CGifFrames() = default;

std::unique_ptr<CGifFrames> CGifFrames::Load(const BYTE* data, size_t size)
{
    // 1. Only a GIF whose blocks and codes are sound reaches GDI+: its decoder does not survive
    // every damaged file. The checked logical screen is within the toolkit's image limits.
    CGifValidator gif;
    if (size > 0xFFFFFFFFu || !gif.Check(data, size))
        return nullptr;
    // 2. The bytes as a stream GDI+ reads the picture from.
    std::unique_ptr<CGifFrames> frames(new CGifFrames());
    frames->m_stream = CGlobalBytes(data, size).ToStream();
    if (!frames->m_stream)
        return nullptr;
    frames->m_image.reset(Gdiplus::Image::FromStream(frames->m_stream.Get(), FALSE));
    if (frames->m_image == nullptr || frames->m_image->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    // The picture's size is the checked logical screen. (Not GDI+'s: some of its readers report
    // the first frame's size, which may be smaller than the screen.)
    frames->m_width = gif.Width();
    frames->m_height = gif.Height();
    // 3. The frames of the first frame dimension.
    const UINT dimensions = frames->m_image->GetFrameDimensionsCount();
    if (dimensions == 0)
        return nullptr;
    std::vector<GUID> list(dimensions);
    if (frames->m_image->GetFrameDimensionsList(list.data(), dimensions) != Gdiplus::Ok)
        return nullptr;
    frames->m_dimension = list[0];
    const UINT count = frames->m_image->GetFrameCount(&frames->m_dimension);
    if (count == 0)
        return nullptr;
    // 4. Their display times.
    frames->ReadDelays(count);
    return frames;
}

void CGifFrames::ReadDelays(UINT frameCount)
{
    // The property holds one 32-bit delay per frame; a missing property, or one shorter than
    // the frame count, leaves the default for the frames it does not cover.
    std::vector<UINT> hundredths;
    const UINT size = m_image->GetPropertyItemSize(PropertyTagFrameDelay);
    if (size > sizeof(Gdiplus::PropertyItem)) {
        std::vector<unsigned long long> buffer((size + 7) / 8);
        auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
        if (m_image->GetPropertyItem(PropertyTagFrameDelay, size, item) == Gdiplus::Ok && item->value != nullptr &&
            item->length <= size - sizeof(Gdiplus::PropertyItem)) {
            const auto* values = static_cast<const UINT*>(item->value);
            hundredths.assign(values, values + std::min<UINT>(item->length / sizeof(UINT), frameCount));
        }
    }
    m_delays.assign(frameCount, kDefaultDelayMs);
    for (size_t i = 0; i < hundredths.size(); ++i) {
        if (hundredths[i] != 0)
            m_delays[i] = std::min(hundredths[i], kMaxDelayHundredths) * 10;
    }
}

bool CGifFrames::Draw(HDC hDC, const RECT& rc, const RECT& clip, UINT frame)
{
    if (hDC == nullptr || m_delays.empty())
        return false;
    m_image->SelectActiveFrame(&m_dimension, frame % GetFrameCount());
    Gdiplus::Graphics graphics(hDC);
    graphics.SetClip(Gdiplus::Rect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top),
                     Gdiplus::CombineModeIntersect);
    const Gdiplus::Rect dest(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    return graphics.DrawImage(m_image.get(), dest) == Gdiplus::Ok;
}

} // namespace SkinUI
