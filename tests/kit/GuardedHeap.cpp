#include "GuardedHeap.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <new>

// Everything here runs inside operator new and inside an exception handler: no allocation, only
// zero-initialised statics (valid before any constructor runs) and one slim lock.
namespace {

constexpr size_t kPage = 4096;
// The largest arena tried first; smaller ones when the address space has no room for it.
constexpr size_t kMaxPages = (768u << 20) / kPage;
// A single allocation larger than this goes to the ordinary heap.
constexpr size_t kLargest = 64u << 20;
constexpr int kKeptTouches = 16;

enum PageState : uint8_t {
    kAvailable = 0,  // reserved, not committed
    kHead = 1,       // first page of a live allocation
    kTail = 2,       // further page of a live allocation
    kFreed = 3,      // committed, PAGE_NOACCESS until the next scope recycles it
};

enum TouchKind : uint8_t { kRead, kWrite, kExecute, kBadFree };

struct Touch {
    uintptr_t address;
    uintptr_t instruction;
    TouchKind kind;
    uint8_t state;
};

SRWLOCK g_lock = SRWLOCK_INIT;
volatile LONG g_depth = 0;
uint8_t* g_base = nullptr;
size_t g_pages = 0;
size_t g_cursor = 0;
uint8_t g_state[kMaxPages];
uint32_t g_span[kMaxPages];
uint32_t g_touchCount = 0;
uint32_t g_fallbacks = 0;
Touch g_touches[kKeptTouches];

class Lock {
public:
    Lock() { ::AcquireSRWLockExclusive(&g_lock); }
    ~Lock() { ::ReleaseSRWLockExclusive(&g_lock); }
};

bool InArena(const void* p)
{
    const auto* b = static_cast<const uint8_t*>(p);
    return g_base && b >= g_base && b < g_base + g_pages * kPage;
}

size_t PageOf(const void* p) { return size_t(static_cast<const uint8_t*>(p) - g_base) / kPage; }

void RecordTouch(uintptr_t address, uintptr_t instruction, TouchKind kind, uint8_t state)
{
    if (g_touchCount < kKeptTouches)
        g_touches[g_touchCount] = Touch{address, instruction, kind, state};
    ++g_touchCount;
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* rec = info->ExceptionRecord;
    if (rec->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || rec->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    void* address = reinterpret_cast<void*>(rec->ExceptionInformation[1]);
    Lock lock;
    if (!InArena(address))
        return EXCEPTION_CONTINUE_SEARCH;
    const size_t page = PageOf(address);
    const uint8_t state = g_state[page];
    if (state == kHead || state == kTail)
        return EXCEPTION_CONTINUE_SEARCH;  // a live page faulting is somebody else's fault
    const ULONG_PTR access = rec->ExceptionInformation[0];
    RecordTouch(uintptr_t(address), uintptr_t(rec->ExceptionAddress),
                access == 0 ? kRead : access == 1 ? kWrite : kExecute, state);
    // Open the page again (its old contents when it was freed here) so that the code goes on as it
    // would on an ordinary heap; the page is not handed out again in this scope.
    void* pageStart = g_base + page * kPage;
    DWORD old = 0;
    const bool opened =
        state == kFreed ? ::VirtualProtect(pageStart, kPage, PAGE_READWRITE, &old) != 0
                        : ::VirtualAlloc(pageStart, kPage, MEM_COMMIT, PAGE_READWRITE) != nullptr;
    if (!opened)
        return EXCEPTION_CONTINUE_SEARCH;
    g_state[page] = kFreed;
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Reserves the arena and installs the handler, once per process.
bool EnsureArena()
{
    if (g_base)
        return true;
    for (size_t pages = kMaxPages; pages >= kMaxPages / 8; pages /= 2) {
        g_base = static_cast<uint8_t*>(::VirtualAlloc(nullptr, pages * kPage, MEM_RESERVE, PAGE_NOACCESS));
        if (g_base) {
            g_pages = pages;
            ::AddVectoredExceptionHandler(1, OnException);
            return true;
        }
    }
    return false;
}

// Decommits the pages freed in earlier scopes so that the next scope may use them again.
void RecyclePages()
{
    size_t page = 0;
    while (page < g_pages) {
        if (g_state[page] != kFreed) {
            ++page;
            continue;
        }
        const size_t first = page;
        while (page < g_pages && g_state[page] == kFreed)
            g_state[page++] = kAvailable;
        ::VirtualFree(g_base + first * kPage, (page - first) * kPage, MEM_DECOMMIT);
    }
    g_cursor = 0;
}

// The first run of `count` available pages in [from, to).
size_t ScanRun(size_t from, size_t to, size_t count)
{
    size_t run = 0;
    for (size_t page = from; page < to; ++page) {
        run = g_state[page] == kAvailable ? run + 1 : 0;
        if (run == count)
            return page + 1 - count;
    }
    return SIZE_MAX;
}

// Next fit: from the cursor on, then once more from the start.
size_t FindRun(size_t count)
{
    const size_t found = ScanRun(g_cursor, g_pages, count);
    if (found != SIZE_MAX)
        return found;
    const size_t end = g_cursor + count - 1;
    return ScanRun(0, end < g_pages ? end : g_pages, count);
}

const char* StateName(uint8_t state)
{
    return state == kFreed ? "freed memory" : "memory never handed out";
}

} // namespace

namespace kit {

bool GuardedHeap::Begin()
{
    Lock lock;
    if (!EnsureArena())
        return false;
    if (g_depth == 0) {
        RecyclePages();
        g_touchCount = 0;
        g_fallbacks = 0;
    }
    ::InterlockedIncrement(&g_depth);
    return true;
}

void GuardedHeap::End()
{
    Lock lock;
    if (g_depth > 0)
        ::InterlockedDecrement(&g_depth);
}

bool GuardedHeap::Active() { return g_depth > 0; }

uint32_t GuardedHeap::TouchCount()
{
    Lock lock;
    return g_touchCount;
}

uint32_t GuardedHeap::FallbackCount()
{
    Lock lock;
    return g_fallbacks;
}

std::string GuardedHeap::Report()
{
    Touch kept[kKeptTouches];
    uint32_t count = 0;
    {
        Lock lock;
        count = g_touchCount;
        for (uint32_t i = 0; i < count && i < uint32_t(kKeptTouches); ++i)
            kept[i] = g_touches[i];
    }
    static const char* const kKinds[] = {"read of", "write to", "execution in", "free of"};
    std::string text = std::to_string(count) + " touch(es) of freed memory:\n";
    for (uint32_t i = 0; i < count && i < uint32_t(kKeptTouches); ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "  %s %s at 0x%08lx by instruction 0x%08lx\n",
                      kKinds[kept[i].kind],
                      kept[i].kind == kBadFree ? "a pointer that is not live" : StateName(kept[i].state),
                      static_cast<unsigned long>(kept[i].address),
                      static_cast<unsigned long>(kept[i].instruction));
        text += line;
    }
    return text;
}

void* GuardedHeap::Allocate(size_t size)
{
    if (size > kLargest)
        return nullptr;
    const size_t count = size == 0 ? 1 : (size + kPage - 1) / kPage;
    Lock lock;
    if (!g_base || g_depth == 0)
        return nullptr;
    const size_t head = FindRun(count);
    if (head == SIZE_MAX ||
        !::VirtualAlloc(g_base + head * kPage, count * kPage, MEM_COMMIT, PAGE_READWRITE)) {
        ++g_fallbacks;
        return nullptr;
    }
    g_state[head] = kHead;
    for (size_t i = 1; i < count; ++i)
        g_state[head + i] = kTail;
    g_span[head] = uint32_t(count);
    g_cursor = head + count;
    return g_base + head * kPage;
}

bool GuardedHeap::Release(void* p)
{
    Lock lock;
    if (!InArena(p))
        return false;
    const size_t head = PageOf(p);
    if (g_state[head] != kHead || uintptr_t(p) % kPage != 0) {
        RecordTouch(uintptr_t(p), uintptr_t(__builtin_return_address(0)), kBadFree, g_state[head]);
        return true;
    }
    const size_t count = g_span[head];
    DWORD old = 0;
    ::VirtualProtect(p, count * kPage, PAGE_NOACCESS, &old);
    for (size_t i = 0; i < count; ++i)
        g_state[head + i] = kFreed;
    return true;
}

GuardedScope::GuardedScope() { GuardedHeap::Begin(); }

GuardedScope::~GuardedScope()
{
    GuardedHeap::End();
    if (!GuardedHeap::Active()) {
        EXPECT_TRUE(NoFreedMemoryTouched());
    }
}

void GuardedTest::SetUp() { GuardedHeap::Begin(); }

void GuardedTest::TearDown()
{
    GuardedHeap::End();
    EXPECT_TRUE(NoFreedMemoryTouched());
}

::testing::AssertionResult NoFreedMemoryTouched()
{
    if (GuardedHeap::TouchCount() == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << GuardedHeap::Report();
}

} // namespace kit

// ---- the process's operator new and delete ------------------------------------------------------
// Outside a guarded scope they are the ordinary heap; a pointer is given back to whichever heap
// handed it out.

namespace {

void* GuardedNew(size_t size)
{
    void* p = kit::GuardedHeap::Active() ? kit::GuardedHeap::Allocate(size) : nullptr;
    return p ? p : std::malloc(size ? size : 1);
}

void GuardedDelete(void* p)
{
    if (p && !kit::GuardedHeap::Release(p))
        std::free(p);
}

void* GuardedNewOrThrow(size_t size)
{
    if (void* p = GuardedNew(size))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(size_t size) { return GuardedNewOrThrow(size); }
void* operator new[](size_t size) { return GuardedNewOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return GuardedNew(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return GuardedNew(size); }
void operator delete(void* p) noexcept { GuardedDelete(p); }
void operator delete[](void* p) noexcept { GuardedDelete(p); }
void operator delete(void* p, size_t) noexcept { GuardedDelete(p); }
void operator delete[](void* p, size_t) noexcept { GuardedDelete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { GuardedDelete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { GuardedDelete(p); }
