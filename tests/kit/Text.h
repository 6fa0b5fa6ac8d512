#pragma once
// Rectangles and sizes as short texts, so that a whole value is checked in one comparison and a
// mismatch prints readably:  EXPECT_EQ(kit::Text(host->GetSizeBox()), "4,5,6,7");
#include <windows.h>

#include <string>

namespace kit {

inline std::string Text(const RECT& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}

inline std::string Text(const SIZE& size)
{
    return std::to_string(size.cx) + "," + std::to_string(size.cy);
}

inline std::string Text(const POINT& pt)
{
    return std::to_string(pt.x) + "," + std::to_string(pt.y);
}

} // namespace kit
