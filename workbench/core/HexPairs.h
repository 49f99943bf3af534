#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Hex pairs of S-record text decoded without validation, as the superfile tools always did: a
// character gives the digit (code - 48) mod 256, less 7 when above 16, and a pair gives the byte
// (first digit * 16, bitwise or the second digit) mod 256. Upper-case digits decode correctly; any
// other character gives some byte, which the record's checksum mostly refuses.

// The digit of one character.
inline uint8_t HexDigit(uint8_t c) {
  const uint8_t d = static_cast<uint8_t>(c - 48);
  return d > 16 ? static_cast<uint8_t>(d - 7) : d;
}

// The byte of the pair at text.
inline uint8_t HexPair(const uint8_t* text) {
  return static_cast<uint8_t>((HexDigit(text[0]) << 4) | HexDigit(text[1]));
}

struct THexPairsDecoded {
  uint32_t Sum = 0;    // of the decoded bytes
  bool HasCR = false;  // whether a character was a CR, which would have ended the line before
};

// Decodes the count pairs at text (2 * count characters) into out (count bytes). text and out must
// not overlap.
THexPairsDecoded DecodeHexPairs(const uint8_t* text, std::size_t count, uint8_t* out);

// Every way of decoding that this processor can run, each giving DecodeHexPairs' results; the
// last, the fastest, is the one DecodeHexPairs takes. For tests of each.
using THexPairsDecoder = THexPairsDecoded (*)(const uint8_t* text, std::size_t count, uint8_t* out);
std::vector<THexPairsDecoder> HexPairsDecoders();
