// The combine's peak memory, counted by a replaced operator new (its own binary, so that no other
// test runs under the counting allocator): the two I/O buffers and a constant, whatever the size of
// the superfile.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "ImageRows.h"
#include "workbench/core/TSuperfileCombiner.h"

namespace {

std::atomic<size_t> gLive{0};
std::atomic<size_t> gPeak{0};
// A header in front of each block keeps its size, and the block aligned as malloc's are.
constexpr size_t kHeader = alignof(std::max_align_t);

}  // namespace

void* operator new(size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (!block) throw std::bad_alloc();
  *reinterpret_cast<size_t*>(block) = size;
  const size_t live = gLive += size;
  for (size_t peak = gPeak; live > peak && !gPeak.compare_exchange_weak(peak, live);) {
  }
  return block + kHeader;
}

void operator delete(void* p) noexcept {
  if (!p) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  gLive -= *reinterpret_cast<size_t*>(block);
  std::free(block);
}

void operator delete(void* p, size_t) noexcept {
  operator delete(p);
}

// Replaced as well: a sanitizer's own array forms would not come through the ones above.
void* operator new[](size_t size) {
  return operator new(size);
}

void operator delete[](void* p) noexcept {
  operator delete(p);
}

void operator delete[](void* p, size_t) noexcept {
  operator delete(p);
}

namespace {

// Peak bytes held during one combine beyond what was held before it.
size_t CombinePeak(const std::vector<TCodeGroupRow>& rows, const TTempFolder& dir, int kb) {
  TRecordingHost host;
  host.SaveAnswer = dir / "out.shx";
  TSuperfileCombiner combiner(host);
  const size_t before = gLive;
  gPeak = before;
  const bool done = combiner.Combine(rows, "", kb);
  const size_t peak = gPeak - before;
  EXPECT_TRUE(done);
  return peak;
}

}  // namespace

TEST(CombineMemory, PeakIsTheTwoBuffersWhateverTheSuperfileSize) {
  TTempFolder small("tarvex-combine-memory-small");
  TTempFolder large("tarvex-combine-memory-large");
  const std::vector<TCodeGroupRow> smallRows = Rows(small, RealisticFirmware(256 * 1024, 7));
  const std::vector<TCodeGroupRow> largeRows = Rows(large, RealisticFirmware(8 * 1024 * 1024, 7));
  CombinePeak(smallRows, small, 4);  // first-use allocations out of the way
  for (int kb : {4, 64}) {
    const size_t buffers = 2 * static_cast<size_t>(kb) * 1024;
    const size_t smallPeak = CombinePeak(smallRows, small, kb);
    const size_t largePeak = CombinePeak(largeRows, large, kb);
    EXPECT_GE(smallPeak, buffers) << kb << " kB";
    EXPECT_LE(largePeak, buffers + 32 * 1024) << kb << " kB";
    EXPECT_LE(largePeak, smallPeak + 1024) << kb << " kB";
  }
}
