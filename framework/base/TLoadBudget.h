#pragma once

#include <cstddef>
#include <string>

// The memory a file's load may take, charged while the file is parsed, so that what would need
// more is refused before it is built and before memory runs out. A load may hold about
// kLoadFactor times its file's size, the file's own bytes included; never less than
// kMinLoadBudget (small files always load) nor more than kMaxLoadBudget.
class TLoadBudget {
public:
  static constexpr std::size_t kLoadFactor = 4;
  static constexpr std::size_t kMinLoadBudget = std::size_t{128} << 20;
  static constexpr std::size_t kMaxLoadBudget = std::size_t{1} << 30;

  // The file's bytes are charged first: a file that alone exceeds the budget does not fit.
  explicit TLoadBudget(std::size_t fileSize);

  // false when the file alone exceeds the budget; nothing else fits then.
  bool FileFits() const { return FFileFits; }
  // false, and nothing charged, when bytes do not fit.
  bool Charge(std::size_t bytes);
  bool ChargeEach(std::size_t count, std::size_t bytesEach);
  // One heap block of size bytes, as the allocator hands it out.
  bool ChargeBlock(std::size_t size);
  // A text value's heap block: length units of unitSize bytes; short texts live in place.
  bool ChargeText(std::size_t length, std::size_t unitSize);

  // The bytes a heap block of size bytes takes, as the allocator hands it out.
  static std::size_t BlockSize(std::size_t size);

  // Why a charge failed: "it is too large to load: ...".
  std::string RefusalText() const;

private:
  std::size_t FFileSize;
  std::size_t FLimit;
  std::size_t FUsed = 0;
  bool FFileFits = true;
};
