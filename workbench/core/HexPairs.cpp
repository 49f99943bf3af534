#include "workbench/core/HexPairs.h"

#include <algorithm>
#include <iterator>
#include <vector>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#define TARVEX_HEX_X86 1
#endif

namespace {

// Pairs from..count-1, one by one.
inline THexPairsDecoded DecodeOneByOne(const uint8_t* text, std::size_t from, std::size_t count, uint8_t* out,
                                       THexPairsDecoded result) {
  for (std::size_t i = from; i < count; ++i) {
    out[i] = HexPair(text + 2 * i);
    result.Sum += out[i];
    result.HasCR = result.HasCR || text[2 * i] == '\r' || text[2 * i + 1] == '\r';
  }
  return result;
}

// The data count of the S3 record at line when TakeS3Records takes it, its data decoded to out;
// else -1.
int TakeS3Exactly(const uint8_t* line, std::size_t avail, uint8_t* out, std::size_t room) {
  if (avail < 16 || line[0] != 'S' || line[1] != '3') return -1;
  const unsigned count = HexPair(line + 2);
  const std::size_t dataCount = count - 5u;
  if (count < 5 || dataCount > kMaxS3Data || dataCount > room) return -1;
  // "S3", count, address, data, checksum.
  const std::size_t length = 14 + 2 * dataCount;
  if (length + 2 > avail || line[length] != '\r') return -1;
  bool cr = false;
  uint32_t sum = count;
  for (std::size_t i = 2; i < 12; ++i) cr = cr || line[i] == '\r';
  for (std::size_t i = 4; i < 12; i += 2) sum += HexPair(line + i);
  const uint8_t* checksum = line + length - 2;
  const THexPairsDecoded data = DecodeHexPairs(line + 12, dataCount, out);
  cr = cr || data.HasCR || checksum[0] == '\r' || checksum[1] == '\r';
  sum += data.Sum + HexPair(checksum);
  return !cr && (sum & 0xFF) == 0xFF ? static_cast<int>(dataCount) : -1;
}

TS3Records TakeS3RecordsExactly(const uint8_t* text, std::size_t avail, uint8_t* out, std::size_t room) {
  TS3Records run;
  for (int n; (n = TakeS3Exactly(text + run.Text, avail - run.Text, out + run.Data, room - run.Data)) >= 0;) {
    run.Text += 16 + 2 * static_cast<std::size_t>(n);
    run.Data += static_cast<std::size_t>(n);
  }
  return run;
}

#ifdef TARVEX_HEX_X86
// SSE2 is part of x86-64; AVX2 and AVX-512, where the processor has them, take 32 and 64 pairs a
// step instead of 16.

// The digits of 16 characters, as HexDigit gives them.
inline __m128i Digits(__m128i chars) {
  const __m128i d = _mm_sub_epi8(chars, _mm_set1_epi8(48));
  // d <= 16 exactly where the saturating d - 16 is zero.
  const __m128i small = _mm_cmpeq_epi8(_mm_subs_epu8(d, _mm_set1_epi8(16)), _mm_setzero_si128());
  return _mm_sub_epi8(d, _mm_andnot_si128(small, _mm_set1_epi8(7)));
}

// The bytes of the 8 pairs of 16 digits, one per 16-bit lane: (first digit mod 16) * 16 | second.
inline __m128i PairBytes(__m128i digits) {
  const __m128i high = _mm_slli_epi16(_mm_and_si128(digits, _mm_set1_epi16(0x000F)), 4);
  return _mm_or_si128(high, _mm_srli_epi16(digits, 8));
}

inline uint32_t SumOf(__m128i sums) {
  return static_cast<uint32_t>(_mm_cvtsi128_si32(sums)) +
         static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
}

// Pairs 16 at a time, then 4 at a time, then one by one. Inlined into each whole decoder; results
// travel by value, in registers: fields stored one by one and read back whole would stall every call.
__attribute__((always_inline)) inline THexPairsDecoded DecodeNarrow(const uint8_t* text, std::size_t count,
                                                                    uint8_t* out) {
  const __m128i cr = _mm_set1_epi8('\r');
  __m128i sums = _mm_setzero_si128();
  __m128i crs = _mm_setzero_si128();
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 2 * i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 2 * i + 16));
    crs = _mm_or_si128(crs, _mm_or_si128(_mm_cmpeq_epi8(a, cr), _mm_cmpeq_epi8(b, cr)));
    const __m128i bytes = _mm_packus_epi16(PairBytes(Digits(a)), PairBytes(Digits(b)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
    sums = _mm_add_epi64(sums, _mm_sad_epu8(bytes, _mm_setzero_si128()));
  }
  for (; i + 4 <= count; i += 4) {
    const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(text + 2 * i));
    crs = _mm_or_si128(crs, _mm_cmpeq_epi8(a, cr));
    // The upper half of a is zero: its lanes give the byte 0xF9, which the sum leaves out.
    const __m128i words = _mm_unpacklo_epi64(PairBytes(Digits(a)), _mm_setzero_si128());
    const __m128i bytes = _mm_packus_epi16(words, words);
    const int four = _mm_cvtsi128_si32(bytes);
    __builtin_memcpy(out + i, &four, 4);
    sums = _mm_add_epi64(sums, _mm_sad_epu8(words, _mm_setzero_si128()));
  }
  return DecodeOneByOne(text, i, count, out, {SumOf(sums), _mm_movemask_epi8(crs) != 0});
}

