#pragma once

#include <cstdint>
#include <string>

// A USB interface name and the string-descriptor index that reads it.
struct P2KTarget {
  std::string Name;  // at most 255 characters
  std::uint16_t Index = 0;

  static P2KTarget NormalMode() { return {"Motorola Test Command", 258}; }
  static P2KTarget FlashMode() { return {"Motorola Flash", 2}; }

  bool operator==(const P2KTarget&) const = default;
};
