#include "HeapPeak.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

size_t g_live = 0;
size_t g_base = 0;
size_t g_peak = 0;

void* Allocate(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (p) {
        g_live += malloc_usable_size(p);
        g_peak = std::max(g_peak, g_live);
    }
    return p;
}

void Release(void* p) {
    if (!p)
        return;
    g_live -= malloc_usable_size(p);
    std::free(p);
}

} // namespace

namespace heap_peak {

void Restart() {
    g_base = g_live;
    g_peak = g_live;
}

size_t Peak() {
    return g_peak - g_base;
}

} // namespace heap_peak

void* operator new(size_t size) {
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](size_t size) {
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void operator delete(void* p) noexcept {
    Release(p);
}

void operator delete[](void* p) noexcept {
    Release(p);
}

void operator delete(void* p, size_t) noexcept {
    Release(p);
}

void operator delete[](void* p, size_t) noexcept {
    Release(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