THexPairsDecoded DecodeWithSse2(const uint8_t* text, std::size_t count, uint8_t* out) {
  return DecodeNarrow(text, count, out);
}

__attribute__((target("avx2"))) inline __m256i Digits(__m256i chars) {
  const __m256i d = _mm256_sub_epi8(chars, _mm256_set1_epi8(48));
  const __m256i small = _mm256_cmpeq_epi8(_mm256_subs_epu8(d, _mm256_set1_epi8(16)), _mm256_setzero_si256());
  return _mm256_sub_epi8(d, _mm256_andnot_si256(small, _mm256_set1_epi8(7)));
}

__attribute__((target("avx2"))) inline __m256i PairBytes(__m256i digits) {
  const __m256i high = _mm256_slli_epi16(_mm256_and_si256(digits, _mm256_set1_epi16(0x000F)), 4);
  return _mm256_or_si256(high, _mm256_srli_epi16(digits, 8));
}

// The exact way for any character, 32 pairs a step.
__attribute__((target("avx2"))) THexPairsDecoded DecodeAnyWithAvx2(const uint8_t* text, std::size_t count,
                                                                   uint8_t* out) {
  const __m256i cr = _mm256_set1_epi8('\r');
  __m256i sums = _mm256_setzero_si256();
  __m256i crs = _mm256_setzero_si256();
  std::size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 2 * i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 2 * i + 32));
    crs = _mm256_or_si256(crs, _mm256_or_si256(_mm256_cmpeq_epi8(a, cr), _mm256_cmpeq_epi8(b, cr)));
    // The pack works per 128-bit half: the permute puts a's bytes before b's.
    const __m256i bytes =
        _mm256_permute4x64_epi64(_mm256_packus_epi16(PairBytes(Digits(a)), PairBytes(Digits(b))), 0xD8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
    sums = _mm256_add_epi64(sums, _mm256_sad_epu8(bytes, _mm256_setzero_si256()));
  }
  const THexPairsDecoded rest = DecodeNarrow(text + 2 * i, count - i, out + i);
  return {SumOf(_mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1))) + rest.Sum,
          rest.HasCR || _mm256_movemask_epi8(crs) != 0};
}

// Text of digits below 16 ('0' to '?' and 'A' to 'F') is the common case; for it a pair's byte is
// first digit * 16 + second, one multiply-add, and no character is a CR. Text with any other
// character in the 32-pair steps is decoded again the exact way.
__attribute__((target("avx2"))) THexPairsDecoded DecodeWithAvx2(const uint8_t* text, std::size_t count,
                                                                uint8_t* out) {
  const __m256i weights = _mm256_set1_epi16(0x0110);  // 16 for the first digit, 1 for the second
  __m256i sums = _mm256_setzero_si256();
  __m256i digitBits = _mm256_setzero_si256();
  std::size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i a = Digits(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 2 * i)));
    const __m256i b = Digits(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 2 * i + 32)));
    digitBits = _mm256_or_si256(digitBits, _mm256_or_si256(a, b));
    const __m256i bytes = _mm256_permute4x64_epi64(
        _mm256_packus_epi16(_mm256_maddubs_epi16(a, weights), _mm256_maddubs_epi16(b, weights)), 0xD8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
    sums = _mm256_add_epi64(sums, _mm256_sad_epu8(bytes, _mm256_setzero_si256()));
  }
  if (!_mm256_testz_si256(digitBits, _mm256_set1_epi8(static_cast<char>(0xF0))))
    return DecodeAnyWithAvx2(text, count, out);
  const THexPairsDecoded rest = DecodeNarrow(text + 2 * i, count - i, out + i);
  return {SumOf(_mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1))) + rest.Sum,
          rest.HasCR};
}

