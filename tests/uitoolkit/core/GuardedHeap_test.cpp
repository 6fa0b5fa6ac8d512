// The test kit's guarding allocator: freed memory is inaccessible and never handed out again in a
// scope, every touch is recorded (also inside a dispatched WM_PAINT, where Wine swallows access
// violations) and fails the scope at its end, and memory from outside the scope passes through.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "kit/GuardedHeap.h"
#include "kit/Pump.h"

namespace {

// Reads through a pointer the compiler cannot follow, as a dangling pointer in product code would.
__attribute__((noinline)) int ReadThrough(int* p)
{
    int* volatile laundered = p;
    return *laundered;
}

// A heap int whose value survives the optimiser (a store right before delete is otherwise dead).
int* NewInt(int value)
{
    int* volatile p = new int;
    *p = value;
    return p;
}

int* g_paintTarget = nullptr;
int g_paintSeen = 0;

LRESULT CALLBACK PaintReader(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        ::BeginPaint(hwnd, &ps);
        g_paintSeen = ReadThrough(g_paintTarget);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

// A read of freed memory and a double free are recorded and fail the scope; freed pages are not
// handed out again, and allocations spanning several pages are usable whole.
TEST(GuardedHeap, TouchesOfFreedMemoryFailTheScopeAndFreedPagesAreNotReused)
{
    EXPECT_NONFATAL_FAILURE(
        {
            kit::GuardedScope guard;
            int* p = NewInt(41);
            delete p;
            EXPECT_EQ(ReadThrough(p), 41);  // the page opens again with its old contents
            EXPECT_EQ(kit::GuardedHeap::TouchCount(), 1u);
        },
        "touch(es) of freed memory");
    EXPECT_NONFATAL_FAILURE(
        {
            kit::GuardedScope guard;
            int* volatile p = new int(1);
            delete p;
            delete p;
        },
        "free of a pointer that is not live");
    std::set<void*> seen;
    kit::GuardedScope guard;
    for (int i = 0; i < 200; ++i) {
        int* p = new int(i);
        EXPECT_TRUE(seen.insert(p).second) << "address reused at " << i;
        delete p;
    }
    char* big = new char[3 * 4096 + 1];
    big[0] = 1;
    big[3 * 4096] = 2;
    delete[] big;
}

TEST(GuardedHeap, TouchInsideDispatchedPaintIsSeen)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = PaintReader;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OmbrelGuardedPaint";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    kit::GuardedHeap::Begin();
    g_paintTarget = NewInt(7);
    delete g_paintTarget;
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    kit::Drain();
    kit::GuardedHeap::End();
    EXPECT_EQ(g_paintSeen, 7);
    EXPECT_GE(kit::GuardedHeap::TouchCount(), 1u);
    EXPECT_NE(kit::GuardedHeap::Report().find("read of freed memory"), std::string::npos);
    ::DestroyWindow(hwnd);
}

TEST(GuardedHeap, MemoryCrossingTheScopeBoundaryStaysValid)
{
    int* before = new int(3);  // ordinary heap
    int* inside = nullptr;
    {
        kit::GuardedScope guard;
        EXPECT_TRUE(kit::GuardedHeap::Active());
        inside = NewInt(4);
        delete before;  // handed back to the ordinary heap
        {
            kit::GuardedScope nested;
        }
        EXPECT_TRUE(kit::GuardedHeap::Active());
    }
    EXPECT_FALSE(kit::GuardedHeap::Active());
    EXPECT_EQ(ReadThrough(inside), 4);
    delete inside;  // still guarded after the scope
    EXPECT_EQ(kit::GuardedHeap::FallbackCount(), 0u);
}

class GuardedFixture : public kit::GuardedTest {};

TEST_F(GuardedFixture, WholeTestBodyIsGuarded)
{
    EXPECT_TRUE(kit::GuardedHeap::Active());
    delete new std::set<int>{1, 2, 3};
    EXPECT_TRUE(kit::NoFreedMemoryTouched());
}
