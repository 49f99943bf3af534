#include "shx-generator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

namespace {

constexpr size_t kHeaderSize = 8172;

void Put32LE(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Put32BE(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

void PutText(std::vector<uint8_t>& b, size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), b.begin() + static_cast<long>(at));
}

std::string Hex2(unsigned v) {
  char s[3];
  std::snprintf(s, sizeof s, "%02X", v & 0xFF);
  return s;
}

std::string Record(char type, unsigned addressBytes, uint32_t address, const uint8_t* data, size_t n) {
  const unsigned count = static_cast<unsigned>(addressBytes + n + 1);
  std::string line = std::string("S") + type + Hex2(count);
  unsigned sum = count;
  for (int i = static_cast<int>(addressBytes) - 1; i >= 0; --i) {
    const unsigned b = (address >> (8 * i)) & 0xFF;
    line += Hex2(b);
    sum += b;
  }
  for (size_t i = 0; i < n; ++i) {
    line += Hex2(data[i]);
    sum += data[i];
  }
  return line + Hex2(~sum & 0xFF);
}

}  // namespace

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::vector<uint8_t> out(size);
  uint64_t x = 0x9E3779B97F4A7C15ull ^ seed;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    out[i] = static_cast<uint8_t>(x >> 24);
  }
  return out;
}

std::vector<uint8_t> MakeRamDownloader(size_t size, uint32_t seed) {
  std::vector<uint8_t> out = RandomBytes(size, seed);
  if (size < 416) return out;
  std::fill(out.begin() + 48, out.begin() + 416, 0xFF);
  Put32BE(out, 248 + 8 * 2, 0x10800000);  // flex: preset pair
  Put32BE(out, 252 + 8 * 2, 0x1087FFFF);
  Put32BE(out, 248 + 8 * 3, 0xFFFF0000);  // DSP: start word left to the table
  Put32BE(out, 252 + 8 * 3, 0x11FFFFFF);
  return out;
}

std::vector<uint8_t> MakeMemoryMap(size_t size, uint32_t seed) {
  std::vector<uint8_t> out = RandomBytes(size, seed);
  if (size < 36) return out;
  Put32BE(out, 28, 0x10000040);
  Put32BE(out, 32, static_cast<uint32_t>(0x10000040 + size - 5));
  return out;
}

std::vector<TShxGroup> RealisticFirmware(size_t flashSize, uint32_t seed) {
  std::vector<TShxGroup> groups;
  groups.push_back({-2, 0x03FD0000, MakeRamDownloader(6001, seed)});
  groups.push_back({0, 0x10000000, MakeMemoryMap(1031, seed + 1)});
  groups.push_back({1, 0x10000000 + 1031, RandomBytes(flashSize, seed + 2)});
  groups.push_back({2, 0x10800000, RandomBytes(4096 + 63, seed + 3)});
  std::vector<uint8_t> lang = RandomBytes(flashSize / 8 + 65, seed + 4);
  lang[0] = 0x11, lang[1] = 0x20, lang[2] = 0x00, lang[3] = 0x00;
  groups.push_back({4, 0x11200000, lang});
  groups.push_back({7, 0x11C00000, RandomBytes(1, seed + 5)});
  std::vector<uint8_t> drm = RandomBytes(flashSize / 4 + 127, seed + 6);
  groups.push_back({15, 0x12000000, drm});
  groups.push_back({18, 0x13FF0000, RandomBytes(64, seed + 7)});
  groups.push_back({20, 0x13FF8000, RandomBytes(128, seed + 8)});
  return groups;
}

std::vector<TShxGroup> SmallFirmware(uint32_t seed) {
  return {{-2, 0x03FD0000, MakeRamDownloader(420, seed)},
          {0, 0x10000000, MakeMemoryMap(40, seed + 1)},
          {1, 0x10000028, RandomBytes(65, seed + 2)},
          {4, 0x11200000, RandomBytes(63, seed + 3)},
          {15, 0x12000000, RandomBytes(1, seed + 4)}};
}