// A record decoder's answer for a record with a character that is no digit below 16.
constexpr int kTakeExactly = -2;

// What DecodeS3WithAvx2 needs, made once per run and kept in registers. A record's data is read in
// chunks of 32 characters; where the count is no multiple of 16, the last chunk reaches past the
// data, and its characters there count as '0'.
struct TS3Avx2Constants {
  __m256i Weights, Above15, Minus48, At, Seven;
  __m256i Zeros, Tail;               // '0' in every byte; the last chunk's bytes that are data
  __m128i HeadWeights, HeadAbove15;  // the head's six pairs; its last two are data
};

__attribute__((target("avx2"))) inline TS3Avx2Constants MakeS3Avx2Constants(std::size_t dataCount) {
  const int tail = static_cast<int>(2 * dataCount % 32);
  TS3Avx2Constants c{
      _mm256_set1_epi16(0x0110),
      _mm256_set1_epi8(static_cast<char>(0xF0)),
      _mm256_set1_epi8(-48),
      _mm256_set1_epi8('@'),
      _mm256_set1_epi8(7),
      _mm256_set1_epi8('0'),
      _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(tail)),
                        _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                         20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31)),
      _mm_setr_epi16(0x0110, 0x0110, 0x0110, 0x0110, 0x0110, 0x0110, 0, 0),
      _mm_setr_epi32(static_cast<int>(0xF0F0F0F0), static_cast<int>(0xF0F0F0F0), static_cast<int>(0xF0F0F0F0),
                     0)};
  // Opaque to the compiler, which would otherwise make them afresh for every record.
  asm("" : "+x"(c.Weights), "+x"(c.Above15), "+x"(c.Minus48), "+x"(c.At), "+x"(c.Seven));
  asm("" : "+x"(c.Zeros), "+x"(c.Tail), "+x"(c.HeadWeights), "+x"(c.HeadAbove15));
  return c;
}

// The digits of 32 characters, as HexDigit gives them wherever it gives one below 16, and one of 16
// or more exactly where HexDigit does: a character above '@' gives (code - 55), any other
// (code - 48). The compare is signed, so characters from 0x80 on give 0x50 or more.
__attribute__((target("avx2"), always_inline)) inline __m256i DigitsWith(const TS3Avx2Constants& c,
                                                                         __m256i chars) {
  const __m256i letters = _mm256_and_si256(_mm256_cmpgt_epi8(chars, c.At), c.Seven);
  return _mm256_sub_epi8(_mm256_add_epi8(chars, c.Minus48), letters);
}

__attribute__((target("avx2"), always_inline)) inline __m128i HeadDigitsWith(const TS3Avx2Constants& c,
                                                                             __m128i chars) {
  const __m128i letters =
      _mm_and_si128(_mm_cmpgt_epi8(chars, _mm256_castsi256_si128(c.At)), _mm256_castsi256_si128(c.Seven));
  return _mm_sub_epi8(_mm_add_epi8(chars, _mm256_castsi256_si128(c.Minus48)), letters);
}

// The digits of chunk i of the data's characters.
template <int Chunks, bool Partial>
__attribute__((target("avx2"), always_inline)) inline __m256i ChunkDigits(const uint8_t* data, int i,
                                                                          const TS3Avx2Constants& c) {
  const __m256i chars = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32 * i));
  if (Partial && i == Chunks - 1) return DigitsWith(c, _mm256_blendv_epi8(c.Zeros, chars, c.Tail));
  return DigitsWith(c, chars);
}

