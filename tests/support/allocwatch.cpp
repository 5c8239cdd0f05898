// Largest-allocation watch over the sanitizer's malloc hooks (AddressSanitizer builds only).
#include "support/allocwatch.h"

#include <atomic>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLINKOR_WATCH_ALLOCATIONS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PLINKOR_WATCH_ALLOCATIONS 1
#endif

static std::atomic<bool> watching{false};
static std::atomic<size_t> largest{0};

#ifdef PLINKOR_WATCH_ALLOCATIONS
// Part of every sanitizer runtime's public interface (declared here: gcc ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, size_t),
                                                          void (*freeHook)(const volatile void*));

static void onMalloc(const volatile void* pointer, size_t size) {
    (void)pointer;
    if (!watching.load(std::memory_order_relaxed)) {
        return;
    }
    size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size)) {
    }
}

static void onFree(const volatile void* pointer) {
    (void)pointer;
}
#endif

bool allocationWatchAvailable(void) {
#ifdef PLINKOR_WATCH_ALLOCATIONS
    return true;
#else
    return false;
#endif
}

void allocationWatchStart(void) {
#ifdef PLINKOR_WATCH_ALLOCATIONS
    static bool installed = false;
    if (!installed) {
        __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
        installed = true;
    }
#endif
    largest = 0;
    watching = true;
}

size_t allocationWatchStop(void) {
    watching = false;
    return largest.load();
}
