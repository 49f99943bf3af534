#include "tests/editors/generators/DRMGenerator.h"

#include <algorithm>
#include <random>
#include <sstream>

namespace {

const uint8_t kMarker[8] = {0x44, 0x35, 0x53, 0x35, 0x7E, 0x35, 0x05, 0x04};

void Be16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x >> 8);
  v[at + 1] = uint8_t(x);
}
void Be32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (24 - 8 * i));
}
void Le16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}

// Random filler that never holds a zero byte, so no typed picture accidentally looks like the sentinel
// and the marker's first byte never starts a false match.
void Fill(std::vector<uint8_t>& v, size_t from, size_t to, std::mt19937& rng) {
  for (size_t i = from; i < to; ++i) v[i] = uint8_t(0x60 + rng() % 0x20);
}

}  // namespace

std::vector<uint8_t> MakeDRMBmp(int width, int height, size_t length, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(std::max<size_t>(length, 30));
  Fill(v, 0, v.size(), rng);
  v[0] = 'B';
  v[1] = 'M';
  Le16(v, 2, uint32_t(v.size()));
  Le16(v, 18, uint32_t(width));
  v[20] = v[21] = 0;
  Le16(v, 22, uint32_t(height));
  v[24] = v[25] = 0;
  return v;
}

std::vector<uint8_t> MakeDRMGif(int width, int height, size_t length, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(std::max<size_t>(length, 14));
  Fill(v, 0, v.size(), rng);
  const char* sig = "GIF89a";
  std::copy(sig, sig + 6, v.begin());
  Le16(v, 6, uint32_t(width));
  Le16(v, 8, uint32_t(height));
  v.back() = 0x3B;
  return v;
}

std::vector<uint8_t> MakeDRMRaw(int width, int height, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(size_t(width) * size_t(height) * 2);
  for (auto& b : v) b = uint8_t(rng());
  return v;
}

