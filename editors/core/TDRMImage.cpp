#include "editors/core/TDRMImage.h"

#include "editors/core/EDRMError.h"
#include "framework/base/ByteOrder.h"

#include <algorithm>
#include <array>
#include <cstring>

using namespace ByteOrder;

namespace {

constexpr std::array<uint8_t, 8> kMarker = {0x44, 0x35, 0x53, 0x35, 0x7E, 0x35, 0x05, 0x04};
constexpr uint32_t kFirstPointerByte = 36;  // header pointer words 9 to 141
constexpr uint32_t kPointerEnd = 568;

int64_t RoundUp4(int64_t v) {
  const int64_t r = v % 4;
  if (r == 0) return v;
  return v > 0 ? v + 4 - r : v - r;
}

bool SameTable(const std::vector<TDRMPicture>& a, const std::vector<TDRMPicture>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].No != b[i].No || a[i].Type != b[i].Type || a[i].Width != b[i].Width ||
        a[i].Height != b[i].Height || a[i].Address != b[i].Address || a[i].Size != b[i].Size) {
      return false;
    }
  }
  return true;
}

}  // namespace

TDRMImage::TDRMImage(std::vector<uint8_t> image) : FImage(std::move(image)) {
  if (FImage.size() < MinImageSize) throw EDRMError("Damaged DRM image: it is shorter than 10 bytes.");
  if (FImage.size() > 0x7FFFFFFF) throw EDRMError("The DRM image is too large.");
  FBase = uint32_t{ReadBE16(FImage.data() + 8)} << 16;
}

std::optional<TDRMTables> TDRMImage::FindDRMTables() const {
  const auto found = std::search(FImage.begin(), FImage.end(), kMarker.begin(), kMarker.end());
  if (found == FImage.end()) return std::nullopt;
  TDRMTables t;
  t.M = static_cast<uint32_t>(found - FImage.begin()) + 8;
  const uint32_t anchor = FBase + t.M;
  const size_t words = FImage.size() / 4;
  size_t w = 0;
  while (w < words && ReadBE32(&FImage[4 * w]) != anchor) ++w;
  if (w == words) return std::nullopt;
  t.P = static_cast<uint32_t>(4 * w);
  if (t.P < 12 || !Inside(t.P, 40, FImage.size())) return std::nullopt;
  t.PT = ReadBE32(&FImage[t.P + 4]) - FBase;
  t.T = ReadBE32(&FImage[t.P + 32]) - FBase;
  t.D = ReadBE32(&FImage[t.P + 36]) - FBase;
  t.J = (ReadBE32(&FImage[t.P - 12]) - FBase - t.PT - 8) / 4;
  return t;
}

TDRMListing TDRMImage::List() const {
  TDRMListing list;
  const auto tables = FindDRMTables();
  if (!tables) return list;
  const TDRMTables& t = *tables;
  const uint64_t size = FImage.size();
  auto stop = [&](const std::string& why) {
    list.Complete = false;
    list.Problem = why;
  };

  uint64_t d = t.D;
  uint64_t desc = uint64_t{t.T} + 16;
  for (int32_t k = 1; k == 1 ? d + 4 < t.T : d < t.T; ++k) {
    if (!Inside(desc, 32, size)) {
      stop("RAW descriptor " + std::to_string(k) + " lies outside the image.");
      return list;
    }
    const uint8_t* p = &FImage[desc];
    const int64_t bytes = int64_t{static_cast<int32_t>(ReadBE32(p + 28) - ReadBE32(p + 12))} * 2;
    if (bytes <= 0 || !Inside(d, static_cast<uint64_t>(bytes), size) || bytes > 0x7FFFFFFF) {
      stop("RAW picture " + std::to_string(k) + " has no valid size.");
      return list;
    }
    TDRMPicture row;
    row.No = k;
    row.Type = "RAW";
    row.Width = ReadBE16(p);
    row.Height = ReadBE16(p + 2);
    row.Address = FBase + static_cast<uint32_t>(d);
    row.Size = static_cast<int32_t>(bytes);
    list.Pictures.push_back(std::move(row));
    d += static_cast<uint64_t>(bytes);
    desc += 16;
  }
  list.RawCount = static_cast<int>(list.Pictures.size());

  for (uint64_t j = 1;; ++j) {
    const uint64_t entry = uint64_t{t.PT} + 4 * j;
    if (!Inside(entry, 8, size)) {
      stop("The typed picture table has no end.");
      return list;
    }
    const uint32_t start = ReadBE32(&FImage[entry]);
    const uint64_t data = uint64_t{t.M} + start;
    if (!Inside(data, 4, size)) {
      stop("Typed picture " + std::to_string(j) + " lies outside the image.");
      return list;
    }
    if (ReadBE32(&FImage[data]) == 0) break;
    const int64_t bytes = static_cast<int32_t>(ReadBE32(&FImage[entry + 4]) - start);
    if (bytes <= 0 || !Inside(data, static_cast<uint64_t>(bytes), size)) {
      stop("Typed picture " + std::to_string(j) + " has no valid size.");
      return list;
    }
    const uint8_t* p = &FImage[data];
    const bool bitmap = p[0] == 'B';
    if (!Inside(data, bitmap ? 24 : 10, size)) {
      stop("The header of typed picture " + std::to_string(j) + " lies outside the image.");
      return list;
    }
    TDRMPicture row;
    row.No = list.RawCount + static_cast<int32_t>(j);
    row.Type = std::string(reinterpret_cast<const char*>(p), 3);
    if (bitmap) row.Type[2] = 'P';
    row.Width = ReadLE16(p + (bitmap ? 18 : 6));
    row.Height = ReadLE16(p + (bitmap ? 22 : 8));
    row.Address = FBase + static_cast<uint32_t>(data);
    row.Size = static_cast<int32_t>(bytes);
    list.Pictures.push_back(std::move(row));
  }
  return list;
}

