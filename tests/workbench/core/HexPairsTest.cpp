#include "workbench/core/HexPairs.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The pair's byte as the superfile tools define it, one character at a time.
uint8_t Expected(uint8_t first, uint8_t second) {
  const auto digit = [](uint8_t c) {
    unsigned d = (c - 48u) & 0xFF;
    return d > 16 ? (d - 7) & 0xFF : d;
  };
  return static_cast<uint8_t>(((digit(first) << 4) | digit(second)) & 0xFF);
}

std::vector<uint8_t> Decode(const std::string& text, uint32_t* sum = nullptr) {
  std::vector<uint8_t> out(text.size() / 2);
  const uint32_t s =
      DecodeHexPairs(reinterpret_cast<const uint8_t*>(text.data()), out.size(), out.data()).Sum;
  if (sum) *sum = s;
  return out;
}

}  // namespace

TEST(HexPairs, UpperCaseDecodesAndLowerCaseAsTheToolsAlwaysDid) {
  // 32 pairs, so that the vector path decodes them.
  const std::string upper = "00010A0F10A0F0FF7E80C35A9BDEAD3C00010A0F10A0F0FF7E80C35A9BDEAD3C";
  const std::vector<uint8_t> bytes = {0x00, 0x01, 0x0A, 0x0F, 0x10, 0xA0, 0xF0, 0xFF,
                                      0x7E, 0x80, 0xC3, 0x5A, 0x9B, 0xDE, 0xAD, 0x3C};
  std::vector<uint8_t> twice = bytes;
  twice.insert(twice.end(), bytes.begin(), bytes.end());
  uint32_t sum = 0;
  EXPECT_EQ(Decode(upper, &sum), twice);
  uint32_t expectedSum = 0;
  for (uint8_t b : twice) expectedSum += b;
  EXPECT_EQ(sum, expectedSum);
  // A lower-case letter gives the digit 42 to 47: right as the first digit of a pair (its low four
  // bits are kept), wrong as the second.
  std::string lower = upper;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::vector<uint8_t> got = Decode(lower);
  for (size_t i = 0; i < got.size(); ++i)
    EXPECT_EQ(got[i], Expected(static_cast<uint8_t>(lower[2 * i]), static_cast<uint8_t>(lower[2 * i + 1])))
        << i;
  EXPECT_EQ(Decode(std::string(16, '0') + "0a" + std::string(14, '0'))[8], 0x2A);
  EXPECT_EQ(Decode(std::string(16, '0') + "a0" + std::string(14, '0'))[8], 0xA0);
  EXPECT_EQ(HexPair(reinterpret_cast<const uint8_t*>("0a")), 0x2A);
}

TEST(HexPairs, EveryDecoderGivesTheToolsByteForEveryCharacterAtEveryPosition) {
  // 119 pairs take every step of every decoder: 64, 32, 16 and 4 pairs at a time, then one by one.
  // Each character value goes once into each position, among digits that differ per position, so
  // that a lane mixed up shows.
  std::string base;
  for (int i = 0; i < 2 * 119; ++i) base += "0123456789ABCDEF"[(i * 7) & 15];
  std::vector<uint8_t> baseBytes;
  uint32_t baseSum = 0;
  for (size_t i = 0; i < base.size(); i += 2) {
    baseBytes.push_back(Expected(static_cast<uint8_t>(base[i]), static_cast<uint8_t>(base[i + 1])));
    baseSum += baseBytes.back();
  }
  const std::vector<THexPairsDecoder> decoders = HexPairsDecoders();
  ASSERT_GE(decoders.size(), 1u);
  for (size_t d = 0; d < decoders.size(); ++d) {
    for (int value = 0; value < 256; ++value) {
      for (size_t at = 0; at < base.size(); ++at) {
        std::string text = base;
        text[at] = static_cast<char>(value);
        std::vector<uint8_t> want = baseBytes;
        const size_t pair = at / 2;
        want[pair] = Expected(static_cast<uint8_t>(text[2 * pair]), static_cast<uint8_t>(text[2 * pair + 1]));
        std::vector<uint8_t> got(want.size());
        const THexPairsDecoded decoded =
            decoders[d](reinterpret_cast<const uint8_t*>(text.data()), got.size(), got.data());
        ASSERT_EQ(got, want) << "decoder " << d << ", character " << value << " at " << at;
        ASSERT_EQ(decoded.HasCR, value == '\r') << "decoder " << d << ", character " << value << " at " << at;
        ASSERT_EQ(decoded.Sum, baseSum - baseBytes[pair] + want[pair])
            << "decoder " << d << ", character " << value << " at " << at;
      }
    }
  }
}

