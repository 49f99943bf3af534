#pragma once

#include <cstddef>

// Records the largest single request made through operator new while a probe is alive, so that a
// test can show a hostile input was refused before anything large was allocated. Linking this file
// replaces the global operator new and delete of the test binary.
class TAllocationProbe {
public:
  TAllocationProbe();
  ~TAllocationProbe();
  TAllocationProbe(const TAllocationProbe&) = delete;
  TAllocationProbe& operator=(const TAllocationProbe&) = delete;

  size_t Largest() const;
};
