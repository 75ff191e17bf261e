// Under AddressSanitizer the sanitizer's allocator serves every allocation and
// reports each one to a hook; elsewhere the C library's allocation functions
// are replaced by ones that count and hand over to the library's own.
// operator new reaches malloc through libstdc++, so both ways count it.
#include "vondAllocationCount.h"

#include <atomic>
#include <cstddef>

namespace {
std::atomic<unsigned long> allocations{0};

void countOne() { allocations.fetch_add(1, std::memory_order_relaxed); }
} // namespace

unsigned long vondAllocationCount() { return allocations.load(std::memory_order_relaxed); }

#if defined(__SANITIZE_ADDRESS__)

extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, size_t), void (*freeHook)(const volatile void*));

namespace {
void onMalloc(const volatile void*, size_t) { countOne(); }
void onFree(const volatile void*) {}
const int hooked = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
} // namespace

#else

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);

void* malloc(size_t n) {
    countOne();
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
    countOne();
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    countOne();
    return __libc_realloc(p, n);
}
void free(void* p) { __libc_free(p); }
}

#endif