// As DecodeS3 with AVX-512, for the record at line of `length` characters whose "S3", count and CR
// are known sound and whose data are read in Chunks chunks, of which the last is partial or not.
// Writes 16 * Chunks bytes at out: the data, then zeros up to the end of the last chunk.
template <int Chunks, bool Partial>
__attribute__((target("avx2"), always_inline)) inline int DecodeS3WithAvx2(
    const uint8_t* line, std::size_t length, std::size_t dataCount, const TS3Avx2Constants& c, uint8_t* out) {
  // The head with the checksum's characters in place of "S3": pairs 0 to 5 are the checksum, the
  // count and the address.
  uint16_t checksum;
  __builtin_memcpy(&checksum, line + length - 2, 2);
  const __m128i head = HeadDigitsWith(
      c, _mm_insert_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line)), checksum, 0));
  const uint8_t* data = line + 12;
  // Only the sum's low byte counts: the bytes are folded by bytewise sums before one sum of eight.
  __m128i folded = _mm_packus_epi16(_mm_maddubs_epi16(head, c.HeadWeights), _mm_setzero_si128());
  __m256i digitBits = _mm256_setzero_si256();
  __m256i sums = _mm256_setzero_si256();
#pragma GCC unroll 4
  for (int i = 0; i + 1 < Chunks; i += 2) {
    const __m256i a = ChunkDigits<Chunks, Partial>(data, i, c),
                  b = ChunkDigits<Chunks, Partial>(data, i + 1, c);
    digitBits = _mm256_or_si256(digitBits, _mm256_or_si256(a, b));
    const __m256i bytes =
        _mm256_packus_epi16(_mm256_maddubs_epi16(a, c.Weights), _mm256_maddubs_epi16(b, c.Weights));
    sums = _mm256_add_epi8(sums, bytes);
    // The pack works per 128-bit half: the permute puts a's bytes before b's.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16 * i), _mm256_permute4x64_epi64(bytes, 0xD8));
  }
  if constexpr (Chunks % 2 == 1) {
    const __m256i a = ChunkDigits<Chunks, Partial>(data, Chunks - 1, c);
    digitBits = _mm256_or_si256(digitBits, a);
    const __m256i words = _mm256_maddubs_epi16(a, c.Weights);
    const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
    folded = _mm_add_epi8(folded, bytes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * (Chunks - 1)), bytes);
  }
  if (!_mm_testz_si128(head, c.HeadAbove15) || !_mm256_testz_si256(digitBits, c.Above15)) return kTakeExactly;
  folded =
      _mm_add_epi8(folded, _mm_add_epi8(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1)));
  const __m128i sum = _mm_sad_epu8(folded, _mm_setzero_si128());
  const int low = _mm_cvtsi128_si32(sum) + _mm_extract_epi16(sum, 4);
  return (low & 0xFF) == 0xFF ? static_cast<int>(dataCount) : -1;
}

// As TakeRunWithAvx512, for records of dataCount bytes read in Chunks chunks. A record is taken
// this way only where its last chunk's reading and writing stay in the text and the room; the
// others are left to the exact way.
template <int Chunks, bool Partial>
__attribute__((target("avx2"))) bool TakeRunWithAvx2(const uint8_t* text, std::size_t avail, uint8_t* out,
                                                     std::size_t room, uint32_t lead, std::size_t dataCount,
                                                     TS3Records& run) {
  const TS3Avx2Constants c = MakeS3Avx2Constants(dataCount);
  const std::size_t length = 14 + 2 * dataCount, step = length + 2;
  const std::size_t reads = std::max<std::size_t>(step, 12 + 32 * Chunks);
  const std::size_t writes = std::max<std::size_t>(dataCount, 16 * Chunks);
  const std::size_t textLeft = avail - run.Text, roomLeft = room - run.Data;
  std::size_t fit = textLeft < reads ? 0 : (textLeft - reads) / step + 1;
  if (dataCount > 0) fit = roomLeft < writes ? 0 : std::min(fit, (roomLeft - writes) / dataCount + 1);
  const uint8_t* line = text + run.Text;
  uint8_t* to = out + run.Data;
  bool sound = true;
  for (; fit > 0; --fit, line += step, to += dataCount) {
    uint32_t next;
    __builtin_memcpy(&next, line, 4);
    if (next != lead || line[length] != '\r') break;
    const int n = DecodeS3WithAvx2<Chunks, Partial>(line, length, dataCount, c, to);
    // A record with other characters begins a run of its own.
    if (n == kTakeExactly) break;
    if (n < 0) {
      sound = false;
      break;
    }
  }
  run = {static_cast<std::size_t>(line - text), static_cast<std::size_t>(to - out)};
  return sound;
}

