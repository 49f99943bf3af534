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

// A line of S-record text holds at most 255 characters, so an S3 record at most 120 data bytes.
constexpr std::size_t kMaxS3Data = 120;

struct TS3Records {
  std::size_t Text = 0;  // characters of the records taken, each with its CR and the byte after it
  std::size_t Data = 0;  // their data bytes, in order at out
};

// Takes S3 records from the avail characters at text while each one lies whole in them with its CR
// and the byte after it, has a count of 5 to 5 + kMaxS3Data whose characters end with the CR, has no
// CR before its end and a checksum that holds (pairs decoded as DecodeHexPairs does), and its data
// fits what is left of room. The first record that does not is left for the caller, who reads it
// line by line and says what is wrong. out's bytes past the data taken may be overwritten up to room.
TS3Records TakeS3Records(const uint8_t* text, std::size_t avail, uint8_t* out, std::size_t room);

// Every way of taking records that this processor can run, the fastest last. For tests of each.
using TS3RecordsTaker = TS3Records (*)(const uint8_t* text, std::size_t avail, uint8_t* out,
                                       std::size_t room);
std::vector<TS3RecordsTaker> S3RecordsTakers();
