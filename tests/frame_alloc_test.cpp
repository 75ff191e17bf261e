// A frame that runs no script must not touch the heap: composing the worst-case
// scene (scrolling layers, 1,024 sprites, revealing text windows) is counted by
// a replaced operator new. The replacements (every plain and nothrow form, so
// that news and deletes stay paired) only count and hand over to malloc, so
// AddressSanitizer still sees every allocation.
#include "../bench/vondWorstCase.h"

#include "vondSceneFixture.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> newCalls{0};
}

// clang-format off
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    newCalls.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(n != 0 ? n : 1);
}
void* operator new(size_t n) {
    if (void* p = operator new(n, std::nothrow)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new[](size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
// clang-format on

namespace {

TEST(FrameAllocations, WorstCaseFramesAllocateNothing) {
    SDL_Surface* screen = displaySurface();
    ASSERT_NE(screen, nullptr);
    vondEngine2 e;
    vondWorstCase::build(e);
    long before = 0;
    // The first three frames paint rasters and windows for the first time; still
    // frames after each scrolled one repaint nothing and blit the cached rasters.
    for (int f = 0; f < 13; ++f) {
        if (f == 3) before = newCalls.load();
        vondWorstCase::scroll(e, f);
        for (int still = 0; still < (f < 3 ? 1 : 2); ++still)
            e.Update(16), e.Compose(screen);
    }
    EXPECT_EQ(newCalls.load() - before, 0);
    e.NewTxtWin(0, 0, 50, 50, 999, 0); // the counter counts: building a window allocates
    EXPECT_GT(newCalls.load() - before, 0);
}

} // namespace
