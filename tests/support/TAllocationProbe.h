#pragma once

#include <cstddef>

// Records the largest single request made through operator new while a probe is alive, so that a
// test can show a hostile input was refused before anything large was allocated, and the most
// memory held at once since the probe was made. Linking this file replaces the global operator new
// and delete of the test binary.
class TAllocationProbe {
public:
  TAllocationProbe();
  ~TAllocationProbe();
  TAllocationProbe(const TAllocationProbe&) = delete;
  TAllocationProbe& operator=(const TAllocationProbe&) = delete;

  size_t Largest() const;
  // The most bytes held through operator new at any moment since the probe was made, beyond what
  // was held when it was made.
  size_t Peak() const;
};
