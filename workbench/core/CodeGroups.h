#pragma once

#include <string>

// The two loaders carry code-group numbers below the images' own.
constexpr int kRamDownloaderCG = -2;
constexpr int kBootLoaderCG = -1;

// Code groups are numbered from the RAM downloader to 20; a superfile holds one table slot for each.
constexpr int kMinCodeGroup = kRamDownloaderCG;
constexpr int kMaxCodeGroup = 20;
constexpr int kCodeGroupSlots = kMaxCodeGroup - kMinCodeGroup + 1;

constexpr int CodeGroupSlot(int cg) {
  return cg - kMinCodeGroup;
}
constexpr bool IsValidCodeGroup(int cg) {
  return cg >= kMinCodeGroup && cg <= kMaxCodeGroup;
}

// Type texts that other code depends on.
inline constexpr const char* kRamDownloaderType = "RAM Downloader";
inline constexpr const char* kBootLoaderType = "Boot Loader";

// Type text of a code group, for example "Flash" for 1 and "CG19" for 19.
std::string GetCGName(int cg);
// Tag of a code group's image file name, for example "RAMDLD" for -2 and "CG4" for 4.
std::string GetCGFileTag(int cg);
