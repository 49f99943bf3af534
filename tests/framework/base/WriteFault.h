#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/base/TAtomicFileStream.h"

// Arms a simulated write failure for the life of the object, so that a failed assertion cannot
// leave it armed for the next test.
class TWriteFaultScope {
public:
  TWriteFaultScope(TWriteFault fault, std::int64_t afterBytes) {
    TAtomicFileStream::SimulateFault(fault, afterBytes);
  }
  ~TWriteFaultScope() { TAtomicFileStream::SimulateFault(TWriteFault::None, 0); }
  TWriteFaultScope(const TWriteFaultScope&) = delete;
  TWriteFaultScope& operator=(const TWriteFaultScope&) = delete;
};

namespace diskfile {

// The whole file as bytes in a string; empty when there is none.
inline std::string Bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool Exists(const std::string& name) {
  return std::ifstream(name, std::ios::binary).good();
}

}  // namespace diskfile
