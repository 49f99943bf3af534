#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Synthetic DRM images written from the image format: RAW pictures with their descriptor table, typed
// BMP and GIF pictures reached through the pointer table, the end sentinel, and the anchor words in the
// header.

struct TGenDRMPlan {
  uint32_t Seed = 1;
  uint32_t Base = 0x11E20000;
  int RawPictures = 4;
  int TypedPictures = 5;             // alternately BMP and GIF, of odd and even lengths
  int MaxSide = 24;                  // RAW width and height at most this
  bool MisalignTable = false;        // the pointer table at 2 mod 4
  bool UnalignedSize = false;        // an image size that is not a multiple of 4
  bool AnchorOutsideHeader = false;  // the anchor words behind the header pointer range
  bool RawBehindTypedTable = false;  // the RAW pixels and descriptors behind the typed pointer table
};

struct TGenPicture {
  std::string Type;  // "RAW", "BMP" or "GIF"
  int Width = 0, Height = 0;
  uint32_t Offset = 0;
  std::vector<uint8_t> Data;
};

struct TGenDRM {
  uint32_t Base = 0;
  std::vector<uint8_t> Image;
  std::vector<TGenPicture> Pictures;  // RAW first, in listing order
  int RawCount = 0;
  uint32_t M = 0, P = 0, PT = 0, T = 0, D = 0;

  std::string Manifest() const;
};

TGenDRM GenerateDRM(const TGenDRMPlan& plan);

// Stand-alone picture files of the given kind for replacements.
std::vector<uint8_t> MakeDRMBmp(int width, int height, size_t length, uint32_t seed);
std::vector<uint8_t> MakeDRMGif(int width, int height, size_t length, uint32_t seed);
std::vector<uint8_t> MakeDRMRaw(int width, int height, uint32_t seed);
