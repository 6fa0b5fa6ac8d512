#include <gtest/gtest.h>
#include <windows.h>

TEST(Smoke, CreatesAWindow)
{
    HWND h = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    DestroyWindow(h);
}
