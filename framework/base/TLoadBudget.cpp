#include "framework/base/TLoadBudget.h"

#include <algorithm>

namespace {

// What the allocator adds to a block, and the granularity it hands blocks out in.
constexpr std::size_t kBlockOverhead = 16;
constexpr std::size_t kGranule = 16;

// Rounded up, without overflow for the largest sizes.
std::string Megabytes(std::size_t bytes) {
  return std::to_string((bytes >> 20) + ((bytes & ((1 << 20) - 1)) != 0)) + " MB";
}

}  // namespace

TLoadBudget::TLoadBudget(std::size_t fileSize) : FFileSize(fileSize) {
  const std::size_t scaled = fileSize > kMaxLoadBudget / kLoadFactor ? kMaxLoadBudget : fileSize * kLoadFactor;
  FLimit = std::clamp(scaled, kMinLoadBudget, kMaxLoadBudget);
  FFileFits = Charge(fileSize);
  if (!FFileFits) FUsed = FLimit;
}

bool TLoadBudget::Charge(std::size_t bytes) {
  if (bytes > FLimit - FUsed) return false;
  FUsed += bytes;
  return true;
}

bool TLoadBudget::ChargeEach(std::size_t count, std::size_t bytesEach) {
  if (count != 0 && bytesEach > (FLimit - FUsed) / count) return false;
  return Charge(count * bytesEach);
}

std::size_t TLoadBudget::BlockSize(std::size_t size) {
  return (size + kBlockOverhead + kGranule - 1) / kGranule * kGranule;
}

bool TLoadBudget::ChargeBlock(std::size_t size) { return Charge(BlockSize(size)); }

bool TLoadBudget::ChargeText(std::size_t length, std::size_t unitSize) {
  // The standard strings keep up to 15 bytes in place.
  if (length * unitSize <= 15) return true;
  return ChargeBlock((length + 1) * unitSize);
}

std::string TLoadBudget::RefusalText() const {
  return "it is too large to load: it needs more than " + Megabytes(FLimit) + " of memory (the file has " +
         Megabytes(FFileSize) + ")";
}
