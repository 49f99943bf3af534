#include "tests/support/TAllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int> gProbes{0};
std::atomic<size_t> gLargest{0};
}  // namespace

TAllocationProbe::TAllocationProbe() {
  gLargest = 0;
  ++gProbes;
}

TAllocationProbe::~TAllocationProbe() {
  --gProbes;
}

size_t TAllocationProbe::Largest() const {
  return gLargest;
}

// The array and nothrow forms of the library call these.
void* operator new(size_t size) {
  if (gProbes > 0) {
    size_t seen = gLargest;
    while (size > seen && !gLargest.compare_exchange_weak(seen, size)) {
    }
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  std::free(p);
}

void operator delete(void* p, size_t) noexcept {
  std::free(p);
}