std::vector<uint8_t> TDRMImage::PictureData(uint32_t address, int32_t size) const {
  const uint32_t offset = address - FBase;
  if (size <= 0 || !Inside(offset, static_cast<uint64_t>(size), FImage.size())) {
    throw EDRMError("The picture lies outside the image.");
  }
  return std::vector<uint8_t>(FImage.begin() + offset, FImage.begin() + offset + size);
}

TDRMListing TDRMImage::Replace(int32_t no, std::span<const uint8_t> data, int32_t width, int32_t height) {
  const TDRMListing before = List();
  if (!before.Complete)
    throw EDRMError("The picture tables are damaged (" + before.Problem + "); nothing was replaced.");
  const auto row = std::find_if(before.Pictures.begin(), before.Pictures.end(),
                                [no](const TDRMPicture& p) { return p.No == no; });
  if (row == before.Pictures.end()) throw EDRMError("There is no picture " + std::to_string(no) + ".");
  const bool raw = no <= before.RawCount;
  const TDRMTables t = *FindDRMTables();
  const uint32_t size = static_cast<uint32_t>(FImage.size());
  const uint32_t off = row->Address - FBase;
  const int64_t old = row->Size;
  const int64_t n = static_cast<int64_t>(data.size());
  const int64_t delta = n - old;
  if (n <= 0 || n > 0x7FFFFFFF - int64_t{size}) throw EDRMError("The new picture is empty or too large.");
  if (raw && delta % 4 != 0) {
    throw EDRMError("A RAW picture can only be replaced by one whose size differs by a multiple of 4 bytes.");
  }
  if (raw && (width < 0 || width > 0xFFFF || height < 0 || height > 0xFFFF)) {
    throw EDRMError("The width and height of a RAW picture must lie between 0 and 65535.");
  }
  if (off < kPointerEnd) throw EDRMError("The picture lies inside the image header; nothing was replaced.");
  for (uint32_t a : {t.P - 12, t.P, t.P + 4, t.P + 32, t.P + 36}) {
    const uint32_t target = ReadBE32(&FImage[a]) - FBase;
    const bool moves = off < target && target < size;
    if (moves && !(a >= kFirstPointerByte && a + 4 <= kPointerEnd)) {
      throw EDRMError(
          "The table anchor lies outside the image header and would not follow; nothing was replaced.");
    }
  }
  if (!raw) {
    if (int64_t{t.PT} + 4 < int64_t{off} + old || !Inside(t.PT, 4 * (uint64_t{t.J} + 2), size)) {
      throw EDRMError("The typed picture table does not lie behind the picture; nothing was replaced.");
    }
  }

  int64_t newSize = RoundUp4(int64_t{size} + delta);
  int64_t tailAt = 0;
  if (!raw) {
    tailAt = RoundUp4(int64_t{t.PT} + 4 + delta);
    newSize = std::max(newSize, tailAt + (int64_t{size} - t.PT - 4));
  }
  std::vector<uint8_t> image(static_cast<size_t>(newSize), 0);
  std::copy_n(FImage.begin(), off, image.begin());
  std::copy(data.begin(), data.end(), image.begin() + off);
  if (raw) {
    std::copy(FImage.begin() + off + old, FImage.end(), image.begin() + off + n);
  } else {
    std::copy(FImage.begin() + off + old, FImage.begin() + t.PT + 4, image.begin() + off + n);
    std::copy(FImage.begin() + t.PT + 4, FImage.end(), image.begin() + tailAt);
  }

  const int64_t shift = RoundUp4(delta);
  for (uint32_t a = kFirstPointerByte; a < kPointerEnd; a += 4) {
    const uint32_t target = ReadBE32(&image[a]) - FBase;
    if (off < target && target < size) {
      WriteBE32(&image[a], static_cast<uint32_t>(target + shift) + FBase);
    }
  }

  // Where a byte of the old image lies in the new one (bytes before the picture stay).
  const auto moved = [&](int64_t o) -> int64_t {
    if (o < int64_t{off} + old) return o;
    if (raw || o < int64_t{t.PT} + 4) return o + delta;
    return o - (int64_t{t.PT} + 4) + tailAt;
  };

  TDRMImage result(std::move(image));
  const auto nt = result.FindDRMTables();
  if (!nt) throw EDRMError("The picture tables are lost by the replacement; nothing was replaced.");
  std::vector<uint8_t>& out = result.FImage;
  std::vector<TDRMPicture> expected = before.Pictures;
  for (TDRMPicture& p : expected) {
    if (p.No != no) p.Address = static_cast<uint32_t>(moved(int64_t{p.Address} - FBase) + FBase);
  }
  TDRMPicture& edited = expected[static_cast<size_t>(row - before.Pictures.begin())];
  edited.Size = static_cast<int32_t>(n);

  // The RAW descriptors hold the pictures' addresses in 16-bit units: each follows its pixels to
  // wherever they moved, whichever of the two tables lies first in the image.
  const uint64_t firstDesc = uint64_t{nt->T} + 16;
  const uint64_t lastDesc = uint64_t{nt->T} + 16 * (uint64_t(before.RawCount) + 1);
  if (before.RawCount > 0 && (!Inside(firstDesc, 16, out.size()) || !Inside(lastDesc, 16, out.size()))) {
    throw EDRMError("The RAW descriptors are lost by the replacement; nothing was replaced.");
  }
  for (uint64_t d = firstDesc; before.RawCount > 0 && d <= lastDesc; d += 16) {
    const int64_t at = 2 * int64_t{ReadBE32(&out[d + 12])} - FBase;
    if (at > int64_t{off} && at <= int64_t{size}) {
      WriteBE32(&out[d + 12], static_cast<uint32_t>((moved(at) + FBase) >> 1));
    }
  }
  if (raw) {
    const uint64_t desc = uint64_t{nt->T} + 16 * uint64_t(no);
    WriteBE16(&out[desc], static_cast<uint16_t>(width));
    WriteBE16(&out[desc + 2], static_cast<uint16_t>(height));
    edited.Width = width;
    edited.Height = height;
  } else {
    const uint64_t j = static_cast<uint64_t>(no - before.RawCount);
    if (!Inside(nt->PT, 4 * (uint64_t{t.J} + 2), out.size())) {
      throw EDRMError("The typed picture table is lost by the replacement; nothing was replaced.");
    }
    for (uint64_t i = j + 1; i <= uint64_t{t.J} + 1; ++i) {
      uint8_t* e = &out[nt->PT + 4 * i];
      WriteBE32(e, ReadBE32(e) + static_cast<uint32_t>(delta));
    }
  }

  TDRMListing after = result.List();
  if (!raw && after.Complete) {
    // The new picture's kind and size come from its own data.
    for (const TDRMPicture& p : after.Pictures) {
      if (p.No == no) {
        edited.Type = p.Type;
        edited.Width = p.Width;
        edited.Height = p.Height;
      }
    }
  }
  if (!after.Complete || after.RawCount != before.RawCount || !SameTable(after.Pictures, expected)) {
    throw EDRMError("The picture tables would not follow the replacement; nothing was replaced.");
  }
  *this = std::move(result);
  return after;
}
