#pragma once

// File and UTF-8 helpers of the language-pack test drivers.

#include "framework/base/AnsiStrings.h"
#include "framework/base/TAtomicFileStream.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace lp {

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Replaces the file whole, or leaves it as it was and raises.
inline void WriteFile(const std::string& path, const void* data, size_t size) {
  TAtomicFileStream::WriteFile(path, data, size);
}

inline std::string ToUtf8(const std::u16string& s) {
  return WideToUtf8(s);
}
inline std::u16string FromUtf8(const std::string& s) {
  return Utf8ToWide(s);
}

}  // namespace lp
