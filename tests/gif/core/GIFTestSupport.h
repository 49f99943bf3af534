#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gif/core/TGIFDocument.h"

using TBytes = std::vector<uint8_t>;

TBytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const TBytes& bytes);
// Runs a shell command; false when it fails.
bool Run(const std::string& command);
std::string TempDir();

// GIF files written by ImageMagick and gifbuild once per test run, by name.
const std::vector<std::string>& PeerFiles();

// A frame as the reference library decodes it (rows in display order).
struct TPeerFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Interlaced = false;
  TBytes Pixels;
  std::vector<uint8_t> Colors;  // the colour table in effect, RGB triples
  int Disposal = -1, Delay = -1, Transparent = -1;
};
// Throws std::runtime_error when the reference library refuses the data.
std::vector<TPeerFrame> PeerDecode(const TBytes& bytes, int* screenWidth = nullptr,
                                   int* screenHeight = nullptr);

// Loads bytes, collecting warnings.
void Load(TGIFDocument& document, const TBytes& bytes, std::vector<std::string>* warnings = nullptr);

// Hand-built streams.
TBytes ScreenHeader(int width, int height, int globalColors);  // "GIF89a", descriptor, black-to-white table
void AppendImage(TBytes& out, int left, int top, int width, int height, uint8_t packed, const TBytes& lzw);
// Minimum code size byte and sub-blocks of the given data cut at blockSize.
TBytes LzwBlocks(uint8_t minCodeSize, const TBytes& data, size_t blockSize = 255);
// Codes of the given width packed least significant bit first.
TBytes PackCodes(const std::vector<int>& codes, const std::vector<int>& widths);
// LZW data (minimum code size 2) of `codes` codes after a clear: the pixel, then codes that each define
// the entry one pixel longer than the last, then the longest entry over and over: the most pixels
// that many codes can hold.
TBytes LongestStrings(int codes, uint8_t pixel);
// A comment extension of `bytes` text bytes.
TBytes Comment(size_t bytes);
