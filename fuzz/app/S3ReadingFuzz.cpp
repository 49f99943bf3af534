// The fast ways of reading S3 records against the split's record-by-record reading: every run taker
// must take the records a line-by-line reader takes, with the same text, the same data bytes, and
// stop at the same record; every hex-pair decoder must give the one-by-one decoding. Buffers are
// sized exactly on the heap, so that a read or write past their end is caught.
//
// Input: two bytes of output room (big-endian), one byte of alignment, then the text.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "workbench/core/HexPairs.h"

namespace {

// In the order the product lists them, each way only where the processor runs it.
const char* const kTakerNames[] = {"exact", "AVX2", "AVX-512BW"};
const char* const kDecoderNames[] = {"scalar", "SSE2", "AVX2", "AVX-512BW"};

constexpr std::size_t kMaxLine = 255;

uint8_t Digit(uint8_t c) {
  const uint8_t d = static_cast<uint8_t>(c - 48);
  return d > 16 ? static_cast<uint8_t>(d - 7) : d;
}

uint8_t Pair(const uint8_t* text) {
  return static_cast<uint8_t>((Digit(text[0]) << 4) | Digit(text[1]));
}

// Record by record, as the split reads lines: a line ends at the first CR within 256 characters,
// and the CR and the byte after it are skipped. A record is taken while its line, CR and the byte
// after lie in the text, it is an S3 record whose count of 5 to 125 gives exactly its length, its
// checksum holds and its data fit what is left of room.
TS3Records ReadLineByLine(const uint8_t* text, std::size_t avail, std::size_t room,
                          std::vector<uint8_t>& data) {
  TS3Records run;
  for (;;) {
    const uint8_t* line = text + run.Text;
    const std::size_t left = avail - run.Text;
    const auto* cr = static_cast<const uint8_t*>(std::memchr(line, '\r', std::min(left, kMaxLine + 1)));
    if (cr == nullptr) return run;
    const std::size_t length = static_cast<std::size_t>(cr - line);
    if (length + 2 > left || length < 4 || line[0] != 'S' || line[1] != '3') return run;
    const unsigned count = Pair(line + 2);
    if (count < 5 || count - 5 > kMaxS3Data || length != 14 + 2 * (count - 5) || count - 5 > room - run.Data)
      return run;
    uint32_t sum = count;
    std::vector<uint8_t> bytes;
    for (std::size_t i = 4; i + 2 < length; i += 2) {
      const uint8_t byte = Pair(line + i);
      sum += byte;
      if (i >= 12) bytes.push_back(byte);
    }
    if (((sum + Pair(line + length - 2)) & 0xFF) != 0xFF) return run;
    data.insert(data.end(), bytes.begin(), bytes.end());
    run.Text += length + 2;
    run.Data += bytes.size();
  }
}

[[noreturn]] void Disagree(const char* kind, const char* name, const std::string& what) {
  std::fprintf(stderr, "%s %s disagrees with the line-by-line reading: %s\n", kind, name, what.c_str());
  std::abort();
}

void CheckTakers(const uint8_t* text, std::size_t avail, std::size_t room) {
  std::vector<uint8_t> expected;
  const TS3Records reference = ReadLineByLine(text, avail, room, expected);
  static const std::vector<TS3RecordsTaker> takers = S3RecordsTakers();
  for (std::size_t t = 0; t < takers.size(); ++t) {
    const std::unique_ptr<uint8_t[]> out(new uint8_t[room]);
    const TS3Records run = takers[t](text, avail, out.get(), room);
    if (run.Text != reference.Text)
      Disagree("taker", kTakerNames[t],
               "text " + std::to_string(run.Text) + " instead of " + std::to_string(reference.Text));
    if (run.Data != reference.Data)
      Disagree("taker", kTakerNames[t],
               "data " + std::to_string(run.Data) + " instead of " + std::to_string(reference.Data));
    if (run.Data > 0 && std::memcmp(out.get(), expected.data(), run.Data) != 0)
      Disagree("taker", kTakerNames[t], "other data bytes");
  }
}

void CheckDecoders(const uint8_t* text, std::size_t count) {
  std::vector<uint8_t> expected(count);
  uint32_t sum = 0;
  bool hasCR = false;
  for (std::size_t i = 0; i < count; ++i) {
    expected[i] = Pair(text + 2 * i);
    sum += expected[i];
    hasCR = hasCR || text[2 * i] == '\r' || text[2 * i + 1] == '\r';
  }
  static const std::vector<THexPairsDecoder> decoders = HexPairsDecoders();
  for (std::size_t d = 0; d < decoders.size(); ++d) {
    const std::unique_ptr<uint8_t[]> out(new uint8_t[count]);
    const THexPairsDecoded decoded = decoders[d](text, count, out.get());
    if (decoded.Sum != sum) Disagree("decoder", kDecoderNames[d], "sum");
    if (decoded.HasCR != hasCR) Disagree("decoder", kDecoderNames[d], "CR");
    if (count > 0 && std::memcmp(out.get(), expected.data(), count) != 0)
      Disagree("decoder", kDecoderNames[d], "bytes");
  }
}

// The decoders on a copy of count pairs in a buffer of exactly their size.
void CheckDecodersOn(const uint8_t* text, std::size_t count) {
  const std::unique_ptr<uint8_t[]> exact(new uint8_t[2 * count]);
  if (count > 0) std::memcpy(exact.get(), text, 2 * count);
  CheckDecoders(exact.get(), count);
}

// The ways this processor cannot run, after those it can.
std::string Skipped(const char* kind, const char* const* names, std::size_t all, std::size_t run) {
  std::string text;
  for (std::size_t i = run; i < all; ++i)
    text += std::string(text.empty() ? "" : ", ") + names[i] + " " + kind;
  return text;
}

}  // namespace

// Says once, at the start, which ways are not compared here.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string skipped = Skipped("taker", kTakerNames, std::size(kTakerNames), S3RecordsTakers().size());
  const std::string decoders =
      Skipped("decoder", kDecoderNames, std::size(kDecoderNames), HexPairsDecoders().size());
  if (!decoders.empty()) skipped += (skipped.empty() ? "" : ", ") + decoders;
  std::fprintf(
      stderr, "S3 reading: %s\n",
      skipped.empty() ? "every taker and decoder runs" : ("skipped on this processor: " + skipped).c_str());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const std::size_t avail = size - 3;
  const std::size_t room = std::min<std::size_t>((std::size_t{data[0]} << 8) | data[1], avail);
  const std::size_t shift = data[2] % 64;
  // The text ends where its allocation ends; its start moves through the alignments.
  const std::unique_ptr<uint8_t[]> buffer(new uint8_t[shift + avail]);
  uint8_t* const text = buffer.get() + shift;
  if (avail > 0) std::memcpy(text, data + 3, avail);
  // The decoders first, as the takers decode with the fastest of them: on the text's whole pairs,
  // and on the characters of each line after its "S3", count and address, where the data stand.
  CheckDecodersOn(text, avail / 2);
  for (std::size_t at = 0; at < avail;) {
    const auto* cr = static_cast<const uint8_t*>(std::memchr(text + at, '\r', avail - at));
    const std::size_t end = cr ? static_cast<std::size_t>(cr - text) : avail;
    if (end > at + 12) CheckDecodersOn(text + at + 12, (end - at - 12) / 2);
    at = end + 1;
  }
  CheckTakers(text, avail, room);
  return 0;
}
