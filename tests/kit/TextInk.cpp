#include "kit/TextInk.h"

#include <algorithm>

namespace kit {

TextInk::TextInk(const DibCanvas& withText, const DibCanvas& withoutText, const RECT& area, int threshold)
    : m_area(area)
{
    const int width = std::max(0L, area.right - area.left), height = std::max(0L, area.bottom - area.top);
    m_ink.resize(static_cast<size_t>(width) * height);
    m_colors.resize(m_ink.size());
    m_strength.resize(m_ink.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            const uint32_t color = withText.Pixel(area.left + x, area.top + y);
            m_colors[i] = color;
            m_strength[i] = ColorDistance(color, withoutText.Pixel(area.left + x, area.top + y));
            m_ink[i] = m_strength[i] > threshold ? 1 : 0;
        }
}

bool TextInk::At(int x, int y) const
{
    if (x < m_area.left || x >= m_area.right || y < m_area.top || y >= m_area.bottom) return false;
    return m_ink[static_cast<size_t>(y - m_area.top) * (m_area.right - m_area.left) + (x - m_area.left)] != 0;
}

RECT TextInk::Bounds(const RECT& part) const
{
    RECT box = {part.right, part.bottom, part.left, part.top};
    for (int y = part.top; y < part.bottom; ++y)
        for (int x = part.left; x < part.right; ++x)
            if (At(x, y)) {
                box.left = std::min<long>(box.left, x), box.right = std::max<long>(box.right, x + 1);
                box.top = std::min<long>(box.top, y), box.bottom = std::max<long>(box.bottom, y + 1);
            }
    return box.left < box.right ? box : RECT{};
}

int TextInk::Count(const RECT& part) const
{
    int count = 0;
    for (int y = part.top; y < part.bottom; ++y)
        for (int x = part.left; x < part.right; ++x) count += At(x, y) ? 1 : 0;
    return count;
}

std::vector<std::string> TextInk::Shape(const RECT& part) const
{
    const RECT box = Bounds(part);
    std::vector<std::string> rows;
    for (int y = box.top; y < box.bottom; ++y) {
        std::string row;
        for (int x = box.left; x < box.right; ++x) row += At(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

uint32_t TextInk::StrongestColor() const
{
    const auto most = std::max_element(m_strength.begin(), m_strength.end());
    return most == m_strength.end() ? 0 : m_colors[static_cast<size_t>(most - m_strength.begin())];
}

} // namespace kit
