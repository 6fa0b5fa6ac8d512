#pragma once
// CGifFrames: a multi-frame GIF decoded by GDI+ from bytes in memory, with each frame's display
// time from the file's frame-delay property. The bytes are checked (CGifValidator) before GDI+
// sees them.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "foundation/ComPtr.h"

namespace SkinUI {

class CGifFrames {
public:
    // Frames shown for this long when the file gives no delay, or 0, for them.
    static constexpr UINT kDefaultDelayMs = 100;

    // The picture of the bytes; null for bytes that are no sound GIF within the toolkit's image
    // limits, or that GDI+ cannot read. GDI+ must be started.
    static std::unique_ptr<CGifFrames> Load(const BYTE* data, size_t size);
    ~CGifFrames();
    CGifFrames(const CGifFrames&) = delete;
    CGifFrames& operator=(const CGifFrames&) = delete;

    UINT GetFrameCount() const { return static_cast<UINT>(m_delays.size()); }
    // The frame's display time in milliseconds.
    UINT GetFrameDelay(UINT frame) const { return frame < m_delays.size() ? m_delays[frame] : kDefaultDelayMs; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // Draws the frame scaled into the rectangle, only within the clip rectangle; false when
    // GDI+ fails.
    bool Draw(HDC hDC, const RECT& rc, const RECT& clip, UINT frame);

private:
    CGifFrames() = default;
    // Reads the frame-delay property (hundredths of a second per frame) into m_delays.
    void ReadDelays(UINT frameCount);

    ComPtr<IStream> m_stream;               // the bytes; GDI+ reads them for as long as the image lives
    std::unique_ptr<Gdiplus::Image> m_image;  // destroyed before the stream
    GUID m_dimension = {};                  // the frame dimension (time for a GIF)
    std::vector<UINT> m_delays;             // one per frame, in milliseconds
    int m_width = 0;
    int m_height = 0;
};

} // namespace SkinUI
