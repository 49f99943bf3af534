#include "SkinCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
}

namespace skingen {

namespace {

float Clamp01(float v) {
  return std::min(1.0f, std::max(0.0f, v));
}

// Signed distance to a rounded box (negative inside).
float RoundBoxDistance(float px, float py, float x0, float y0, float x1, float y1, float r) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  r = std::min(r, std::min(hx, hy));
  const float qx = std::fabs(px - cx) - (hx - r), qy = std::fabs(py - cy) - (hy - r);
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float len = dx * dx + dy * dy;
  float t = len > 0 ? ((px - x0) * dx + (py - y0) * dy) / len : 0;
  t = Clamp01(t);
  const float ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
  return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

Rgb FromColor(std::uint32_t c) {
  return {static_cast<float>(c & 255) / 255.0f, static_cast<float>((c >> 8) & 255) / 255.0f,
          static_cast<float>((c >> 16) & 255) / 255.0f};
}

std::uint32_t ToColor(const Rgb& c) {
  auto byte = [](float v) { return static_cast<std::uint32_t>(std::lround(Clamp01(v) * 255.0f)); };
  return byte(c.R) | (byte(c.G) << 8) | (byte(c.B) << 16);
}

Rgb Mix(const Rgb& a, const Rgb& b, float t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}
Rgb Lighter(const Rgb& c, float t) {
  return Mix(c, {1, 1, 1}, t);
}
Rgb Darker(const Rgb& c, float t) {
  return Mix(c, {0, 0, 0}, t);
}

Layer::Layer(int width, int height) : FWidth(width), FHeight(height), FPixels(4u * width * height, 0.0f) {}

template <typename TCoverage, typename TColorAt>
void Layer::Paint(float x0, float y0, float x1, float y1, TCoverage coverage, TColorAt colorAt, float alpha) {
  const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
  const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
  const int ix1 = std::min(FWidth, static_cast<int>(std::ceil(x1)) + 1);
  const int iy1 = std::min(FHeight, static_cast<int>(std::ceil(y1)) + 1);
  for (int y = iy0; y < iy1; ++y)
    for (int x = ix0; x < ix1; ++x) {
      const float a = Clamp01(coverage(x + 0.5f, y + 0.5f)) * alpha;
      if (a <= 0) continue;
      const Rgb c = colorAt(x + 0.5f, y + 0.5f);
      float* p = &FPixels[4u * (static_cast<unsigned>(y) * FWidth + x)];
      p[0] = c.R * a + p[0] * (1 - a);
      p[1] = c.G * a + p[1] * (1 - a);
      p[2] = c.B * a + p[2] * (1 - a);
      p[3] = a + p[3] * (1 - a);
    }
}

void Layer::FillRoundRect(float x0, float y0, float x1, float y1, float r, const Rgb& color, float alpha) {
  Paint(
      x0, y0, x1, y1, [&](float px, float py) { return 0.5f - RoundBoxDistance(px, py, x0, y0, x1, y1, r); },
      [&](float, float) { return color; }, alpha);
}

void Layer::FillRoundRectGradient(float x0, float y0, float x1, float y1, float r, const Rgb& top,
                                  const Rgb& bottom, float alpha) {
  Paint(
      x0, y0, x1, y1, [&](float px, float py) { return 0.5f - RoundBoxDistance(px, py, x0, y0, x1, y1, r); },
      [&](float, float py) { return Mix(top, bottom, Clamp01((py - y0) / std::max(1.0f, y1 - y0))); }, alpha);
}

void Layer::StrokeRoundRect(float x0, float y0, float x1, float y1, float r, float width, const Rgb& color,
                            float alpha) {
  Paint(
      x0, y0, x1, y1,
      [&](float px, float py) {
        const float d = RoundBoxDistance(px, py, x0, y0, x1, y1, r);
        return std::min(0.5f - d, d + width + 0.5f);
      },
      [&](float, float) { return color; }, alpha);
}

void Layer::Line(float x0, float y0, float x1, float y1, float width, const Rgb& color, float alpha) {
  const float h = width / 2;
  Paint(
      std::min(x0, x1) - h, std::min(y0, y1) - h, std::max(x0, x1) + h, std::max(y0, y1) + h,
      [&](float px, float py) { return h + 0.5f - SegmentDistance(px, py, x0, y0, x1, y1); },
      [&](float, float) { return color; }, alpha);
}

void Layer::FillCircle(float cx, float cy, float r, const Rgb& color, float alpha) {
  Paint(
      cx - r, cy - r, cx + r, cy + r,
      [&](float px, float py) { return r + 0.5f - std::hypot(px - cx, py - cy); },
      [&](float, float) { return color; }, alpha);
}

void Layer::StrokeCircle(float cx, float cy, float r, float width, const Rgb& color, float alpha) {
  Paint(
      cx - r, cy - r, cx + r, cy + r,
      [&](float px, float py) {
        const float d = std::hypot(px - cx, py - cy) - r;
        return std::min(0.5f - d, d + width + 0.5f);
      },
      [&](float, float) { return color; }, alpha);
}

Rgb Layer::Color(int x, int y) const {
  const float* p = &FPixels[4u * (static_cast<unsigned>(y) * FWidth + x)];
  if (p[3] <= 0) return {};
  return {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
}

float Layer::Alpha(int x, int y) const {
  return FPixels[4u * (static_cast<unsigned>(y) * FWidth + x) + 3];
}

Picture::Picture(int width, int height, std::uint32_t fill)
    : FWidth(width), FHeight(height), FPixels(static_cast<std::size_t>(width) * height, fill) {}

void Picture::Set(int x, int y, std::uint32_t color) {
  if (x >= 0 && y >= 0 && x < FWidth && y < FHeight)
    FPixels[static_cast<std::size_t>(y) * FWidth + x] = color;
}

std::uint32_t Picture::Get(int x, int y) const {
  return FPixels[static_cast<std::size_t>(y) * FWidth + x];
}

void Picture::Put(const Picture& p, int x, int y) {
  for (int j = 0; j < p.Height(); ++j)
    for (int i = 0; i < p.Width(); ++i) Set(x + i, y + j, p.Get(i, j));
}

Picture MaskedFrame(const Layer& layer, const std::vector<bool>& keyOutside) {
  const int w = layer.Width(), h = layer.Height();
  Picture out(w, 2 * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float a = layer.Alpha(x, y);
      const bool outside = !keyOutside.empty() && keyOutside[static_cast<std::size_t>(y) * w + x];
      if (a < 1.0f / 255 && outside) {
        out.Set(x, y, KeyColor);
        out.Set(x, y + h, 0xFFFFFF);
        continue;
      }
      std::uint32_t image = ToColor(layer.Color(x, y));
      if (image == KeyColor) image = 0xFE00FE;  // never the key colour by accident
      const auto m = static_cast<std::uint32_t>(std::lround((1.0f - Clamp01(a)) * 255.0f));
      out.Set(x, y, image);
      out.Set(x, y + h, m | (m << 8) | (m << 16));
    }
  return out;
}

bool WriteBmp(const Picture& p, const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const std::uint32_t stride = (static_cast<std::uint32_t>(p.Width()) * 3 + 3) & ~3u;
  const std::uint32_t size = stride * static_cast<std::uint32_t>(p.Height());
  std::vector<std::uint8_t> b;
  auto put16 = [&](std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto put32 = [&](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  b.push_back('B');
  b.push_back('M');
  put32(54 + size);
  put32(0);
  put32(54);
  put32(40);
  put32(static_cast<std::uint32_t>(p.Width()));
  put32(static_cast<std::uint32_t>(p.Height()));
  put16(1);
  put16(24);
  put32(0);
  put32(size);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int y = p.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < p.Width(); ++x) {
      const std::uint32_t c = p.Get(x, y);
      b.push_back(static_cast<std::uint8_t>(c >> 16));
      b.push_back(static_cast<std::uint8_t>(c >> 8));
      b.push_back(static_cast<std::uint8_t>(c));
    }
    for (std::uint32_t k = static_cast<std::uint32_t>(p.Width()) * 3; k < stride; ++k) b.push_back(0);
  }
  const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

bool WriteJpeg(const Picture& p, const std::string& path, int quality) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  cinfo.image_width = static_cast<JDIMENSION>(p.Width());
  cinfo.image_height = static_cast<JDIMENSION>(p.Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(p.Width()) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < p.Width(); ++x) {
      const std::uint32_t c = p.Get(x, y);
      row[3 * x] = static_cast<std::uint8_t>(c);
      row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(f) == 0;
}

}  // namespace skingen
