#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Where FindDRMTables found the tables (image offsets); J is the typed table's count word.
struct TDRMTables {
  uint32_t M = 0, P = 0, PT = 0, T = 0, D = 0, J = 0;
};

// One row of the picture table.
struct TDRMPicture {
  int32_t No = 0;
  std::string Name;
  std::string Type;
  int32_t Width = 0;
  int32_t Height = 0;
  uint32_t Address = 0;
  int32_t Size = 0;
  std::string Remark;
  bool operator==(const TDRMPicture&) const = default;
};

struct TDRMListing {
  std::vector<TDRMPicture> Pictures;  // RAW pictures 1..RawCount, then the typed ones
  int RawCount = 0;
  bool Complete = true;  // false: the listing stopped at a damaged descriptor or table entry
  std::string Problem;
};

// A DRM image (code group 15) held whole in memory. Every read is checked against the image; a
// replacement either yields an image whose fresh listing is the edited table, or throws EDRMError and
// leaves the image as it was.
class TDRMImage {
public:
  static constexpr size_t MinImageSize = 10;

  explicit TDRMImage(std::vector<uint8_t> image);

  const std::vector<uint8_t>& Image() const { return FImage; }
  uint32_t Base() const { return FBase; }

  std::optional<TDRMTables> FindDRMTables() const;
  TDRMListing List() const;
  // The `size` bytes at `address`, as exported.
  std::vector<uint8_t> PictureData(uint32_t address, int32_t size) const;
  // Replaces picture `no` with `data`; a RAW picture takes `width` and `height` into its descriptor.
  // Returns the listing of the new image.
  TDRMListing Replace(int32_t no, std::span<const uint8_t> data, int32_t width, int32_t height);

private:
  std::vector<uint8_t> FImage;
  uint32_t FBase = 0;
};
