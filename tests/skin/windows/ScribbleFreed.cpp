#include "tests/skin/windows/ScribbleFreed.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

bool GScribble = false;
// Blocks held back while scribbling: a singly linked list through the blocks themselves (each is
// at least a pointer long, as operator new never hands out less).
void* GHeld = nullptr;

void Release(void* p) noexcept {
  if (p == nullptr) return;
  if (!GScribble) return std::free(p);
  std::memset(p, 0xDD, _msize(p));
  *static_cast<void**>(p) = GHeld;
  GHeld = p;
}

}  // namespace

TScribbleFreed::TScribbleFreed() { GScribble = true; }

TScribbleFreed::~TScribbleFreed() {
  GScribble = false;
  while (GHeld) {
    void* next = *static_cast<void**>(GHeld);
    std::free(GHeld);
    GHeld = next;
  }
}

// Every allocation comes from malloc, so that its size is known when it is freed.
void* operator new(std::size_t n) {
  if (void* p = std::malloc(n < sizeof(void*) ? sizeof(void*) : n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