// Runs of records of one count, as TakeS3RecordsWithAvx512 takes them: the first of each run, and
// each record with characters other than digits below 16, the exact way.
__attribute__((target("avx2"))) TS3Records TakeS3RecordsWithAvx2(const uint8_t* text, std::size_t avail,
                                                                 uint8_t* out, std::size_t room) {
  using TRun =
      bool (*)(const uint8_t*, std::size_t, uint8_t*, std::size_t, uint32_t, std::size_t, TS3Records&);
  // By the count of chunks and whether the last is partial.
  static constexpr TRun kRuns[][2] = {{TakeRunWithAvx2<0, false>, TakeRunWithAvx2<0, false>},
                                      {TakeRunWithAvx2<1, false>, TakeRunWithAvx2<1, true>},
                                      {TakeRunWithAvx2<2, false>, TakeRunWithAvx2<2, true>},
                                      {TakeRunWithAvx2<3, false>, TakeRunWithAvx2<3, true>},
                                      {TakeRunWithAvx2<4, false>, TakeRunWithAvx2<4, true>},
                                      {TakeRunWithAvx2<5, false>, TakeRunWithAvx2<5, true>},
                                      {TakeRunWithAvx2<6, false>, TakeRunWithAvx2<6, true>},
                                      {TakeRunWithAvx2<7, false>, TakeRunWithAvx2<7, true>},
                                      {TakeRunWithAvx2<8, false>, TakeRunWithAvx2<8, true>}};
  static_assert(std::size(kRuns) == (kMaxS3Data + 15) / 16 + 1);
  TS3Records run;
  for (;;) {
    const uint8_t* line = text + run.Text;
    const int first = TakeS3Exactly(line, avail - run.Text, out + run.Data, room - run.Data);
    if (first < 0) return run;
    const std::size_t dataCount = static_cast<std::size_t>(first);
    uint32_t lead;
    __builtin_memcpy(&lead, line, 4);
    run.Text += 16 + 2 * dataCount;
    run.Data += dataCount;
    if (!kRuns[(dataCount + 15) / 16][dataCount % 16 != 0](text, avail, out, room, lead, dataCount, run))
      return run;
  }
}

__attribute__((target("avx512f,avx512bw"))) inline __m512i Digits(__m512i chars) {
  const __m512i d = _mm512_sub_epi8(chars, _mm512_set1_epi8(48));
  return _mm512_mask_sub_epi8(d, _mm512_cmpgt_epu8_mask(d, _mm512_set1_epi8(16)), d, _mm512_set1_epi8(7));
}

// As DecodeWithAvx2, 64 pairs a step.
__attribute__((target("avx512f,avx512bw"))) THexPairsDecoded DecodeWithAvx512(const uint8_t* text,
                                                                              std::size_t count,
                                                                              uint8_t* out) {
  const __m512i weights = _mm512_set1_epi16(0x0110);
  // The pack works per 128-bit quarter: the permute puts a's bytes before b's.
  const __m512i order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
  __m512i sums = _mm512_setzero_si512();
  __m512i digitBits = _mm512_setzero_si512();
  std::size_t i = 0;
  for (; i + 64 <= count; i += 64) {
    const __m512i a = Digits(_mm512_loadu_si512(text + 2 * i));
    const __m512i b = Digits(_mm512_loadu_si512(text + 2 * i + 64));
    digitBits = _mm512_or_si512(digitBits, _mm512_or_si512(a, b));
    const __m512i bytes = _mm512_maskz_permutexvar_epi64(
        0xFF, order, _mm512_packus_epi16(_mm512_maddubs_epi16(a, weights), _mm512_maddubs_epi16(b, weights)));
    _mm512_storeu_si512(out + i, bytes);
    sums = _mm512_add_epi64(sums, _mm512_sad_epu8(bytes, _mm512_setzero_si512()));
  }
  if (_mm512_test_epi8_mask(digitBits, _mm512_set1_epi8(static_cast<char>(0xF0))) != 0)
    return DecodeAnyWithAvx2(text, count, out);
  const THexPairsDecoded rest = DecodeNarrow(text + 2 * i, count - i, out + i);
  // Summed through memory: GCC 12's 512-bit extracts warn of an uninitialised operand.
  uint64_t lanes[8];
  _mm512_storeu_si512(lanes, sums);
  uint64_t sum = rest.Sum;
  for (const uint64_t lane : lanes) sum += lane;
  return {static_cast<uint32_t>(sum), rest.HasCR};
}

