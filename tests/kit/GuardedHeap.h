#pragma once
// Guarding allocator for lifetime tests: inside a guarded scope every operator new gets pages of
// its own, operator delete makes them inaccessible (PAGE_NOACCESS) and they are not handed out
// again before the next scope starts. A vectored exception handler records every touch of such
// memory, opens the page again so that the process carries on as a lax heap would, and the test
// fails at the end of the scope. Wine swallows access violations inside a dispatched WM_PAINT;
// this handler runs before that and still sees them.
//
//   TEST(Close, FromKillFocus) { kit::GuardedScope guard; ... }   // fails at scope end on a touch
//   class MyLifetime : public kit::GuardedTest {};                // or: the whole test guarded
//   EXPECT_TRUE(kit::NoFreedMemoryTouched());                     // or: check part-way
//
// Memory allocated before the scope is freed normally; memory allocated inside it and freed after
// it is still guarded. Allocations from every thread are routed while a scope is open.
#include <cstddef>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace kit {

class GuardedHeap {
public:
    // Starts / ends routing operator new and delete through the guarded pages (scopes nest).
    // Begin forgets the touches recorded so far and, outside any scope, recycles the pages freed
    // in earlier scopes.
    static bool Begin();
    static void End();
    static bool Active();

    // Touches of freed memory (and frees of pointers that are not live) since the last Begin.
    static uint32_t TouchCount();
    // The recorded touches, one line each (address, instruction, read or write, what it was).
    static std::string Report();
    // Allocations that fell back to the ordinary heap because the guarded pages ran out.
    static uint32_t FallbackCount();

    // Used by the global operator new and delete replacements.
    static void* Allocate(size_t size);
    static bool Release(void* p);  // false: p is not a guarded allocation
};

// Guards the allocations of its lifetime and adds a gtest failure at its end if freed memory was
// touched meanwhile.
class GuardedScope {
public:
    GuardedScope();
    ~GuardedScope();
    GuardedScope(const GuardedScope&) = delete;
    GuardedScope& operator=(const GuardedScope&) = delete;
};

// A fixture whose whole test body runs in a GuardedScope.
class GuardedTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Success while nothing touched freed memory since the scope began; else the recorded touches.
::testing::AssertionResult NoFreedMemoryTouched();

} // namespace kit