std::vector<uint8_t> BuildSuperfile(const std::vector<TShxGroup>& input, const TShxOptions& options) {
  std::map<int, const TShxGroup*> byCG;
  for (const TShxGroup& g : input)
    if (!g.Data.empty()) byCG[g.CG] = &g;

  std::vector<uint8_t> out(kHeaderSize, 0);
  PutText(out, 0, "P2K Superfile");
  PutText(out, 256, "3.00");
  PutText(out, 288, "2.00");
  PutText(out, 320, options.Date);
  PutText(out, 448, "CSF Protected UNIX Generated Superfile");
  out[718] = 2;
  PutText(out, 784, "2.20");
  Put32LE(out, 944,
          options.Count >= 0 ? static_cast<uint32_t>(options.Count) : static_cast<uint32_t>(byCG.size()));
  for (const auto& [cg, g] : byCG) {
    const size_t e = 948 + 28 * static_cast<size_t>(cg + 2);
    Put32LE(out, e, g->Start);
    Put32LE(out, e + 4, static_cast<uint32_t>(g->Start + g->Data.size() - 1));
    const TShxGroup* headOf = g;
    if (cg == 1) headOf = byCG.count(0) ? byCG[0] : nullptr;
    if (headOf)
      std::copy_n(headOf->Data.begin(), std::min<size_t>(16, headOf->Data.size()),
                  out.begin() + static_cast<long>(e + 8));
    if (cg == 1) {
      uint32_t w = 0;
      for (int i = 0; i < 4; ++i) w |= static_cast<uint32_t>(out[e + 16 + i]) << (8 * i);
      Put32LE(out, e + 16, w + 1);
    }
    unsigned sum = 0;
    for (uint8_t b : g->Data) sum += b;
    out[e + 24] = static_cast<uint8_t>(sum);
    out[e + 25] = static_cast<uint8_t>(sum >> 8);
    out[e + 26] = cg == -2 ? 0 : 8;
  }

  // Blocks: CG 0 carries CG 1 behind it.
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> blocks;
  for (const auto& [cg, g] : byCG) {
    if (cg == 1 && byCG.count(0)) continue;
    std::vector<uint8_t> data = g->Data;
    if (cg == 0 && byCG.count(1)) data.insert(data.end(), byCG[1]->Data.begin(), byCG[1]->Data.end());
    blocks.emplace_back(g->Start, std::move(data));
  }
  std::string text;
  for (size_t b = 0; b < blocks.size(); ++b) {
    const auto& [start, data] = blocks[b];
    text += options.S0Line + "\r\n";
    for (size_t i = 0; i < data.size(); i += 64)
      text +=
          Record('3', 4, static_cast<uint32_t>(start + i), &data[i], std::min<size_t>(64, data.size() - i)) +
          "\r\n";
    if (b + 1 < blocks.size()) text += "S70500000000FA\r\n";
  }
  out.insert(out.end(), text.begin(), text.end());
  uint32_t sum = 0;
  for (uint8_t c : out) sum += c;
  const std::string last = Record('7', 4, 0x43530000u | (sum & 0xFFFF), nullptr, 0);
  out.insert(out.end(), last.begin(), last.end());
  return out;
}

std::vector<std::string> SRecordBlocks(const std::vector<uint8_t>& superfile) {
  std::vector<std::string> blocks;
  if (superfile.size() < kHeaderSize) return blocks;
  std::string text(superfile.begin() + kHeaderSize, superfile.end());
  size_t pos = 0;
  std::string current;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    const std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    current += line + "\n";
    if (line.rfind("S7", 0) == 0) {
      blocks.push_back(current);
      current.clear();
    }
    if (end == std::string::npos) break;
    pos = end + 2;
  }
  return blocks;
}

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::ofstream f(fileName, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + fileName);
}

std::vector<uint8_t> ReadFileBytes(const std::string& fileName) {
  std::ifstream f(fileName, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + fileName);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}