// What the S3 records of one count share: their length and the masks of their data's characters
// in steps of 64, and of their data bytes in steps of 64.
struct TS3Shape {
  std::size_t DataCount;
  std::size_t Length;  // without the CR and the byte after it
  __mmask64 Chars[4];
  __mmask64 Bytes[2];
};

inline TS3Shape ShapeOf(std::size_t dataCount) {
  // The mask of the step of 64 from `from` of count items.
  const auto step = [](std::size_t count, std::size_t from) -> __mmask64 {
    const std::size_t bits = count > from ? count - from : 0;
    return bits >= 64 ? ~0ull : (1ull << bits) - 1;
  };
  const std::size_t chars = 2 * dataCount;
  return {dataCount,
          14 + 2 * dataCount,
          {step(chars, 0), step(chars, 64), step(chars, 128), step(chars, 192)},
          {step(dataCount, 0), step(dataCount, 64)}};
}

// How many data bytes the records of a run have: 64, other counts up to 64, or more.
enum class TS3Width { Full, Narrow, Wide };

// The constants of DecodeS3, made once per run and kept in registers.
struct TS3Constants {
  __m512i Zeros, Weights, Order, Above15, Minus48, Sixteen, Seven;
  __m128i HeadWeights, HeadAbove15, HeadMinus48, HeadSixteen, HeadSeven;  // the same for the head
};

__attribute__((target("avx512f,avx512bw,avx512vl"))) inline TS3Constants MakeS3Constants() {
  TS3Constants c{_mm512_set1_epi8('0'),  // a '0' gives the digit and the byte 0
                 _mm512_set1_epi16(0x0110),
                 _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7),
                 _mm512_set1_epi8(static_cast<char>(0xF0)),
                 _mm512_set1_epi8(-48),
                 _mm512_set1_epi8(16),
                 _mm512_set1_epi8(7),
                 _mm_set1_epi16(0x0110),
                 _mm_set1_epi8(static_cast<char>(0xF0)),
                 _mm_set1_epi8(-48),
                 _mm_set1_epi8(16),
                 _mm_set1_epi8(7)};
  // Opaque to the compiler, which would otherwise make them afresh for every record.
  asm(""
      : "+v"(c.Zeros), "+v"(c.Weights), "+v"(c.Order), "+v"(c.Above15), "+v"(c.Minus48), "+v"(c.Sixteen),
        "+v"(c.Seven));
  asm(""
      : "+v"(c.HeadWeights), "+v"(c.HeadAbove15), "+v"(c.HeadMinus48), "+v"(c.HeadSixteen),
        "+v"(c.HeadSeven));
  return c;
}

// As Digits, with the constants at hand.
__attribute__((target("avx512f,avx512bw"), always_inline)) inline __m512i DigitsWith(const TS3Constants& c,
                                                                                     __m512i chars) {
  const __m512i d = _mm512_add_epi8(chars, c.Minus48);
  return _mm512_mask_sub_epi8(d, _mm512_cmpgt_epu8_mask(d, c.Sixteen), d, c.Seven);
}

__attribute__((target("avx512f,avx512bw,avx512vl"), always_inline)) inline __m128i HeadDigitsWith(
    const TS3Constants& c, __m128i chars) {
  const __m128i d = _mm_add_epi8(chars, c.HeadMinus48);
  return _mm_mask_sub_epi8(d, _mm_cmpgt_epu8_mask(d, c.HeadSixteen), d, c.HeadSeven);
}

