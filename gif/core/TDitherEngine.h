#pragma once

#include <cstdint>

// Maps rows of 24-bit pixels (blue, green, red) to web-palette indices, walking the rows in
// serpentine order. This engine does not dither: each pixel goes to the lookup as it is.
class TDitherEngine {
public:
  explicit TDitherEngine(int width);
  virtual ~TDitherEngine() = default;
  TDitherEngine(const TDitherEngine&) = delete;
  TDitherEngine& operator=(const TDitherEngine&) = delete;

  int Width() const { return FWidth; }
  // +1 left to right, -1 right to left; flips after every row.
  int Direction() const { return FDirection; }
  void DitherRow(const uint8_t* bgr, uint8_t* indices);

protected:
  virtual void MapRow(const uint8_t* bgr, uint8_t* indices);

private:
  int FWidth;
  int FDirection = 1;
};
