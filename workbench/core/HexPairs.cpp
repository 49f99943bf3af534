#include "workbench/core/HexPairs.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TARVEX_HEX_SSE2 1
#endif

namespace {

#ifdef TARVEX_HEX_SSE2
// The digits of 16 characters, as HexDigit gives them.
inline __m128i Digits(__m128i chars) {
  const __m128i d = _mm_sub_epi8(chars, _mm_set1_epi8(48));
  // d <= 16 exactly where the saturating d - 16 is zero.
  const __m128i small = _mm_cmpeq_epi8(_mm_subs_epu8(d, _mm_set1_epi8(16)), _mm_setzero_si128());
  return _mm_sub_epi8(d, _mm_andnot_si128(small, _mm_set1_epi8(7)));
}

// 8 bytes from the 8 pairs of 16 digits, one per 16-bit lane: (first digit mod 16) * 16 + second.
inline __m128i PairBytes(__m128i digits) {
  const __m128i high = _mm_slli_epi16(_mm_and_si128(digits, _mm_set1_epi16(0x000F)), 4);
  return _mm_or_si128(high, _mm_srli_epi16(digits, 8));
}
#endif

}  // namespace

uint32_t DecodeHexPairs(const uint8_t* text, std::size_t count, uint8_t* out) {
  uint32_t sum = 0;
  std::size_t i = 0;
#ifdef TARVEX_HEX_SSE2
  __m128i sums = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 2 * i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 2 * i + 16));
    const __m128i bytes = _mm_packus_epi16(PairBytes(Digits(a)), PairBytes(Digits(b)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
    sums = _mm_add_epi64(sums, _mm_sad_epu8(bytes, _mm_setzero_si128()));
  }
  sum = static_cast<uint32_t>(_mm_cvtsi128_si32(sums)) +
        static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
#endif
  for (; i < count; ++i) {
    out[i] = HexPair(text + 2 * i);
    sum += out[i];
  }
  return sum;
}