// The digits of the data's chunk i of 64 characters; characters past the data read as '0'.
template <TS3Width Width>
__attribute__((target("avx512f,avx512bw"), always_inline)) inline __m512i DigitsOfChunk(
    const uint8_t* data, int i, const TS3Shape& shape, const TS3Constants& c) {
  if constexpr (Width == TS3Width::Full) return DigitsWith(c, _mm512_loadu_si512(data + 64 * i));
  return DigitsWith(c, _mm512_mask_loadu_epi8(c.Zeros, shape.Chars[i], data + 64 * i));
}

// Decodes the record of that shape at line, whose "S3", count and CR are known sound: its data
// count when its count, address, data and checksum are all digits below 16 (see DecodeWithAvx2)
// and the checksum holds; -1 when it does not hold; for other characters, kTakeExactly.
template <TS3Width Width>
__attribute__((target("avx512f,avx512bw,avx512vl"), always_inline)) inline int DecodeS3(const uint8_t* line,
                                                                                        const TS3Shape& shape,
                                                                                        const TS3Constants& c,
                                                                                        uint8_t* out) {
  // The head with the checksum's characters in place of "S3": pairs 0 to 5 are the checksum, the
  // count and the address.
  uint16_t checksum;
  __builtin_memcpy(&checksum, line + shape.Length - 2, 2);
  const __m128i head = HeadDigitsWith(
      c, _mm_insert_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line)), checksum, 0));
  const uint8_t* data = line + 12;
  const __m512i d0 = DigitsOfChunk<Width>(data, 0, shape, c), d1 = DigitsOfChunk<Width>(data, 1, shape, c);
  __m512i digitBits = _mm512_or_si512(d0, d1);
  // The pack works per 128-bit quarter: the permute puts the first chunk's bytes before the second's.
  const __m512i low = _mm512_maskz_permutexvar_epi64(
      0xFF, c.Order,
      _mm512_packus_epi16(_mm512_maddubs_epi16(d0, c.Weights), _mm512_maddubs_epi16(d1, c.Weights)));
  // Only the sum's low byte counts: the bytes are folded by bytewise sums before one sum of eight.
  // The head's six go in with the data; the masked forms of the shuffles and the extract, because
  // GCC 12 warns of the plain ones' undefined operand.
  const __m128i headPairs = _mm_maddubs_epi16(head, c.HeadWeights);
  __m512i all =
      _mm512_add_epi8(low, _mm512_zextsi128_si512(_mm_maskz_packus_epi16(0x3F, headPairs, headPairs)));
  __m512i high;
  if constexpr (Width == TS3Width::Wide) {
    const __m512i d2 = DigitsOfChunk<Width>(data, 2, shape, c), d3 = DigitsOfChunk<Width>(data, 3, shape, c);
    digitBits = _mm512_ternarylogic_epi64(digitBits, d2, d3, 0xFE);  // a | b | c
    high = _mm512_maskz_permutexvar_epi64(
        0xFF, c.Order,
        _mm512_packus_epi16(_mm512_maddubs_epi16(d2, c.Weights), _mm512_maddubs_epi16(d3, c.Weights)));
    all = _mm512_add_epi8(all, high);
  }
  if ((_mm_test_epi8_mask(head, c.HeadAbove15) & 0x0FFF) != 0 ||
      _mm512_test_epi8_mask(digitBits, c.Above15) != 0)
    return kTakeExactly;
  if constexpr (Width == TS3Width::Full)
    _mm512_storeu_si512(out, low);
  else
    _mm512_mask_storeu_epi8(out, shape.Bytes[0], low);
  if constexpr (Width == TS3Width::Wide) _mm512_mask_storeu_epi8(out + 64, shape.Bytes[1], high);
  all = _mm512_add_epi8(all, _mm512_maskz_shuffle_i64x2(0xFF, all, all, 0x4E));
  all = _mm512_add_epi8(all, _mm512_maskz_shuffle_i64x2(0xFF, all, all, 0xB1));
  const __m128i quarter = _mm512_maskz_extracti32x4_epi32(0xF, all, 0);
  const __m128i eighth = _mm_add_epi8(quarter, _mm_unpackhi_epi64(quarter, quarter));
  const int sum = _mm_cvtsi128_si32(_mm_sad_epu8(eighth, _mm_setzero_si128()));
  return (sum & 0xFF) == 0xFF ? static_cast<int>(shape.DataCount) : -1;
}

