#include "tests/support/TAllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#define TARVEX_BLOCK_SIZE _msize
#else
#include <malloc.h>
#define TARVEX_BLOCK_SIZE malloc_usable_size
#endif

namespace {
std::atomic<int> gProbes{0};
std::atomic<size_t> gLargest{0};
std::atomic<size_t> gHeld{0};  // by every block made through operator new, probed or not
std::atomic<size_t> gBaseline{0};
std::atomic<size_t> gPeak{0};
}  // namespace

TAllocationProbe::TAllocationProbe() {
  gLargest = 0;
  gBaseline = gHeld.load();
  gPeak = gBaseline.load();
  ++gProbes;
}

TAllocationProbe::~TAllocationProbe() {
  --gProbes;
}

size_t TAllocationProbe::Largest() const {
  return gLargest;
}

size_t TAllocationProbe::Peak() const {
  return gPeak > gBaseline ? gPeak - gBaseline : 0;
}

// The array and nothrow forms of the library call these.
void* operator new(size_t size) {
  if (gProbes > 0) {
    size_t seen = gLargest;
    while (size > seen && !gLargest.compare_exchange_weak(seen, size)) {
    }
  }
  void* p = std::malloc(size ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  const size_t held = gHeld += TARVEX_BLOCK_SIZE(p);
  if (gProbes > 0) {
    size_t seen = gPeak;
    while (held > seen && !gPeak.compare_exchange_weak(seen, held)) {
    }
  }
  return p;
}

void operator delete(void* p) noexcept {
  if (p != nullptr) gHeld -= TARVEX_BLOCK_SIZE(p);
  std::free(p);
}

void operator delete(void* p, size_t) noexcept {
  operator delete(p);
}

// Sanitizers replace every form they are not given, and would then free through their own
// allocator what this file allocated (or the other way round); the library's temporary buffers
// use the nothrow form.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void* operator new[](size_t size) {
  return operator new(size);
}

void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
  operator delete(p);
}

void operator delete[](void* p) noexcept {
  operator delete(p);
}

void operator delete[](void* p, size_t) noexcept {
  operator delete(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
  operator delete(p);
}
