#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Drawing for the skin generator: a float RGBA layer with anti-aliased shapes, and the writers
// of the picture files a skin folder holds.
namespace skingen {

struct Rgb {
  float R = 0, G = 0, B = 0;
};

// From a TColor-style value $00BBGGRR.
Rgb FromColor(std::uint32_t color);
// To a TColor-style value $00BBGGRR.
std::uint32_t ToColor(const Rgb& c);
Rgb Mix(const Rgb& a, const Rgb& b, float t);  // a at t = 0, b at t = 1
Rgb Lighter(const Rgb& c, float t);
Rgb Darker(const Rgb& c, float t);

// Premultiplied colour and coverage per pixel.
class Layer {
public:
  Layer(int width, int height);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

  // Shapes are given in pixel edges: a rectangle from x0 to x1 covers columns x0..x1-1.
  void FillRoundRect(float x0, float y0, float x1, float y1, float radius, const Rgb& color, float alpha = 1);
  // Vertical gradient from top to bottom inside a rounded rectangle.
  void FillRoundRectGradient(float x0, float y0, float x1, float y1, float radius, const Rgb& top,
                             const Rgb& bottom, float alpha = 1);
  void StrokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width, const Rgb& color,
                       float alpha = 1);
  void Line(float x0, float y0, float x1, float y1, float width, const Rgb& color, float alpha = 1);
  void FillCircle(float cx, float cy, float r, const Rgb& color, float alpha = 1);
  void StrokeCircle(float cx, float cy, float r, float width, const Rgb& color, float alpha = 1);

  Rgb Color(int x, int y) const;  // unpremultiplied
  float Alpha(int x, int y) const;

private:
  template <typename TCoverage, typename TColorAt>
  void Paint(float x0, float y0, float x1, float y1, TCoverage coverage, TColorAt colorAt, float alpha);

  int FWidth, FHeight;
  std::vector<float> FPixels;  // r, g, b, a premultiplied
};

// A 24-bit picture in the skin's byte order, top row first.
class Picture {
public:
  Picture(int width, int height, std::uint32_t fill = 0);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void Set(int x, int y, std::uint32_t color);  // $00BBGGRR
  std::uint32_t Get(int x, int y) const;
  // Copies a whole picture with its top-left corner at (x, y).
  void Put(const Picture& p, int x, int y);

private:
  int FWidth, FHeight;
  std::vector<std::uint32_t> FPixels;
};

constexpr std::uint32_t KeyColor = 0xFF00FF;

// A masked frame as the skin format stores it: the image above, its mask below. Pixels the layer
// does not cover become the key colour when keyOutside says they lie outside the control's shape,
// else they are fully masked (what lies below stays).
Picture MaskedFrame(const Layer& layer, const std::vector<bool>& keyOutside);

bool WriteBmp(const Picture& p, const std::string& path);
bool WriteJpeg(const Picture& p, const std::string& path, int quality);

}  // namespace skingen