// The records after the first of a run, which have its lead ("S3" and the count) and shape, as
// long as DecodeS3 takes them; false after a record whose checksum does not hold.
template <TS3Width Width>
__attribute__((target("avx512f,avx512bw,avx512vl"))) bool TakeRunWithAvx512(const uint8_t* text,
                                                                            std::size_t avail, uint8_t* out,
                                                                            std::size_t room, uint32_t lead,
                                                                            const TS3Shape& shape,
                                                                            TS3Records& run) {
  const TS3Constants c = MakeS3Constants();
  const std::size_t step = shape.Length + 2;
  // Records that fit the text and the room.
  std::size_t fit = (avail - run.Text) / step;
  if (shape.DataCount > 0) fit = std::min(fit, (room - run.Data) / shape.DataCount);
  const uint8_t* line = text + run.Text;
  uint8_t* to = out + run.Data;
  bool sound = true;
  for (; fit > 0; --fit, line += step, to += shape.DataCount) {
    uint32_t next;
    __builtin_memcpy(&next, line, 4);
    if (next != lead || line[shape.Length] != '\r') break;
    const int n = DecodeS3<Width>(line, shape, c, to);
    // A record with other characters begins a run of its own.
    if (n == kTakeExactly) break;
    if (n < 0) {
      sound = false;
      break;
    }
  }
  run = {static_cast<std::size_t>(line - text), static_cast<std::size_t>(to - out)};
  return sound;
}

// Runs of records of one count; the first of each run, and each record with characters other
// than digits below 16, is taken the exact way. Within a run the next record's place does not
// wait for this one's count, which is only compared.
__attribute__((target("avx512f,avx512bw,avx512vl"))) TS3Records TakeS3RecordsWithAvx512(const uint8_t* text,
                                                                                        std::size_t avail,
                                                                                        uint8_t* out,
                                                                                        std::size_t room) {
  TS3Records run;
  for (;;) {
    const uint8_t* line = text + run.Text;
    const int first = TakeS3Exactly(line, avail - run.Text, out + run.Data, room - run.Data);
    if (first < 0) return run;
    const TS3Shape shape = ShapeOf(static_cast<std::size_t>(first));
    uint32_t lead;
    __builtin_memcpy(&lead, line, 4);
    run.Text += shape.Length + 2;
    run.Data += shape.DataCount;
    const auto take = shape.DataCount == 64  ? TakeRunWithAvx512<TS3Width::Full>
                      : shape.DataCount > 64 ? TakeRunWithAvx512<TS3Width::Wide>
                                             : TakeRunWithAvx512<TS3Width::Narrow>;
    if (!take(text, avail, out, room, lead, shape, run)) return run;
  }
}
#endif

}  // namespace

std::vector<THexPairsDecoder> HexPairsDecoders() {
  std::vector<THexPairsDecoder> decoders = {[](const uint8_t* text, std::size_t count, uint8_t* out) {
    return DecodeOneByOne(text, 0, count, out, {});
  }};
#ifdef TARVEX_HEX_X86
  decoders.push_back(DecodeWithSse2);
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) decoders.push_back(DecodeWithAvx2);
  // Every processor with these has AVX2 as well, which the exact way for other text takes.
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") &&
      __builtin_cpu_supports("avx512bw"))
    decoders.push_back(DecodeWithAvx512);
#endif
  return decoders;
}

THexPairsDecoded DecodeHexPairs(const uint8_t* text, std::size_t count, uint8_t* out) {
  static const THexPairsDecoder decode = HexPairsDecoders().back();
  return decode(text, count, out);
}

std::vector<TS3RecordsTaker> S3RecordsTakers() {
  std::vector<TS3RecordsTaker> takers = {TakeS3RecordsExactly};
#ifdef TARVEX_HEX_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) takers.push_back(TakeS3RecordsWithAvx2);
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl"))
    takers.push_back(TakeS3RecordsWithAvx512);
#endif
  return takers;
}

TS3Records TakeS3Records(const uint8_t* text, std::size_t avail, uint8_t* out, std::size_t room) {
  static const TS3RecordsTaker take = S3RecordsTakers().back();
  return take(text, avail, out, room);
}