TGenDRM GenerateDRM(const TGenDRMPlan& plan) {
  std::mt19937 rng(plan.Seed);
  TGenDRM g;
  g.Base = plan.Base;
  const uint32_t base = plan.Base;

  // Pictures: RAW ones of an even number of pixels, so every RAW size and offset is a multiple of 4.
  for (int k = 0; k < plan.RawPictures; ++k) {
    TGenPicture p;
    p.Type = "RAW";
    p.Width = 1 + int(rng() % uint32_t(plan.MaxSide));
    p.Height = 2 * (1 + int(rng() % uint32_t((plan.MaxSide + 1) / 2)));
    p.Data = MakeDRMRaw(p.Width, p.Height, rng());
    g.Pictures.push_back(std::move(p));
  }
  g.RawCount = plan.RawPictures;
  for (int j = 0; j < plan.TypedPictures; ++j) {
    TGenPicture p;
    p.Width = 1 + int(rng() % 200);
    p.Height = 1 + int(rng() % 200);
    const size_t length = 40 + rng() % 200 / 2 * 2 + size_t(j % 2);  // odd and even lengths
    if (j % 2 == 0) {
      p.Type = "BMP";
      p.Data = MakeDRMBmp(p.Width, p.Height, length, rng());
    } else {
      p.Type = "GIF";
      p.Data = MakeDRMGif(p.Width, p.Height, length, rng());
    }
    g.Pictures.push_back(std::move(p));
  }

  // Layout: header (0..567, anchor words inside it unless asked otherwise), filler, RAW pixels from D,
  // the descriptor table T, the marker, the typed pictures from M, the sentinel, the pointer table PT,
  // a trailer; or the RAW pixels and their descriptors behind the pointer table.
  uint32_t at = 600;
  const auto placeRaw = [&] {
    g.D = at;
    for (int k = 0; k < g.RawCount; ++k) {
      g.Pictures[size_t(k)].Offset = at;
      at += uint32_t(g.Pictures[size_t(k)].Data.size());
    }
    g.T = at;
    at += 16 * uint32_t(g.RawCount + 2);
  };
  if (!plan.RawBehindTypedTable) {
    placeRaw();
    at += 4 + rng() % 8;
  }
  const uint32_t markerAt = at;
  g.M = markerAt + 8;
  at = g.M + 1 + rng() % 5;  // entry 1 need not be 0
  std::vector<uint32_t> entries{0x12345678u};
  for (int j = 0; j < plan.TypedPictures; ++j) {
    TGenPicture& p = g.Pictures[size_t(g.RawCount + j)];
    p.Offset = at;
    entries.push_back(at - g.M);
    at += uint32_t(p.Data.size());
  }
  entries.push_back(at - g.M);  // the sentinel's entry
  const uint32_t sentinel = at;
  at += 4;
  at = (at + 3) & ~3u;
  if (plan.MisalignTable) at += 2;
  g.PT = at;
  at += 4 * uint32_t(entries.size());
  const uint32_t tableEnd = at;
  if (plan.RawBehindTypedTable) {
    at = (tableEnd + 8 + 3) & ~3u;
    placeRaw();
  }
  uint32_t anchorBlock = 0;
  if (plan.AnchorOutsideHeader) {
    at = (at + 3) & ~3u;
    anchorBlock = at;
    at += 64;
  }
  uint32_t size = at + 16 + rng() % 40;
  size = plan.UnalignedSize ? (size | 3u) - 1 : (size + 3) & ~3u;

  std::vector<uint8_t>& image = g.Image;
  image.assign(size, 0);
  Fill(image, 0, size, rng);
  std::fill(image.begin() + 36, image.begin() + 568, 0);
  Be16(image, 8, base >> 16);
  for (const TGenPicture& p : g.Pictures) std::copy(p.Data.begin(), p.Data.end(), image.begin() + p.Offset);
  // Descriptor k at T + 16k; descriptor RawCount + 1 carries the end of the last picture.
  for (int k = 0; k <= g.RawCount + 1; ++k) {
    const size_t d = g.T + 16 * size_t(k);
    std::fill(image.begin() + long(d), image.begin() + long(d) + 16, 0);
    if (k == 0) continue;
    const bool end = k == g.RawCount + 1;
    const TGenPicture* p = end ? nullptr : &g.Pictures[size_t(k - 1)];
    Be16(image, d, p ? uint32_t(p->Width) : 0);
    Be16(image, d + 2, p ? uint32_t(p->Height) : 0);
    Be32(image, d + 12, (base + (p ? p->Offset : g.T)) >> 1);
  }
  std::copy(kMarker, kMarker + 8, image.begin() + markerAt);
  Be32(image, sentinel, 0);
  for (size_t i = 0; i < entries.size(); ++i) Be32(image, g.PT + 4 * i, entries[i]);
  for (uint32_t i = tableEnd; i < size && i < tableEnd + 4; ++i) image[i] = 0;

  g.P = plan.AnchorOutsideHeader ? anchorBlock + 16 : 64;
  Be32(image, g.P - 12, base + g.PT + 8 + 4 * uint32_t(plan.TypedPictures));
  Be32(image, g.P, base + g.M);
  Be32(image, g.P + 4, base + g.PT);
  Be32(image, g.P + 32, base + g.T);
  Be32(image, g.P + 36, base + g.D);
  // Other header pointer words: before the pictures, at the marker, behind the table.
  Be32(image, 200, base + 580);
  Be32(image, 204, base + markerAt);
  Be32(image, 208, base + tableEnd + 4);
  Be32(image, 212, base - 0x40);
  return g;
}

std::string TGenDRM::Manifest() const {
  std::ostringstream out;
  out << "base " << std::hex << Base << std::dec << "\nsize " << Image.size() << "\nM " << M << " P " << P
      << " PT " << PT << " T " << T << " D " << D << "\nraw " << RawCount << "\n";
  for (size_t i = 0; i < Pictures.size(); ++i) {
    const TGenPicture& p = Pictures[i];
    out << "picture " << i + 1 << " " << p.Type << " " << p.Width << "x" << p.Height << " offset " << p.Offset
        << " size " << p.Data.size() << "\n";
  }
  return out.str();
}
