#include "workbench/core/HexPairs.h"

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