TEST(HexPairs, EveryDecoderWritesExactlyTheBytesOfAnyCount) {
  std::string text;
  for (int i = 0; i < 2 * 140; ++i) text += "FEDCBA9876543210"[(i * 5 + 3) & 15];
  const std::vector<THexPairsDecoder> decoders = HexPairsDecoders();
  for (size_t d = 0; d < decoders.size(); ++d) {
    for (size_t count = 0; count <= 140; ++count) {
      std::vector<uint8_t> out(count + 64, 0x55);
      const uint32_t sum = decoders[d](reinterpret_cast<const uint8_t*>(text.data()), count, out.data()).Sum;
      uint32_t expectedSum = 0;
      for (size_t i = 0; i < count; ++i) {
        const uint8_t want =
            Expected(static_cast<uint8_t>(text[2 * i]), static_cast<uint8_t>(text[2 * i + 1]));
        ASSERT_EQ(out[i], want) << "decoder " << d << ", " << count << " pairs, byte " << i;
        expectedSum += want;
      }
      EXPECT_EQ(sum, expectedSum) << "decoder " << d << ", " << count << " pairs";
      for (size_t i = count; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0x55) << "decoder " << d << ", " << count << " pairs wrote byte " << i;
    }
  }
}

namespace {

std::string HexByte(unsigned value) {
  const char* digits = "0123456789ABCDEF";
  return {digits[(value >> 4) & 15], digits[value & 15]};
}

// An S3 record of dataCount bytes with a sound checksum, CR and LF.
std::string Record(uint32_t address, size_t dataCount, unsigned seed) {
  std::string line = "S3" + HexByte(static_cast<unsigned>(dataCount + 5));
  unsigned sum = static_cast<unsigned>(dataCount + 5);
  for (int shift = 24; shift >= 0; shift -= 8) {
    line += HexByte((address >> shift) & 0xFF);
    sum += (address >> shift) & 0xFF;
  }
  for (size_t i = 0; i < dataCount; ++i) {
    const unsigned byte = (seed * 131 + static_cast<unsigned>(i) * 77 + 5) & 0xFF;
    line += HexByte(byte);
    sum += byte;
  }
  return line + HexByte(0xFF - (sum & 0xFF)) + "\r\n";
}

// What TakeS3Records must give, one record and one character at a time.
TS3Records Model(const std::string& text, size_t room, std::vector<uint8_t>& data) {
  TS3Records run;
  for (;;) {
    const size_t at = run.Text, avail = text.size() - at;
    if (avail < 16 || text.compare(at, 2, "S3") != 0) return run;
    const auto pair = [&](size_t i) {
      return Expected(static_cast<uint8_t>(text[i]), static_cast<uint8_t>(text[i + 1]));
    };
    const unsigned count = pair(at + 2);
    if (count < 5 || count - 5 > kMaxS3Data || count - 5 > room - run.Data) return run;
    const size_t length = 4 + 2 * count;
    if (length + 2 > avail || text[at + length] != '\r') return run;
    if (text.find('\r', at + 2) < at + length) return run;
    unsigned sum = 0;
    for (size_t i = at + 2; i < at + length; i += 2) sum += pair(i);
    if ((sum & 0xFF) != 0xFF) return run;
    for (size_t i = at + 12; i < at + length - 2; i += 2) data.push_back(pair(i));
    run.Text += length + 2;
    run.Data += count - 5;
  }
}

// Pages between two pages that may not be touched: text laid against either guard makes a taker
// that reads before or past it fault.
class TGuardedText {
public:
  TGuardedText() {
    FPage = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    FBase = static_cast<uint8_t*>(
        mmap(nullptr, kSize + 2 * FPage, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (FBase == MAP_FAILED || mprotect(FBase + FPage, kSize, PROT_READ | PROT_WRITE) != 0) std::abort();
  }
  ~TGuardedText() { munmap(FBase, kSize + 2 * FPage); }
  // The text laid from the first usable byte, or up to the last.
  const uint8_t* Lay(const std::string& text, bool atEnd) {
    if (text.size() > kSize) std::abort();
    uint8_t* at = FBase + FPage + (atEnd ? kSize - text.size() : 0);
    std::memcpy(at, text.data(), text.size());
    return at;
  }

private:
  static constexpr size_t kSize = 128 * 1024;
  size_t FPage;
  uint8_t* FBase;
};

// Each taker against the model, on text with room for room bytes; nothing before out or past room
// is written, and nothing outside the text is read.
TS3Records ExpectTakersAgree(const std::string& text, size_t room, const std::string& what) {
  static TGuardedText guarded;
  constexpr size_t kGuard = 64;
  std::vector<uint8_t> want;
  const TS3Records model = Model(text, room, want);
  const std::vector<TS3RecordsTaker> takers = S3RecordsTakers();
  for (size_t t = 0; t < takers.size(); ++t) {
    for (const bool atEnd : {false, true}) {
      const std::string where = "taker " + std::to_string(t) + (atEnd ? ", text at the end, " : ", ") + what;
      std::vector<uint8_t> out(kGuard + room + kGuard, 0x55);
      const TS3Records got = takers[t](guarded.Lay(text, atEnd), text.size(), out.data() + kGuard, room);
      EXPECT_EQ(got.Text, model.Text) << where;
      EXPECT_EQ(got.Data, model.Data) << where;
      EXPECT_TRUE(std::equal(want.begin(), want.end(), out.begin() + kGuard)) << where;
      size_t wrote = 0;  // the first byte written outside the room, counted from out's guard
      while (wrote < out.size() && (out[wrote] == 0x55 || (wrote >= kGuard && wrote < kGuard + room)))
        ++wrote;
      EXPECT_EQ(wrote, out.size()) << "wrote byte " << wrote << " of out and its guards, " << where;
    }
  }
  return model;
}

}  // namespace

TEST(S3Records, EveryTakerTakesRunsOfEveryCountAndStopsAtTheEndOfTheTextOrTheRoom) {
  // Every data count, each in a run of three, so that runs of one count begin and end; with room
  // for all three and for all but the last byte.
  std::string text;
  size_t data = 0;
  for (size_t count = 0; count <= kMaxS3Data; ++count) {
    std::string run;
    for (unsigned k = 0; k < 3; ++k, data += count)
      run += Record(0x10000000u + static_cast<uint32_t>(data), count, static_cast<unsigned>(count * 3 + k));
    EXPECT_EQ(ExpectTakersAgree(run, 3 * count, "count " + std::to_string(count)).Data, 3 * count);
    if (count > 0) ExpectTakersAgree(run, 3 * count - 1, "count " + std::to_string(count) + " less a byte");
    text += run;
  }
  text += "S70500000000FA\r\n";
  EXPECT_EQ(ExpectTakersAgree(text, data, "all counts").Data, data);
  // A record is taken only whole with its CR and the byte after it, and its data only whole in the
  // room; in runs of four of the counts whose data the vector takers read and write in whole or
  // partial steps, in an odd or even number of them, and with none.
  for (const size_t count : {size_t{0}, size_t{1}, size_t{48}, size_t{64}, size_t{65}, size_t{120}}) {
    std::string run;
    for (unsigned k = 0; k < 4; ++k)
      run += Record(0x1000 + static_cast<uint32_t>(k * count), count, static_cast<unsigned>(count + k));
    const std::string of = " of " + std::to_string(count) + "-byte records";
    for (size_t end = 0; end <= run.size(); ++end)
      ExpectTakersAgree(run.substr(0, end), 4 * count, "text of " + std::to_string(end) + of);
    for (size_t room = 0; room <= 4 * count; ++room)
      ExpectTakersAgree(run, room, "room of " + std::to_string(room) + of);
  }
  // Where the processor has AVX2, a vector taker is among those tested.
  __builtin_cpu_init();
  EXPECT_GE(S3RecordsTakers().size(), __builtin_cpu_supports("avx2") ? 2u : 1u);
}

TEST(S3Records, EveryTakerLeavesARecordWithACRABadCharacterOrABadChecksumToTheCaller) {
  // Runs of 0 to 120 data bytes, read in whole and partial steps: the bad record in the middle of
  // each, at every position of the head, of each step of the data, of the checksum and of the CR
  // and LF, whose other records are still taken.
  for (const size_t count :
       {size_t{0}, size_t{1}, size_t{20}, size_t{48}, size_t{64}, size_t{65}, size_t{120}}) {
    const std::string good = Record(0x2000, count, 7);
    const std::string before = Record(0x1000, count, 6),
                      after = Record(0x3000, count, 8) + Record(0x4000, count, 9);
    for (size_t at = 2; at < good.size(); ++at) {
      // A CR, characters that are no digit below 16 (of which a lower-case letter first in a pair
      // gives the upper-case byte), and a digit that breaks the checksum.
      const char changed = good[at] == '0' ? '1' : '0';
      for (const char c : {'\r', 'G', '@', 'a', 'f', '/', '\x80', '\xFF', changed}) {
        std::string bad = good;
        bad[at] = c;
        if (c == 'a' || c == 'f')
          bad[at] = static_cast<char>(std::tolower(static_cast<unsigned char>(good[at])));
        ExpectTakersAgree(before + bad + after, 4 * count,
                          std::to_string(count) + " bytes, character " +
                              std::to_string(static_cast<uint8_t>(c)) + " at " + std::to_string(at));
      }
    }
  }
}
